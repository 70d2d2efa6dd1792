// Sharing of the files with other programs, which take flock locks on POSIX.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "support/sample_set.h"

namespace {

using gamedata::Bytes;
using gamedata::kSaveName;

// Holds a lock on a file as another program using it would.
class Holder {
 public:
  Holder(const std::filesystem::path& path, int operation) : fd_(::open(path.c_str(), O_RDONLY)) {
    EXPECT_EQ(0, ::flock(fd_, operation | LOCK_NB));
  }
  ~Holder() { ::close(fd_); }
  Holder(const Holder&) = delete;
  Holder& operator=(const Holder&) = delete;

 private:
  int fd_;
};

TEST(OpenFiles, ReadersShareAFileAndAnEditorHasItAlone) {
  SampleSet set;
  const Bytes before = readFile(set / kSaveName);
  {
    Holder reader(set / kSaveName, LOCK_SH);
    EXPECT_EQ(0, set.run().status);  // two readers side by side
    const RunResult editor = set.run({"-p0", "-s1", "-w1"});
    EXPECT_EQ(bannerThen("Cannot open save file <sample.gam>"), editor.output);
    EXPECT_EQ(1, editor.status);
    EXPECT_EQ(before, readFile(set / kSaveName));
  }
  {
    Holder editor(set / kSaveName, LOCK_EX);
    const RunResult reader = set.run();
    EXPECT_EQ(bannerThen("Cannot open save file <sample.gam>"), reader.output);
    EXPECT_EQ(1, reader.status);
  }
  {
    Holder writer(set / "sample.key", LOCK_EX);
    const RunResult run = set.run();
    EXPECT_EQ(bannerThen("Cannot open .key file <sample.key>"), run.output);
    EXPECT_EQ(1, run.status);
  }
}

TEST(OpenFiles, AReadOnlySaveListsButCannotBeEdited) {
  if (::geteuid() == 0) GTEST_SKIP() << "permission bits do not stop root";
  SampleSet set;
  std::filesystem::permissions(set / kSaveName, std::filesystem::perms::owner_read);
  const Bytes before = readFile(set / kSaveName);
  EXPECT_EQ(0, set.run({"-p0", "-s1"}).status);
  const RunResult edit = set.run({"-p0", "-s1", "-w1"});
  EXPECT_EQ(bannerThen("Cannot open save file <sample.gam>"), edit.output);
  EXPECT_EQ(1, edit.status);
  EXPECT_EQ(before, readFile(set / kSaveName));
}

}  // namespace
