#pragma once
// Turns the layout table into child windows and places them at a DPI.

#include <windows.h>

// Creates every control at its place for `dpi`, in `font`, stacked in the
// order the dialog manager and screen readers walk.
void CreateControls(HWND form, HINSTANCE instance, HFONT font, UINT dpi);

// Moves every control to its place for `dpi` and sets `font` on all of them,
// on a DPI change.
void LayOutControls(HWND form, HFONT font, UINT dpi);
