#include "tools/dtmf/utf8_text.h"

#include <cstdint>

namespace dtmf_tool {

Utf8Character ReadUtf8(std::string_view bytes, size_t at) {
  const auto byte = [&](size_t i) { return static_cast<uint8_t>(bytes[at + i]); };
  const uint8_t lead = byte(0);
  if (lead < 0x80) return {lead, 1};
  size_t length = 0;
  uint8_t second_low = 0x80;
  uint8_t second_high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) second_low = 0xA0;
    if (lead == 0xED) second_high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) second_low = 0x90;
    if (lead == 0xF4) second_high = 0x8F;
  } else {
    return {0, 0};
  }
  if (bytes.size() - at < length) return {0, 0};
  if (byte(1) < second_low || byte(1) > second_high) return {0, 0};
  auto code_point = static_cast<char32_t>(lead & (0x7F >> length));
  for (size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return {0, 0};
    code_point = (code_point << 6) | (byte(i) & 0x3F);
  }
  return {code_point, length};
}

void AppendUtf16(char32_t code_point, std::wstring& text) {
  if (code_point < 0x10000) {
    text.push_back(static_cast<wchar_t>(code_point));
    return;
  }
  code_point -= 0x10000;
  text.push_back(static_cast<wchar_t>(0xD800 + (code_point >> 10)));
  text.push_back(static_cast<wchar_t>(0xDC00 + (code_point & 0x3FF)));
}

std::wstring FromUtf8(std::string_view bytes) {
  std::wstring text;
  for (size_t at = 0; at < bytes.size();) {
    const Utf8Character character = ReadUtf8(bytes, at);
    AppendUtf16(character.length == 0 ? U'\xFFFD' : character.code_point, text);
    at += character.length == 0 ? 1 : character.length;
  }
  return text;
}

namespace {

void AppendUtf8(char32_t code_point, std::string& bytes) {
  const auto put = [&](uint32_t value) { bytes.push_back(static_cast<char>(value)); };
  if (code_point < 0x80) {
    put(code_point);
  } else if (code_point < 0x800) {
    put(0xC0 | (code_point >> 6));
    put(0x80 | (code_point & 0x3F));
  } else if (code_point < 0x10000) {
    put(0xE0 | (code_point >> 12));
    put(0x80 | ((code_point >> 6) & 0x3F));
    put(0x80 | (code_point & 0x3F));
  } else {
    put(0xF0 | (code_point >> 18));
    put(0x80 | ((code_point >> 12) & 0x3F));
    put(0x80 | ((code_point >> 6) & 0x3F));
    put(0x80 | (code_point & 0x3F));
  }
}

bool IsHigh(uint32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLow(uint32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

std::string ToUtf8(std::wstring_view text) {
  std::string bytes;
  for (size_t at = 0; at < text.size(); ++at) {
    const auto unit = static_cast<uint32_t>(text[at]);
    if (IsHigh(unit) && at + 1 < text.size() && IsLow(static_cast<uint32_t>(text[at + 1]))) {
      const auto low = static_cast<uint32_t>(text[++at]);
      AppendUtf8(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00), bytes);
    } else {
      AppendUtf8(IsHigh(unit) || IsLow(unit) || unit > 0x10FFFF ? U'\xFFFD' : unit, bytes);
    }
  }
  return bytes;
}

}  // namespace dtmf_tool
