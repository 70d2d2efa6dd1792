// A game installed the way current editions and their mods lay it out: an index at the top whose
// archive table names archives under data/, archives that keep only the file part of each
// locator (some of them compressed), loose spells in override/ named in mixed case, the string
// table under lang/en_US/, and saves in folders of their own under save/.
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
// game instead (about 62,000 resources over 190 archives, 100 loose spells). Some archives are
// compressed, as older releases ship them: in the hand-made one the common archive in blocks and
// the expansion's as a ".cbf" stream; in the large one every spell archive but the base game's,
// two of them over a megabyte. Without `compressed`, every archive is written as it is.
void writeInstallation(const std::filesystem::path& folder, bool large, bool compressed = true);

}  // namespace gamedata

#endif  // GRIMTRIM_TOOLS_GAMEDATA_INSTALLATION_H_
