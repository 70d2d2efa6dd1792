// Running the program's readers and report in the test's own process, over byte buffers that
// stand in for the mapped files.
#ifndef GRIMTRIM_TESTS_SUPPORT_IN_PROCESS_H_
#define GRIMTRIM_TESTS_SUPPORT_IN_PROCESS_H_

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "formats/bytes.h"
#include "gamedata/game_data.h"

// Makes `bytes` the view `view` for the scope, then restores the old view. The bytes are the
// caller's own block, so the address sanitizer sees a read past their end.
class ScopedView {
 public:
  ScopedView(View& view, gamedata::Bytes& bytes) : view_(view), old_(view) {
    view = View{bytes.data(), bytes.size()};
  }
  ~ScopedView() { view_ = old_; }
  ScopedView(const ScopedView&) = delete;
  ScopedView& operator=(const ScopedView&) = delete;

 private:
  View& view_;
  View old_;
};

// What `action` prints on standard output.
template <typename Action>
std::string printedBy(Action action) {
  std::fflush(stdout);
  testing::internal::CaptureStdout();
  action();
  std::fflush(stdout);
  return testing::internal::GetCapturedStdout();
}

#endif  // GRIMTRIM_TESTS_SUPPORT_IN_PROCESS_H_
