// A game installed the way current editions and their mods lay it out: an index at the top whose
// archive table names archives under data/, archives that keep only the file part of each
// locator, loose spells in override/ named in mixed case, the string table under lang/en_US/, and
// saves in folders of their own under save/.
#ifndef GRIMTRIM_TOOLS_GAMEDATA_INSTALLATION_H_
#define GRIMTRIM_TOOLS_GAMEDATA_INSTALLATION_H_

#include <filesystem>

namespace gamedata {

// The index's name at the top, the saves' folders and the configuration file that names the
// main spell archive of the same installation (for comparing the two forms of a run).
inline constexpr const char* kInstalledIndexName = "quest.key";
inline constexpr const char* kInstalledSave = "save/000000002-Tower-Gate/party.gam";
inline constexpr const char* kInstalledOlderSave = "save/000000001-Quick-Save/party.gam";
inline constexpr const char* kInstalledConfigName = "spells.cfg";

// Writes the hand-made installation into `folder`; `large` writes one of the size of a modded
// game instead (about 62,000 resources over 190 archives, 100 loose spells).
void writeInstallation(const std::filesystem::path& folder, bool large);

}  // namespace gamedata

#endif  // GRIMTRIM_TOOLS_GAMEDATA_INSTALLATION_H_
