// Calling the program's readers in the test's own process, over byte buffers that stand in
// for the mapped files.
#ifndef GRIMTRIM_TESTS_SUPPORT_IN_PROCESS_H_
#define GRIMTRIM_TESTS_SUPPORT_IN_PROCESS_H_

#include "formats/bytes.h"
#include "gamedata/game_data.h"

// `bytes` as the view of a file. The bytes are the caller's own block, so the address
// sanitizer sees a read past their end.
inline View viewOf(gamedata::Bytes& bytes) {
  return View{bytes.data(), bytes.size()};
}

#endif  // GRIMTRIM_TESTS_SUPPORT_IN_PROCESS_H_
