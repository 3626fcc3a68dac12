#pragma once
// Text to and from the standard streams, and the system's words for a
// failure (console_win.cpp, console_posix.cpp).

#include <cstddef>
#include <string>

namespace dtmf_tool {

enum class StandardStream { kInput, kOutput, kError };

// Whether a standard stream is a console (a terminal) rather than a file
// or a pipe.
bool IsConsole(StandardStream stream);

// The width in columns of the console standard error writes to; 0 when it
// is a file or a pipe.
size_t ErrorConsoleColumns();

// Writes all of `text` to kOutput or kError: on Windows a console gets it
// as Unicode, a file or pipe in the console's output code page; elsewhere
// everything is UTF-8. Throws Failure (failure.h) naming the reason when it
// cannot be written.
void Print(StandardStream stream, const std::wstring& text);

// All of standard input as text: UTF-16 or UTF-8 as its BOM says, else
// UTF-8 when it is valid UTF-8, else (Windows) the console's input code
// page. Throws UsageError (command_line.h) for input that is not text,
// naming where, or longer than kMaxInputBytes (input_text.h).
std::wstring ReadStandardInputText();

// A system error code: GetLastError()'s on Windows, errno elsewhere.
using SystemError = unsigned long;

SystemError LastSystemError();
void SetLastSystemError(SystemError error);

// The system's text for an error code, on one line, without a full stop.
std::wstring SystemErrorText(SystemError error);

// The system's text for running out of memory.
std::wstring OutOfMemoryText();

}  // namespace dtmf_tool
