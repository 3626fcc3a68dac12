#pragma once

#include <windows.h>

// Runs on the window's thread for each click of Command1. It may throw; the
// window shows the failure and carries on.
using ClickHandler = void (*)(HWND form);

// Builds Form1 from its layout table, hidden, owned by `owner` (a hidden
// window, so Form1 gets no taskbar button). Throws std::system_error.
HWND CreateForm1(HINSTANCE instance, HWND owner, ClickHandler on_click);

// A hidden top-level window to own Form1.
HWND CreateHiddenOwner(HINSTANCE instance);

// Keys the window handles before the dialog manager sees them. Returns true
// when the message was consumed.
bool HandleFormKey(HWND form, const MSG& message);
