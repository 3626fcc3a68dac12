#pragma once
// SSE2 is the baseline of every x86 build (-msse2 -mfpmath=sse, or MSVC's
// default), so x86 and x64 do the same single-precision operations in the
// same order and agree to the bit. Code that uses it keeps a plain loop,
// giving the same results, for processors without it (ZELNOR_HAVE_SSE2
// unset).
#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#define ZELNOR_HAVE_SSE2 1
#include <emmintrin.h>
#endif
