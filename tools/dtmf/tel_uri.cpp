#include "tools/dtmf/tel_uri.h"

#include <optional>

#include "tools/dtmf/command_line.h"
#include "tools/dtmf/input_text.h"

namespace dtmf_tool {
namespace {

constexpr std::wstring_view kScheme = L"tel:";
// Written for the eye, dialled as nothing.
constexpr std::wstring_view kVisualSeparators = L"-.()";
// What a dial keeps: the sixteen keys and the pause.
constexpr std::wstring_view kDialCharacters = L"0123456789ABCDabcd*#,";

struct PostDialLetter {
  wchar_t letter;
  wchar_t dial_character;
};
// As phones read post-dial digits: p a pause, w a wait for the user.
constexpr PostDialLetter kPostDialLetters[] = {
    {L'p', L','}, {L'P', L','}, {L'w', L';'}, {L'W', L';'}};

bool Contains(std::wstring_view set, wchar_t c) { return set.find(c) != std::wstring_view::npos; }

bool IsAsciiLetterOrDigit(wchar_t c) {
  return (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

std::wstring LowerCase(std::wstring_view text) {
  std::wstring lower(text);
  for (wchar_t& c : lower) {
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
  }
  return lower;
}

int HexValue(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  return -1;
}

bool IsControl(wchar_t c) { return c < 0x20 || c == 0x7F; }

std::wstring HexByte(wchar_t c) {
  const wchar_t digits[] = L"0123456789ABCDEF";
  return {digits[(c >> 4) & 0xF], digits[c & 0xF]};
}

// A character as a message shows it: itself in quotes, or its code when it
// would not print.
std::wstring Shown(wchar_t c) {
  if (!IsControl(c)) return std::wstring(L"'") + c + L"'";
  return L"character U+00" + HexByte(c);
}

// The link as a one-line message quotes it: a control character (a line
// break pasted with it) written as its percent escape.
std::wstring Printable(std::wstring_view uri) {
  std::wstring printable;
  for (const wchar_t c : uri) printable += IsControl(c) ? L"%" + HexByte(c) : std::wstring(1, c);
  return printable;
}

class TelUriReader {
 public:
  explicit TelUriReader(std::wstring_view uri) : uri_(uri) {}

  std::wstring Dial() {
    if (!IsTelUri(uri_)) Refuse(L"not a tel: link");
    const std::wstring_view rest = uri_.substr(kScheme.size());
    const size_t number_end = rest.find(L';');
    std::wstring dial = Number(PercentDecoded(rest.substr(0, number_end)));
    std::optional<std::wstring> extension;
    std::optional<std::wstring> post_dial;
    for (size_t at = number_end; at != std::wstring_view::npos;) {
      const size_t end = rest.find(L';', at + 1);
      ReadParameter(rest.substr(at + 1, end == std::wstring_view::npos ? end : end - at - 1),
                    extension, post_dial);
      at = end;
    }
    if (extension) dial += L"," + *extension;
    if (post_dial) dial += *post_dial;
    return dial;
  }

 private:
  [[noreturn]] void Refuse(const std::wstring& why) const {
    throw UsageError(L"dtmf: " + Printable(uri_) + L": " + why);
  }

  // Escapes stand for UTF-8 bytes (RFC 3966), so a run of them is read as
  // UTF-8 where it is that; otherwise each byte stands for itself, to be
  // named as what is not allowed.
  std::wstring PercentDecoded(std::wstring_view text) const {
    std::wstring decoded;
    std::string escaped;
    const auto end_escapes = [&] {
      const InputForm form = DetectInputForm(escaped);
      if (form.encoding == InputEncoding::kUtf8 && escaped.find('\0') == std::string::npos) {
        decoded += DecodeUnicodeInput(escaped, form);
      } else {
        for (const char byte : escaped) decoded.push_back(static_cast<unsigned char>(byte));
      }
      escaped.clear();
    };
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] != L'%') {
        end_escapes();
        decoded.push_back(text[i]);
        continue;
      }
      const int high = i + 1 < text.size() ? HexValue(text[i + 1]) : -1;
      const int low = i + 2 < text.size() ? HexValue(text[i + 2]) : -1;
      if (high < 0 || low < 0) {
        Refuse(L"a bad percent escape \"" + Printable(text.substr(i, 3)) +
               L"\" (% takes two hex digits, as in %23 for #)");
      }
      escaped.push_back(static_cast<char>(high * 16 + low));
      i += 2;
    }
    end_escapes();
    return decoded;
  }

  // Decoded text as dial characters, its visual separators dropped.
  std::wstring DialCharacters(std::wstring_view text, std::wstring_view where,
                              bool post_dial) const {
    std::wstring dial;
    for (const wchar_t c : text) {
      if (Contains(kVisualSeparators, c)) continue;
      if (Contains(kDialCharacters, c)) {
        dial.push_back(c);
        continue;
      }
      if (post_dial) {
        if (const auto* letter = FindPostDialLetter(c)) {
          dial.push_back(letter->dial_character);
          continue;
        }
      }
      Refuse(Shown(c) + L" is not allowed in " + std::wstring(where));
    }
    return dial;
  }

  static const PostDialLetter* FindPostDialLetter(wchar_t c) {
    for (const PostDialLetter& letter : kPostDialLetters) {
      if (letter.letter == c) return &letter;
    }
    return nullptr;
  }

  // A leading + is kept so that the user sees it; it dials nothing.
  std::wstring Number(std::wstring_view decoded) const {
    const bool global = !decoded.empty() && decoded.front() == L'+';
    std::wstring digits = DialCharacters(decoded.substr(global ? 1 : 0), L"the number", false);
    if (digits.find_first_not_of(L',') == std::wstring::npos) Refuse(L"the number is empty");
    return global ? L"+" + digits : digits;
  }

  void ReadParameter(std::wstring_view parameter, std::optional<std::wstring>& extension,
                     std::optional<std::wstring>& post_dial) const {
    const size_t equals = parameter.find(L'=');
    const std::wstring_view name = parameter.substr(0, equals);
    if (name.empty()) Refuse(L"a parameter with no name (\";;\", \";=\" or a ';' at the end)");
    for (const wchar_t c : name) {
      if (!IsAsciiLetterOrDigit(c) && c != L'-') {
        Refuse(Shown(c) + L" is not allowed in a parameter name");
      }
    }
    const std::wstring value =
        equals == std::wstring_view::npos ? L"" : PercentDecoded(parameter.substr(equals + 1));
    const std::wstring lower_name = LowerCase(name);
    if (lower_name == L"ext") {
      SetOnce(extension, DialCharacters(value, L"ext=", false), L"ext=");
    } else if (lower_name == L"postd") {
      SetOnce(post_dial, DialCharacters(value, L"postd=", true), L"postd=");
    }
  }

  void SetOnce(std::optional<std::wstring>& slot, std::wstring dial, std::wstring_view name) const {
    if (slot) Refuse(std::wstring(name) + L" is given twice");
    if (dial.empty()) Refuse(std::wstring(name) + L" has nothing to dial");
    slot = std::move(dial);
  }

  std::wstring_view uri_;
};

}  // namespace

bool IsTelUri(std::wstring_view text) {
  return text.size() >= kScheme.size() && LowerCase(text.substr(0, kScheme.size())) == kScheme;
}

std::wstring DialFromTelUri(std::wstring_view uri) { return TelUriReader(uri).Dial(); }

}  // namespace dtmf_tool
