#pragma once
// Turns the layout table into child windows and places them at a DPI.

#include <windows.h>

void CreateControls(HWND form, HINSTANCE instance);

// Positions and sizes every control for `dpi`, sets `font` on all of them and
// fits the captions that fit to their text. Used at creation and on DPI change.
void LayOutControls(HWND form, HFONT font, UINT dpi);
