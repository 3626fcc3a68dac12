#include "zelnor/system_code_page_win.h"

#include <windows.h>

#include "zelnor/keypad.h"

namespace zelnor {
namespace {

struct FullWidthSymbol {
  wchar_t character;
  char symbol;
};

constexpr FullWidthSymbol kFullWidthSymbols[] = {
    {L'\xFF10', '0'}, {L'\xFF11', '1'}, {L'\xFF12', '2'}, {L'\xFF13', '3'}, {L'\xFF14', '4'},
    {L'\xFF15', '5'}, {L'\xFF16', '6'}, {L'\xFF17', '7'}, {L'\xFF18', '8'}, {L'\xFF19', '9'},
    {L'\xFF21', 'A'}, {L'\xFF22', 'B'}, {L'\xFF23', 'C'}, {L'\xFF24', 'D'}, {L'\xFF41', 'A'},
    {L'\xFF42', 'B'}, {L'\xFF43', 'C'}, {L'\xFF44', 'D'}, {L'\xFF0A', '*'}, {L'\xFF03', '#'},
};

CodePageRules ReadSystemCodePage() {
  CodePageRules rules;
  CPINFO info{};
  if (!::GetCPInfo(CP_ACP, &info) || info.MaxCharSize < 2) return rules;
  // LeadByte holds up to six first/last pairs, ended by a zero pair.
  for (int i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i] != 0; i += 2) {
    rules.AddLeadByteRange(info.LeadByte[i], info.LeadByte[i + 1]);
  }
  // The full-width forms are whatever the code page encodes them as, if
  // anything; only exact two-byte encodings count.
  for (const FullWidthSymbol& entry : kFullWidthSymbols) {
    char bytes[4] = {};
    BOOL used_default = FALSE;
    const int length = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, &entry.character, 1, bytes,
                                             sizeof bytes, nullptr, &used_default);
    const auto lead = static_cast<uint8_t>(bytes[0]);
    if (length == 2 && !used_default && rules.IsLeadByte(lead)) {
      rules.AddDoubleByteSymbol(lead, static_cast<uint8_t>(bytes[1]), entry.symbol);
    }
  }
  return rules;
}

}  // namespace

const CodePageRules& SystemCodePageRules() {
  static const CodePageRules rules = ReadSystemCodePage();
  return rules;
}

}  // namespace zelnor
