#include "spellbook/party.h"

MemberLookup lookUpMember(const Game& game, std::int32_t index) {
  const std::optional<PartyMember> member = PartyMember::at(game.save, game.layout, index);
  if (!member) return {MemberTrouble::OutsideSave, {}, std::nullopt};
  const std::optional<Creature> creature = Creature::of(*member);
  if (!creature) return {MemberTrouble::NoCreature, {}, std::nullopt};
  MemberLine line{index, member->listingNumber(), member->name(), creature->knowsSpells()};
  // An empty name in the party record: the creature's own name from the string table.
  if (line.name.length == 0) line.name = stringText(game.stringTable, creature->nameRef());
  return {MemberTrouble::None, line, creature};
}

PartyWalk walkParty(const Game& game, MemberListener& listener) {
  const std::int32_t count = partyCount(game.save);
  for (std::int32_t i = 0; i < count; ++i) {
    const MemberLookup member = lookUpMember(game, i);
    if (member.trouble != MemberTrouble::None) return {member.trouble, i};
    listener.member(member.line, *member.creature);
  }
  return {};
}

std::vector<MemberSpellNames> partySpellNames(const Game& game, std::size_t most) {
  std::vector<MemberSpellNames> party;
  std::size_t total = 0;
  MemberCalls add([&](const MemberLine& line, const Creature& creature) {
    MemberSpellNames& member = party.emplace_back();
    member.index = line.index;
    const std::optional<KnownSpells> known = KnownSpells::of(creature);
    if (!known) return;
    for (std::int32_t j = 0; j < known->count() && total < most; ++j, ++total)
      member.names.push_back(known->name(j));
  });
  static_cast<void>(walkParty(game, add));
  return party;
}
