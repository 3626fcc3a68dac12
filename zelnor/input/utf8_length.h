#pragma once
// How far one character of a UTF-8 dial reaches, malformed ones included.

#include <cstddef>

namespace zelnor {

// Bytes from `bytes` (of `available`) that one character takes: a lead
// byte and the continuation bytes it announces, but only those present, so
// a broken sequence ends at the first byte that does not continue it and
// that byte (a '3' after a lone 0xE0) is read on its own, as Windows' own
// decoder reads it. A stray continuation byte is one character.
inline size_t Utf8Length(const unsigned char* bytes, size_t available) {
  const unsigned char lead = bytes[0];
  const size_t announced = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  size_t length = 1;
  while (length < announced && length < available && (bytes[length] & 0xC0) == 0x80) ++length;
  return length;
}

}  // namespace zelnor
