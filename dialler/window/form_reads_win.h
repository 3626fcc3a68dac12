#pragma once
// What the dial command reads from Form1, gathered in one go before anything
// is converted.

#include <windows.h>

#include <cstdint>
#include <string>

struct Form1Contents {
  std::wstring text1;    // the dial string
  std::wstring text2;    // the interval
  std::uint16_t check1;  // 0 clear, 1 checked, 2 greyed
};

// Throws std::system_error when a control is missing.
Form1Contents ReadForm1(HWND form);
