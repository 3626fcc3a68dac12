#pragma once
// What the dial command reads from Form1.

#include <windows.h>

#include <cstdint>
#include <string>

std::wstring ReadControlText(HWND form, int control_id);

// 0 clear, 1 checked, 2 greyed.
std::uint16_t ReadCheckState(HWND form, int control_id);
