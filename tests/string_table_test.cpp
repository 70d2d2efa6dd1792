#include <gtest/gtest.h>

#include <string>

#include "formats/string_table.h"
#include "support/in_process.h"
#include "text/output.h"

namespace {

using gamedata::Bytes;
using gamedata::makeStringTable;
using gamedata::putU32;

// What the program prints for `ref`: the text as "%.*s" prints it.
std::string printed(const View& table, StrRef ref) {
  TextOutput out;
  out.print("%.*s", stringLength(table, ref), stringText(table, ref).address);
  return out.text();
}

constexpr std::size_t kEntries = 0x12;
constexpr std::size_t kEntrySize = 26;
constexpr std::size_t kTextOffset = 0x12;
constexpr std::size_t kTextLength = 0x16;

TEST(StringTable, TextsAreFoundInPlace) {
  Bytes table = makeStringTable({"Selwyn", "", "Ember Dart"});
  const View use = viewOf(table);
  EXPECT_EQ("Selwyn", printed(use, 0));
  EXPECT_EQ("", printed(use, 1));
  EXPECT_EQ("Ember Dart", printed(use, 2));
  EXPECT_EQ(10, stringLength(use, 2));
  EXPECT_EQ(reinterpret_cast<const char*>(table.data() + table.size() - 10),
            stringText(use, 2).address);
}

TEST(StringTable, ReferencesBeyondTheTablePrintTheFallback) {
  Bytes table = makeStringTable({"Selwyn"});
  const View use = viewOf(table);
  EXPECT_EQ("strref error", printed(use, 1));
  EXPECT_EQ(12, stringLength(use, 1));
  EXPECT_EQ("strref error", printed(use, 0x80000000));
  EXPECT_EQ("strref error", printed(use, 0xFFFFFFFF));
  Bytes empty = makeStringTable({});
  const View useEmpty = viewOf(empty);
  EXPECT_EQ("strref error", printed(useEmpty, 0));
}

TEST(StringTable, TextAreaFollowsTheEntriesWhateverTheHeaderSays) {
  Bytes table = makeStringTable({"Frost Veil"});
  putU32(table, 0x0E, 0);  // the stored start of the text area is not used
  const View use = viewOf(table);
  EXPECT_EQ("Frost Veil", printed(use, 0));
}

TEST(StringTable, ANulByteEndsTheTextEarly) {
  Bytes table = makeStringTable({"Witchlight"});
  table[kEntries + kEntrySize + 3] = 0;
  const View use = viewOf(table);
  EXPECT_EQ("Wit", printed(use, 0));
}

TEST(StringTable, DamagedEntriesPrintTheFallback) {
  const Bytes whole = makeStringTable({"Selwyn", "Maren"});
  struct Case {
    std::size_t field;
    std::uint32_t value;
    const char* expected;
  };
  const std::size_t second = kEntries + kEntrySize;
  for (const Case& c : {
           Case{second + kTextOffset, 0xFFFFFFFF, "strref error"},
           Case{second + kTextOffset, 0x7FFFFFFF, "strref error"},
           Case{second + kTextLength, 0x80000000, "strref error"},
           Case{second + kTextLength, 0xFFFFFFFF, "strref error"},
           Case{second + kTextLength, 6, "strref error"},  // one byte past the end
           Case{second + kTextLength, 2, "Ma"}, Case{second + kTextOffset, 0, "Selwy"},
           Case{0x0A, 0x7FFFFFFF, "strref error"},  // entry table past the end
           Case{0x0A, 1, "strref error"},           // reference 1 beyond the count
       }) {
    Bytes table = whole;
    putU32(table, c.field, c.value);
    const View use = viewOf(table);
    EXPECT_EQ(c.expected, printed(use, 1)) << "field " << c.field << " = " << c.value;
  }
}

TEST(StringTable, AnyTruncationGivesTheTextOrTheFallback) {
  const Bytes whole = makeStringTable({"Selwyn"});
  for (std::size_t n = 0; n < whole.size(); ++n) {
    Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
    const View use = viewOf(cut);
    EXPECT_EQ("strref error", printed(use, 0)) << "file cut to " << n << " bytes";
  }
}

}  // namespace
