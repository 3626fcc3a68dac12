#pragma once
// What the symbol reader needs to know about a multi-byte ANSI code page:
// which bytes start a double-byte character, and which double-byte
// characters are full-width forms of the DTMF symbols. Kept as data so the
// reader is portable and any DBCS code page can be described.

#include <array>
#include <cstddef>
#include <cstdint>

namespace zelnor {

class CodePageRules {
 public:
  // Without lead bytes every byte is one character (single-byte code pages).
  CodePageRules() = default;

  void AddLeadByteRange(uint8_t first, uint8_t last);
  // Makes the two-byte character lead,trail dial symbol (one of the sixteen).
  void AddDoubleByteSymbol(uint8_t lead, uint8_t trail, char symbol);

  [[nodiscard]] bool IsLeadByte(uint8_t byte) const { return lead_bytes_[byte]; }
  // The symbol a double-byte character dials, or '\0'.
  [[nodiscard]] char DoubleByteSymbol(uint8_t lead, uint8_t trail) const;

 private:
  struct DoubleByteSymbolEntry {
    uint8_t lead;
    uint8_t trail;
    char symbol;
  };
  // 0-9, A-D, a-d, * and # in full width.
  static constexpr size_t kMaxDoubleByteSymbols = 20;

  std::array<bool, 256> lead_bytes_{};
  std::array<DoubleByteSymbolEntry, kMaxDoubleByteSymbols> double_byte_symbols_{};
  size_t double_byte_symbol_count_ = 0;
};

// Code page 932 (Japanese Shift JIS as Windows uses it).
CodePageRules CodePage932Rules();

}  // namespace zelnor
