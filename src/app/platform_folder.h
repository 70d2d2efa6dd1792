// The platform's own folder services, behind one small interface beside the file mapping; each
// platform has its own implementation file.
#ifndef GRIMTRIM_APP_PLATFORM_FOLDER_H_
#define GRIMTRIM_APP_PLATFORM_FOLDER_H_

#include <string>
#include <vector>

// What a path names, links followed.
enum class PathKind { Missing, File, Folder, Other };

[[nodiscard]] PathKind pathKind(const char* path);

// The names of the entries of the folder at `path` ("." and ".." left out), in the order the
// system gives them; false when it cannot be listed.
[[nodiscard]] bool listFolder(const char* path, std::vector<std::string>& names);

#endif  // GRIMTRIM_APP_PLATFORM_FOLDER_H_
