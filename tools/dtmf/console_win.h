#pragma once
// Text out to the console in its own characters, or to a file or pipe in
// the console's code page.

#include <windows.h>

#include <string>

namespace dtmf_tool {

// `stream` is STD_OUTPUT_HANDLE or STD_ERROR_HANDLE.
void Print(DWORD stream, const std::wstring& text);

// All of standard input as text. Throws UsageError (command_line.h) for
// input that is not text, naming where.
std::wstring ReadStandardInputText();

// FormatMessage's text for a system error code, on one line.
std::wstring SystemErrorText(DWORD error);

// Command-line text in the ANSI code page, as zelnor.dll reads it.
std::string ToAnsi(const std::wstring& text);

}  // namespace dtmf_tool
