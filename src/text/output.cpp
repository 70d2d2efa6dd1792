#include "text/output.h"

#include <cstdio>

void Output::print(const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  printList(format, args);
  va_end(args);
}

void StandardOutput::printList(const char* format, std::va_list args) {
  std::vprintf(format, args);
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
