// A fresh folder for one test's files, removed with everything in it at the end of the test.
#ifndef GRIMTRIM_TESTS_SUPPORT_TEMP_FOLDER_H_
#define GRIMTRIM_TESTS_SUPPORT_TEMP_FOLDER_H_

#include <filesystem>

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  [[nodiscard]] const std::filesystem::path& path() const { return path_; }
  [[nodiscard]] std::filesystem::path operator/(const std::filesystem::path& name) const {
    return path_ / name;
  }

 private:
  std::filesystem::path path_;
};

#endif  // GRIMTRIM_TESTS_SUPPORT_TEMP_FOLDER_H_
