// Where the command line's text goes: standard output for the program, or a byte string for a
// front end that shows the same text. Both print through the C formatted-print functions, so every
// format behaves as it does on standard output.
#ifndef GRIMTRIM_TEXT_OUTPUT_H_
#define GRIMTRIM_TEXT_OUTPUT_H_

#include <csignal>
#include <cstdarg>
#include <cstddef>
#include <string>

#if defined(__GNUC__)
#define GRIMTRIM_PRINTF_FORMAT(f, a) __attribute__((format(printf, f, a)))
#else
#define GRIMTRIM_PRINTF_FORMAT(f, a)
#endif

class Output {
 public:
  virtual ~Output() = default;
  // Prints like printf.
  void print(const char* format, ...) GRIMTRIM_PRINTF_FORMAT(2, 3);

 protected:
  virtual void printList(const char* format, std::va_list args) = 0;
};

// Text printed for standard output and not yet handed to the C library, in whole prints: a run
// that another program cuts short can still write it out, with nothing but the system's write.
struct PendingText {
  static constexpr std::size_t kCapacity = 8192;
  char bytes[kCapacity];
  volatile std::sig_atomic_t length = 0;  // bytes[0, length) hold whole prints
};

// Standard output, a text stream: each line feed goes out as the platform's line end. Prints
// gather in a buffer of the program's own and go on to the C library when it is full and at
// flush(); a print longer than the buffer goes straight on.
class StandardOutput final : public Output {
 public:
  // Hands everything printed so far to standard output and writes it out. Whether that worked
  // is left for finishOutput() to find.
  void flush();
  // What was printed since the last flush().
  [[nodiscard]] const PendingText& pending() const { return pending_; }

 protected:
  void printList(const char* format, std::va_list args) override;

 private:
  PendingText pending_;
};

// Standard error, printed straight through: notes that are no part of the program's output.
class ErrorOutput final : public Output {
 protected:
  void printList(const char* format, std::va_list args) override;
};

// The printed bytes collected in a string, line feeds as they are.
class TextOutput final : public Output {
 public:
  [[nodiscard]] const std::string& text() const { return text_; }

 protected:
  void printList(const char* format, std::va_list args) override;

 private:
  std::string text_;
};

#endif  // GRIMTRIM_TEXT_OUTPUT_H_
