#include "spellbook/spellbook.h"

#include <cstdio>

#include "app/settings.h"
#include "formats/resource_index.h"
#include "formats/save_game.h"
#include "formats/string_table.h"
#include "spellbook/whack.h"

namespace {

// The spell-book spells; every other type is never listed, counted or whacked.
constexpr std::uint16_t kSpellBookType = 1;

// Reports on party record `index`, which the table may not hold whole.
int reportIndex(std::int32_t index) {
  const std::uint64_t record = partyMember(index);
  if (record == kNowhere) {
    std::printf("oops, party member %d lies outside the save file", index);
    return kStop;
  }
  return reportMember(record);
}

}  // namespace

void reportParty() {
  const Settings& settings = g_settings;
  if (settings.member == kNotGiven) {
    const std::int32_t count = partyCount();
    for (std::int32_t i = 0; i < count; ++i) {
      if (reportIndex(i) == kStop) break;
    }
    std::printf("\n\nUse -pN to select the party member");
    return;
  }
  // The chosen member's result does not matter: there is nobody after it.
  static_cast<void>(reportIndex(settings.member));
  if (settings.level == kNotGiven) std::printf("\n\nUse -sN to select the spell level to display");
}

int reportMember(std::uint64_t record) {
  const Settings& settings = g_settings;
  const std::uint64_t creature = creatureOf(record);
  if (creature == kNowhere) {
    std::printf("oops, missed CRE pointer");
    return kStop;
  }
  const int listing = listingNumber(record);
  if (memberNameLength(record) > 0) {
    std::printf("%d %.*s", listing, memberNameLength(record), memberName(record));
  } else {
    const StrRef name = creatureNameRef(creature);
    std::printf("%d %.*s", listing, stringLength(name), stringText(name));
  }
  if (knownSpellsCount(creature) == 0) {
    std::printf(" -- no spells\n");
  } else {
    std::printf("\n");
    // With no member chosen only names are listed, and no spell is looked up.
    if (settings.member == kNotGiven) return kContinue;
    switch (listSpells(creature)) {
      case ListEnd::Stop:
        return kStop;
      case ListEnd::Whacked:
        return kContinue;
      case ListEnd::Completed:
        break;
    }
  }
  if (settings.number != kNotGiven) std::printf("\n\nUse -wN to whack spell number N");
  return kContinue;
}

ListEnd listSpells(std::uint64_t creature) {
  const Settings& settings = g_settings;
  const std::int32_t count = knownSpellsCount(creature);
  const std::uint64_t known = creature + knownSpellsOffset(creature);
  if (count > 0 && !inside(g_saveGameView, known, std::uint64_t(count) * kKnownSpellSize)) {
    std::printf("oops, known spells lie outside the save file");
    return ListEnd::Stop;
  }
  std::int32_t previousLevel = -1;
  std::int32_t spellNumber = 0;
  for (std::int32_t j = 0; j < count; ++j) {
    const std::uint8_t* name = bytesAt(g_saveGameView, known + std::uint64_t(j) * kKnownSpellSize);
    const Locator locator = findLocator(name);
    if (locator == kNoLocator) {
      std::printf("known spell <%.8s> not found in .key", reinterpret_cast<const char*>(name));
      return ListEnd::Stop;
    }
    const SpellHeader header = findSpellHeader(locator);
    if (header.offset == kNowhere) continue;  // not in this archive: skipped and not counted
    if (!header.isValid()) {
      std::printf("oops, missed SPL pointer");
      return ListEnd::Stop;
    }
    if (header.type() != kSpellBookType) continue;
    const std::int32_t spellLevel = header.level();
    if (settings.level == kNotGiven) {
      // A line each time the level changes from one kept spell to the next.
      if (spellLevel != previousLevel) std::printf("Level %d\n", spellLevel);
      previousLevel = spellLevel;
    } else if (spellLevel == settings.level) {
      ++spellNumber;
      if (settings.number == kNotGiven) {
        const StrRef spellName = header.nameRef();
        std::printf("Level %d, Spell %d: %.*s\n", spellLevel, spellNumber, stringLength(spellName),
                    stringText(spellName));
      } else if (settings.number == spellNumber) {
        whackSpell(creature, j, header);
        return ListEnd::Whacked;
      }
    }
  }
  return ListEnd::Completed;
}
