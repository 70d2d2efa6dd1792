#include "spellbook/party.h"

#include "formats/class_lists.h"

MemberLookup lookUpMember(const Game& game, std::int32_t index) {
  const std::optional<PartyMember> member = PartyMember::at(game.save, game.layout, index);
  if (!member) return {MemberTrouble::OutsideSave, {}, std::nullopt, std::nullopt};
  const std::optional<Creature> creature = Creature::of(*member);
  if (!creature) return {MemberTrouble::NoCreature, {}, std::nullopt, std::nullopt};
  MemberLine line{index, member->listingNumber(), member->name(), creature->knowsSpells()};
  // An empty name in the party record: the creature's own name from the string table.
  if (line.name.length == 0) line.name = stringText(game.stringTable, creature->nameRef());
  return {MemberTrouble::None, line, member, creature};
}

PartyWalk walkParty(const Game& game, MemberListener& listener) {
  const std::int32_t count = partyCount(game.save, game.layout);
  for (std::int32_t i = 0; i < count; ++i) {
    const MemberLookup member = lookUpMember(game, i);
    if (member.trouble != MemberTrouble::None) return {member.trouble, i};
    listener.member(member.line, *member.creature);
  }
  return {};
}

namespace {

// The names the rows `rows` give the entries of `creature`'s class lists, in the order they are
// walked, as far as the lists lie inside the save; up to `most` in all, `total` counting them.
void addClassSpellNames(const Creature& creature, const std::vector<ResRef>& rows, std::size_t most,
                        std::size_t& total, std::vector<ResRef>& names) {
  for (int l = 0; l < kClassListCount; ++l) {
    const ClassList list = classListAt(creature, l);
    const std::uint64_t first = creature.inSave(list.offset);
    if (!inside(creature.save(), first, std::uint64_t{list.count} * kClassEntrySize)) continue;
    for (std::uint32_t j = 0; j < list.count && total < most; ++j) {
      const std::uint32_t spell =
          loadU32(creature.save(), first + std::uint64_t{j} * kClassEntrySize);
      if (spell >= rows.size() || isUnusedRow(rows[spell])) continue;
      names.push_back(rows[spell]);
      ++total;
    }
  }
}

}  // namespace

std::vector<MemberSpellNames> partySpellNames(const Game& game, std::size_t most) {
  std::vector<MemberSpellNames> party;
  std::size_t total = 0;
  MemberCalls add([&](const MemberLine& line, const Creature& creature) {
    MemberSpellNames& member = party.emplace_back();
    member.index = line.index;
    if (creature.keepsSpellsByClass()) {
      const std::vector<ResRef>* rows = game.spells ? game.spells->spellRows() : nullptr;
      if (rows != nullptr) addClassSpellNames(creature, *rows, most, total, member.names);
      return;
    }
    const std::optional<KnownSpells> known = KnownSpells::of(creature);
    if (!known) return;
    for (std::int32_t j = 0; j < known->count() && total < most; ++j, ++total)
      member.names.push_back(known->name(j));
  });
  static_cast<void>(walkParty(game, add));
  return party;
}
