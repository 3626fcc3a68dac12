#include "tools/dtmf/input_text.h"

#include <cstdint>

#include "tools/dtmf/command_line.h"
#include "tools/dtmf/utf8_text.h"

namespace dtmf_tool {
namespace {

struct ByteOrderMark {
  std::string_view bytes;
  InputEncoding encoding;
};

constexpr ByteOrderMark kByteOrderMarks[] = {
    {"\xEF\xBB\xBF", InputEncoding::kUtf8},
    {"\xFF\xFE", InputEncoding::kUtf16Le},
    {"\xFE\xFF", InputEncoding::kUtf16Be},
};

bool IsUtf8(std::string_view bytes) {
  for (size_t at = 0; at < bytes.size();) {
    const size_t length = ReadUtf8(bytes, at).length;
    if (length == 0) return false;
    at += length;
  }
  return true;
}

[[noreturn]] void ThrowNul(size_t offset) {
  throw UsageError(L"dtmf: standard input: a NUL character at byte " + std::to_wstring(offset) +
                   L" (the input must be text)");
}

std::wstring DecodeUtf8(std::string_view bytes, size_t start) {
  std::wstring text;
  for (size_t at = start; at < bytes.size();) {
    const Utf8Character character = ReadUtf8(bytes, at);
    if (character.length == 0) ThrowNotText(at, L"UTF-8");
    if (character.code_point == 0) ThrowNul(at);
    AppendUtf16(character.code_point, text);
    at += character.length;
  }
  return text;
}

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

std::wstring DecodeUtf16(std::string_view bytes, size_t start, bool big_endian) {
  const auto unit_at = [&](size_t at) {
    const auto first = static_cast<uint8_t>(bytes[at]);
    const auto second = static_cast<uint8_t>(bytes[at + 1]);
    return static_cast<char16_t>(big_endian ? (first << 8) | second : (second << 8) | first);
  };
  const wchar_t* const name = big_endian ? L"UTF-16 BE" : L"UTF-16 LE";
  std::wstring text;
  for (size_t at = start; at < bytes.size(); at += 2) {
    if (bytes.size() - at < 2) ThrowNotText(at, name);
    const char16_t unit = unit_at(at);
    if (unit == 0) ThrowNul(at);
    if (IsLowSurrogate(unit)) ThrowNotText(at, name);
    if (IsHighSurrogate(unit)) {
      if (bytes.size() - at < 4 || !IsLowSurrogate(unit_at(at + 2))) ThrowNotText(at, name);
      text.push_back(static_cast<wchar_t>(unit));
      at += 2;
    }
    text.push_back(static_cast<wchar_t>(unit_at(at)));
  }
  return text;
}

}  // namespace

InputForm DetectInputForm(std::string_view bytes) {
  for (const ByteOrderMark& mark : kByteOrderMarks) {
    if (bytes.substr(0, mark.bytes.size()) == mark.bytes) return {mark.encoding, mark.bytes.size()};
  }
  return {IsUtf8(bytes) ? InputEncoding::kUtf8 : InputEncoding::kCodePage, 0};
}

std::wstring DecodeUnicodeInput(std::string_view bytes, InputForm form) {
  switch (form.encoding) {
    case InputEncoding::kUtf8:
      return DecodeUtf8(bytes, form.text_start);
    case InputEncoding::kUtf16Le:
      return DecodeUtf16(bytes, form.text_start, false);
    case InputEncoding::kUtf16Be:
      return DecodeUtf16(bytes, form.text_start, true);
    case InputEncoding::kCodePage:
      break;
  }
  return {};
}

void RefuseNulBytes(std::string_view bytes) {
  const size_t nul = bytes.find('\0');
  if (nul != std::string_view::npos) ThrowNul(nul);
}

void ThrowNotText(size_t offset, std::wstring_view encoding_name) {
  throw UsageError(L"dtmf: standard input: not valid " + std::wstring(encoding_name) +
                   L" at byte " + std::to_wstring(offset));
}

void ThrowInputTooLong() {
  throw UsageError(L"dtmf: standard input: longer than " +
                   std::to_wstring(kMaxInputBytes / (1024 * 1024)) + L" MB, the most it may hold");
}

}  // namespace dtmf_tool
