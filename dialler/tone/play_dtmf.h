#pragma once
// The one entry of zelnor.dll the dialler calls: the dial string in the ANSI
// code page (valid only during the call), the interval in milliseconds, and
// 0 to wait for the tones or -1 to return at once. The result is ignored.
// Its type is the library's own, from the library's public header.

#include "zelnor.h"

using PlayDtmfFunction = ZelnorPlayDtmfFunction;

inline constexpr wchar_t kToneLibraryName[] = L"zelnor.dll";
inline constexpr char kPlayDtmfEntryName[] = "PlayDTMF";
