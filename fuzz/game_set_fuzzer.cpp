// One input split into a command line's options and all four files, run as the driver runs
// it once the files are open: options parsed by the program's own parser, then the printed
// report, with the save edited exactly when the options ask for a whack. This target fuzzes the
// command line's printer too, so its text is formatted (into memory).
//
// Layout of an input: the options as text up to the first line feed (separated by spaces),
// then three little-endian dwords giving the sizes of the string table, the spell archive and
// the resource index, then those files, and the saved game in the rest.
#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

#include "app/options.h"
#include "fuzz_support.h"
#include "text/output.h"
#include "text/report_printer.h"

namespace {

// The next `want` bytes of the input, or fewer when it ends first.
fuzz::Bytes take(const std::uint8_t*& data, std::size_t& size, std::size_t want) {
  const std::size_t n = want < size ? want : size;
  fuzz::Bytes bytes(data, data + n);
  data += n;
  size -= n;
  return bytes;
}

std::uint32_t takeSize(const std::uint8_t*& data, std::size_t& size) {
  const fuzz::Bytes bytes = take(data, size, 4);
  std::uint32_t value = 0;
  for (std::size_t i = bytes.size(); i-- > 0;)
    value = value << 8 | bytes[i];
  return value;
}

// The options line as the argument vector the driver gets, with the two file names after it.
bool parse(const std::string& line, Settings& settings) {
  std::vector<std::string> args = {"grimtrim"};
  std::size_t at = 0;
  while (at < line.size() && args.size() < 16) {
    const std::size_t end = std::min(line.find(' ', at), line.size());
    if (end > at) args.push_back(line.substr(at, end - at));
    at = end + 1;
  }
  args.push_back("save.gam");
  args.push_back("game.cfg");
  std::vector<const char*> argv;
  for (const std::string& arg : args)
    argv.push_back(arg.c_str());
  return parseOptions(static_cast<int>(argv.size()), argv.data(), settings);
}

// The printer's text formatted into one fixed buffer and dropped: every format and every text
// is read as standard output would read it, without the cost of keeping what was printed.
class DroppedOutput final : public Output {
 protected:
  void printList(const char* format, std::va_list args) override {
    std::vsnprintf(buffer_, sizeof buffer_, format, args);
  }

 private:
  char buffer_[256];
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string line;
  while (size > 0 && *data != '\n' && line.size() < 64) {
    line.push_back(static_cast<char>(*data));
    ++data;
    --size;
  }
  if (size > 0 && *data == '\n') {
    ++data;
    --size;
  }
  Settings settings;
  if (!parse(line, settings)) return 0;  // the driver would print the help and stop
  const std::uint32_t tableSize = takeSize(data, size);
  const std::uint32_t archiveSize = takeSize(data, size);
  const std::uint32_t indexSize = takeSize(data, size);
  fuzz::Bytes table = take(data, size, tableSize);
  fuzz::Bytes archive = take(data, size, archiveSize);
  fuzz::Bytes index = take(data, size, indexSize);
  const fuzz::Bytes save = take(data, size, size);
  fuzz::Bytes edited = save;
  // The readers never rely on the signatures the driver checks, so any bytes are read here.
  const fuzz::ConfiguredGame configured(
      {fuzz::viewOf(edited), fuzz::viewOf(table), fuzz::viewOf(archive), fuzz::viewOf(index)});
  const Game& game = configured.game();
  DroppedOutput out;
  ReportPrinter printer(settings, out);
  printer.finish(runRequest(game, settings, printer));
  if (!editsSave(settings)) {
    if (edited != save) std::abort();
    return 0;
  }
  const std::int64_t outside = gamedata::changeOutside(
      save, edited, gamedata::whackableRanges(save, settings.member, settings.method));
  if (outside >= 0) std::abort();
  return 0;
}
