// Another program's hold on a file, as the platform expresses it: flock locks on POSIX, the
// sharing modes of an open file on Windows.
#ifndef GRIMTRIM_TESTS_SUPPORT_FILE_HOLDER_H_
#define GRIMTRIM_TESTS_SUPPORT_FILE_HOLDER_H_

#include <cstdint>
#include <filesystem>

// Holds `path` for the scope, reading it or writing it, and letting others read it but not
// write it, as a program using the file would.
class FileHolder {
 public:
  enum class Use { Reading, Writing };
  FileHolder(const std::filesystem::path& path, Use use);
  ~FileHolder();
  FileHolder(const FileHolder&) = delete;
  FileHolder& operator=(const FileHolder&) = delete;
  // False when the hold could not be taken.
  [[nodiscard]] bool held() const { return held_; }

 private:
  std::intptr_t handle_ = -1;
  bool held_ = false;
};

// Makes `path` read-only. False, with the file left writable, when that does not keep this user
// from writing it (root on POSIX, and under Wine run by root).
[[nodiscard]] bool makeReadOnly(const std::filesystem::path& path);

// Makes `path` writable again, so that its folder can be removed.
void makeWritable(const std::filesystem::path& path);

#endif  // GRIMTRIM_TESTS_SUPPORT_FILE_HOLDER_H_
