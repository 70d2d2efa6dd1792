#include "text/output.h"

#include <atomic>
#include <cstdio>

void Output::print(const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  printList(format, args);
  va_end(args);
}

void StandardOutput::printList(const char* format, std::va_list args) {
  std::va_list again;
  va_copy(again, args);
  constexpr std::size_t kCapacity = PendingText::kCapacity;
  const auto length = static_cast<std::size_t>(pending_.length);
  // A print may read a mapped file that another program cuts short, and end the run part way:
  // the length grows only once the whole print is in the buffer.
  const int printed = std::vsnprintf(pending_.bytes + length, kCapacity - length, format, args);
  if (printed >= 0) {
    auto size = static_cast<std::size_t>(printed);
    if (size >= kCapacity - length) {  // it did not fit, its NUL included
      flush();
      if (size < kCapacity) {
        std::vsnprintf(pending_.bytes, kCapacity, format, again);
      } else {
        std::vprintf(format, again);
        std::fflush(stdout);
        size = 0;
      }
    }
    std::atomic_signal_fence(std::memory_order_seq_cst);
    pending_.length =
        static_cast<std::sig_atomic_t>(static_cast<std::size_t>(pending_.length) + size);
  }
  va_end(again);
}

void StandardOutput::flush() {
  const auto length = static_cast<std::size_t>(pending_.length);
  if (length > 0) std::fwrite(pending_.bytes, 1, length, stdout);
  pending_.length = 0;
  std::fflush(stdout);
}

void ErrorOutput::printList(const char* format, std::va_list args) {
  std::vfprintf(stderr, format, args);
}

void TextOutput::printList(const char* format, std::va_list args) {
  std::va_list measure;
  va_copy(measure, args);
  const int length = std::vsnprintf(nullptr, 0, format, measure);
  va_end(measure);
  if (length <= 0) return;
  const std::size_t start = text_.size();
  // vsnprintf writes a NUL after the text; the string's own terminator has room for it.
  text_.resize(start + static_cast<std::size_t>(length));
  std::vsnprintf(text_.data() + start, static_cast<std::size_t>(length) + 1, format, args);
}
