// Where the command line's text goes: standard output for the program, a byte string for the
// page that shows the same text. Both print through the C formatted-print functions, so every
// format behaves as it does on standard output.
#ifndef GRIMTRIM_TEXT_OUTPUT_H_
#define GRIMTRIM_TEXT_OUTPUT_H_

#include <cstdarg>
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

// Standard output, a text stream: each line feed goes out as the platform's line end.
class StandardOutput final : public Output {
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
