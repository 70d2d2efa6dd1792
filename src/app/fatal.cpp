#include "app/fatal.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

void fatal(const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  std::vprintf(format, args);
  va_end(args);
  std::exit(finishOutput(1));
}

int finishOutput(int status) {
  if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
    std::fputs("grimtrim: cannot write standard output\n", stderr);
    return 1;
  }
  return status;
}
