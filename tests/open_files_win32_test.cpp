// Sharing of the files with other programs, which on Windows is what each open allows the
// others: a file held open with a sharing mode that conflicts cannot be opened.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/sample_set.h"

namespace {

using gamedata::Bytes;
using gamedata::kSaveName;

// Holds a file open as another program using it would: reading, or reading and writing, and
// letting others read it but not write it.
class Holder {
 public:
  Holder(const std::filesystem::path& path, DWORD access)
      : handle_(::CreateFileA(path.string().c_str(), access, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {
    EXPECT_NE(INVALID_HANDLE_VALUE, handle_);
  }
  ~Holder() { ::CloseHandle(handle_); }
  Holder(const Holder&) = delete;
  Holder& operator=(const Holder&) = delete;

 private:
  HANDLE handle_;
};

constexpr DWORD kRead = GENERIC_READ;
constexpr DWORD kWrite = GENERIC_READ | GENERIC_WRITE;

TEST(OpenFiles, ReadersShareAFileAndAnEditorHasItAlone) {
  SampleSet set;
  const Bytes before = readFile(set / kSaveName);
  {
    Holder reader(set / kSaveName, kRead);
    EXPECT_EQ(0, set.run().status);  // two readers side by side
    const RunResult editor = set.run({"-p0", "-s1", "-w1"});
    EXPECT_EQ(bannerThen("Cannot open save file <sample.gam>"), editor.output);
    EXPECT_EQ(1, editor.status);
    EXPECT_EQ(before, readFile(set / kSaveName));
  }
  {
    Holder editor(set / kSaveName, kWrite);
    const RunResult reader = set.run();
    EXPECT_EQ(bannerThen("Cannot open save file <sample.gam>"), reader.output);
    EXPECT_EQ(1, reader.status);
  }
  {
    Holder writer(set / "sample.key", kWrite);
    const RunResult run = set.run();
    EXPECT_EQ(bannerThen("Cannot open .key file <sample.key>"), run.output);
    EXPECT_EQ(1, run.status);
  }
}

// True when `path` can be opened for writing.
bool writable(const std::string& path) {
  const HANDLE handle = ::CreateFileA(path.c_str(), kWrite, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  ::CloseHandle(handle);
  return true;
}

TEST(OpenFiles, AReadOnlySaveListsButCannotBeEdited) {
  SampleSet set;
  const std::string save = (set / kSaveName).string();
  ASSERT_TRUE(::SetFileAttributesA(save.c_str(), FILE_ATTRIBUTE_READONLY));
  // Windows keeps every user out, but Wine run by root maps the attribute to permission bits,
  // which do not stop root.
  if (writable(save)) {
    ::SetFileAttributesA(save.c_str(), FILE_ATTRIBUTE_NORMAL);
    GTEST_SKIP() << "the read-only attribute does not stop this user";
  }
  const Bytes before = readFile(set / kSaveName);
  EXPECT_EQ(0, set.run({"-p0", "-s1"}).status);
  const RunResult edit = set.run({"-p0", "-s1", "-w1"});
  EXPECT_EQ(bannerThen("Cannot open save file <sample.gam>"), edit.output);
  EXPECT_EQ(1, edit.status);
  EXPECT_EQ(before, readFile(set / kSaveName));
  ::SetFileAttributesA(save.c_str(), FILE_ATTRIBUTE_NORMAL);  // so that the folder can go
}

}  // namespace
