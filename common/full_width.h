#pragma once
// East Asian input methods in full-width mode type printable ASCII as its
// full-width form: U+FF01 to U+FF5E mirror '!' to '~' one for one, at a
// fixed distance.

inline constexpr wchar_t kFullWidthDistance = 0xFEE0;

// The full-width form of a printable ASCII character ('!' to '~').
constexpr wchar_t FullWidthForm(char ascii) {
  return static_cast<wchar_t>(ascii + kFullWidthDistance);
}

// The ASCII character a full-width form stands for; any other character is
// returned unchanged.
constexpr wchar_t FoldFullWidthForm(wchar_t c) {
  return c >= FullWidthForm('!') && c <= FullWidthForm('~')
             ? static_cast<wchar_t>(c - kFullWidthDistance)
             : c;
}
