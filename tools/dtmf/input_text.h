#pragma once
// Which encoding standard input's bytes are in, and the Unicode ones read
// into text. Portable, so every rule is tested natively; the code-page case
// is left to the platform (console_win.cpp).

#include <cstddef>
#include <string>
#include <string_view>

namespace dtmf_tool {

// Beyond this, standard input is refused rather than read: no dial is that
// long, and a runaway pipe must not exhaust memory.
inline constexpr size_t kMaxInputBytes = 64 * 1024 * 1024;

// How the bytes are written; kCodePage: in the console's input code page.
enum class InputEncoding { kUtf16Le, kUtf16Be, kUtf8, kCodePage };

// The encoding, and where the text starts (after its byte order mark).
struct InputForm {
  InputEncoding encoding;
  size_t text_start;
};

// A byte order mark decides; without one, valid UTF-8 is UTF-8 and
// anything else is in the console's code page.
InputForm DetectInputForm(std::string_view bytes);

// Input in one of the Unicode encodings as UTF-16 code units, one per
// wchar_t (as Windows holds text). Throws UsageError (command_line.h)
// naming the byte offset of the first NUL character or ill-formed sequence.
std::wstring DecodeUnicodeInput(std::string_view bytes, InputForm form);

// Throws UsageError naming the offset of the first NUL byte. For code-page
// input: no code page uses 0 as the trail byte of a double-byte character.
void RefuseNulBytes(std::string_view bytes);

// Throws UsageError: the input is not text in `encoding_name` from byte
// `offset` on.
[[noreturn]] void ThrowNotText(size_t offset, std::wstring_view encoding_name);

// Throws UsageError: the input is longer than kMaxInputBytes.
[[noreturn]] void ThrowInputTooLong();

}  // namespace dtmf_tool
