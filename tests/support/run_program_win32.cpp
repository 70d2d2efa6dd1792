// Runs the program with CreateProcessA, its output read through an anonymous pipe.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <stdexcept>

#include "support/run_program.h"

namespace {

// One argument quoted so that the C runtime's command-line parser gives it back unchanged:
// backslashes are literal except in front of a double quote, where they are doubled.
std::string quoted(const std::string& arg) {
  std::string out = "\"";
  std::size_t backslashes = 0;
  for (const char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    out.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    backslashes = 0;
    out += c;
  }
  out.append(2 * backslashes, '\\');
  return out + "\"";
}

// The program, found beside the test program (GRIMTRIM_PROGRAM is relative to its folder).
std::filesystem::path programPath() {
  char self[MAX_PATH];
  const DWORD length = ::GetModuleFileNameA(nullptr, self, MAX_PATH);
  if (length == 0 || length == MAX_PATH) throw std::runtime_error("GetModuleFileNameA failed");
  return (std::filesystem::path(std::string(self, length)).parent_path() / GRIMTRIM_PROGRAM)
      .lexically_normal();
}

HANDLE handleOf(std::intptr_t handle) {
  return reinterpret_cast<HANDLE>(handle);
}

}  // namespace

std::string asPrinted(std::string_view text) {
  std::string out;
  for (const char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

Started::Started(const std::filesystem::path& folder, const std::vector<std::string>& args,
                 const std::vector<std::string>& environment) {
  // Only the POSIX tests preload or configure the program through its environment.
  if (!environment.empty()) throw std::logic_error("no environment settings on Windows");
  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  if (!::CreatePipe(&readEnd, &writeEnd, &inheritable, 0)) throw std::runtime_error("pipe failed");
  ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  // No standard input, as when CI runs it; output into the pipe.
  const HANDLE nothing = ::CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       &inheritable, OPEN_EXISTING, 0, nullptr);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = nothing;
  startup.hStdOutput = writeEnd;
  startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);

  const std::string program = programPath().string();
  std::string commandLine = quoted(program);
  for (const std::string& arg : args)
    commandLine += " " + quoted(arg);
  const std::string directory = folder.string();
  PROCESS_INFORMATION process{};
  const BOOL started = ::CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                        0, nullptr, directory.c_str(), &startup, &process);
  ::CloseHandle(writeEnd);
  if (nothing != INVALID_HANDLE_VALUE) ::CloseHandle(nothing);
  if (!started) {
    ::CloseHandle(readEnd);
    throw std::runtime_error("CreateProcessA failed for " + program);
  }
  ::CloseHandle(process.hThread);
  process_ = reinterpret_cast<std::intptr_t>(process.hProcess);
  output_ = reinterpret_cast<std::intptr_t>(readEnd);
}

Started::~Started() {
  if (process_ != -1) static_cast<void>(wait());
}

bool Started::ended() {
  return ::WaitForSingleObject(handleOf(process_), 0) == WAIT_OBJECT_0;
}

std::size_t Started::unread() const {
  DWORD bytes = 0;
  if (!::PeekNamedPipe(handleOf(output_), nullptr, 0, nullptr, &bytes, nullptr)) return 0;
  return bytes;
}

RunResult Started::wait() {
  RunResult result;
  char buffer[4096];
  DWORD got = 0;
  // Ends when the program has exited and its end of the pipe is closed.
  while (::ReadFile(handleOf(output_), buffer, sizeof buffer, &got, nullptr) && got > 0)
    result.output.append(buffer, got);
  ::CloseHandle(handleOf(output_));
  const HANDLE process = handleOf(process_);
  ::WaitForSingleObject(process, INFINITE);
  DWORD code = 0;
  const BOOL exited = ::GetExitCodeProcess(process, &code);
  ::CloseHandle(process);
  process_ = -1;
  // A crash ends the process with an exception code, not an exit status.
  result.status = exited && code < 0xC0000000 ? static_cast<int>(code) : -1;
  return result;
}

bool errorsCollected() {
  return false;
}
