#pragma once
// DPI queries that fall back gracefully on systems older than Windows 10.

#include <windows.h>

#include "common/handles_win.h"

UINT DpiForWindow(HWND window);

// The system's message font (what dialogs use) at `dpi`.
UniqueFont CreateMessageFont(UINT dpi);

// Outer window size for a client area of the given pixels at `dpi`.
SIZE WindowSizeForClient(int client_width, int client_height, DWORD style, DWORD ex_style,
                         UINT dpi);

int SystemMetricForDpi(int index, UINT dpi);
