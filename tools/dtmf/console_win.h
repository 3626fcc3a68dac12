#pragma once
// Text out to the console in its own characters, or to a file or pipe in
// the console's code page.

#include <windows.h>

#include <string>

namespace dtmf_tool {

// Whether a standard stream (STD_INPUT_HANDLE, ...) is a console rather
// than a file or a pipe.
bool IsConsole(DWORD stream);

// Writes all of `text` to STD_OUTPUT_HANDLE or STD_ERROR_HANDLE: a console
// gets it as Unicode, a file or pipe in the console's output code page.
// Throws Failure (failure.h) naming the reason when it cannot be written.
void Print(DWORD stream, const std::wstring& text);

// All of standard input as text: UTF-16 or UTF-8 as its BOM says, else
// UTF-8 when it is valid UTF-8, else the console's input code page. Throws
// UsageError (command_line.h) for input that is not text, naming where, or
// longer than kMaxInputBytes (input_text.h).
std::wstring ReadStandardInputText();

// FormatMessage's text for a system error code, on one line.
std::wstring SystemErrorText(DWORD error);

}  // namespace dtmf_tool
