#include "gamedata/game_files.h"

#include <fstream>
#include <stdexcept>
#include <string>

#include "gamedata/class_game.h"
#include "gamedata/layout_internal.h"
#include "gamedata/sample_games.h"
#include "gamedata/string_table_out.h"

namespace gamedata {

GameFiles buildGame(const GameDef& game) {
  GameFiles files;
  std::vector<std::string> strings = game.strings;
  std::vector<std::uint32_t> creatureRefs;
  for (const MemberDef& member : game.party) {
    creatureRefs.push_back(static_cast<std::uint32_t>(addString(strings, member.creatureName)));
  }
  const std::size_t firstSpellRef = strings.size();
  for (const SpellDef& spell : game.spells) {
    files.layout.nameRefs.push_back(static_cast<std::uint32_t>(addString(strings, spell.name)));
  }
  files.stringTable = makeStringTable(strings);
  files.spellArchive = makeSpellArchive(game, files.layout, firstSpellRef);
  files.resourceIndex = makeResourceIndex(game, files.layout);
  files.save = makeSave(game, creatureRefs, files.layout);
  return files;
}

void writeFile(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

void writeFile(const std::filesystem::path& path, std::string_view text) {
  writeFile(path, Bytes(text.begin(), text.end()));
}

void writeGame(const std::filesystem::path& folder, const GameFiles& files) {
  std::filesystem::create_directories(folder);
  writeFile(folder / kStringTableName, files.stringTable);
  writeFile(folder / kSpellArchiveName, files.spellArchive);
  writeFile(folder / kResourceIndexName, files.resourceIndex);
  writeFile(folder / kSaveName, files.save);
  writeFile(folder / kConfigName, std::string(kStringTableName) + "\n" + kSpellArchiveName + "\n" +
                                      kResourceIndexName + "\n");
}

void writeFamilySaves(const std::filesystem::path& folder) {
  for (const auto& [format, name] :
       {std::pair{SaveFormat::LongHeader, kLongHeaderSaveName},
        std::pair{SaveFormat::LongestHeader, kLongestHeaderSaveName}}) {
    GameDef game = sampleGame();
    game.format = format;
    writeFile(folder / name, buildGame(game).save);
  }
  writeFile(folder / kClassSaveName, buildGame(classGame()).save);
  writeClassGame(folder / kClassGameFolder);
  // The sample's first member exported as a character.
  const GameFiles sample = buildGame(sampleGame());
  const MemberLayout& wizard = sample.layout.members[0];
  const auto at = static_cast<std::ptrdiff_t>(wizard.creature);
  const Bytes record(sample.save.begin() + at,
                     sample.save.begin() + at + static_cast<std::ptrdiff_t>(wizard.creatureSize));
  writeFile(folder / kCharacterName, makeCharacter("CHR V2.0", "Selwyn", record, 0x64));
}

}  // namespace gamedata
