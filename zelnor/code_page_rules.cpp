#include "zelnor/code_page_rules.h"

#include "zelnor/keypad.h"
#include "zelnor/zelnor_error.h"
#include "zelnor/zelnor.h"

namespace zelnor {

void CodePageRules::AddLeadByteRange(uint8_t first, uint8_t last) {
  for (unsigned byte = first; byte <= last; ++byte) lead_bytes_[byte] = true;
}

void CodePageRules::AddDoubleByteSymbol(uint8_t lead, uint8_t trail, char symbol) {
  if (!IsDtmfSymbol(symbol) || double_byte_symbol_count_ == kMaxDoubleByteSymbols) {
    throw ZelnorError(ZELNOR_E_INVALID_ARGUMENT, "not a DTMF symbol or too many full-width forms");
  }
  double_byte_symbols_[double_byte_symbol_count_++] = {lead, trail, symbol};
}

char CodePageRules::DoubleByteSymbol(uint8_t lead, uint8_t trail) const {
  for (size_t i = 0; i < double_byte_symbol_count_; ++i) {
    const DoubleByteSymbolEntry& entry = double_byte_symbols_[i];
    if (entry.lead == lead && entry.trail == trail) return entry.symbol;
  }
  return '\0';
}

CodePageRules CodePage932Rules() {
  CodePageRules rules;
  rules.AddLeadByteRange(0x81, 0x9F);
  rules.AddLeadByteRange(0xE0, 0xFC);
  for (int i = 0; i < 10; ++i) {  // ０-９
    rules.AddDoubleByteSymbol(0x82, static_cast<uint8_t>(0x4F + i), static_cast<char>('0' + i));
  }
  for (int i = 0; i < 4; ++i) {
    const char symbol = static_cast<char>('A' + i);
    rules.AddDoubleByteSymbol(0x82, static_cast<uint8_t>(0x60 + i), symbol);  // Ａ-Ｄ
    rules.AddDoubleByteSymbol(0x82, static_cast<uint8_t>(0x81 + i), symbol);  // ａ-ｄ
  }
  rules.AddDoubleByteSymbol(0x81, 0x96, '*');  // ＊
  rules.AddDoubleByteSymbol(0x81, 0x94, '#');  // ＃
  return rules;
}

}  // namespace zelnor
