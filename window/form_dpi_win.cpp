#include "window/form_dpi_win.h"

#include "common/win32_error_win.h"

namespace {

// The per-DPI calls arrived in Windows 10 1607; look them up so the program
// still starts, at the system DPI, on older systems.
template <typename Function>
Function User32Entry(const char* name) {
  static HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
  return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(user32, name)));
}

}  // namespace

UINT DpiForSystem() {
  HDC screen = ::GetDC(nullptr);
  const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

UINT DpiForWindow(HWND window) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto get_dpi = User32Entry<GetDpiForWindowFn>("GetDpiForWindow");
  const UINT dpi = get_dpi ? get_dpi(window) : 0;
  return dpi ? dpi : DpiForSystem();
}

int SystemMetricForDpi(int index, UINT dpi) {
  using Fn = int(WINAPI*)(int, UINT);
  static const auto metric = User32Entry<Fn>("GetSystemMetricsForDpi");
  return metric ? metric(index, dpi) : ::GetSystemMetrics(index);
}

UniqueFont CreateMessageFont(UINT dpi) {
  using Fn = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
  static const auto parameters = User32Entry<Fn>("SystemParametersInfoForDpi");
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  bool scaled =
      parameters && parameters(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi);
  if (!scaled) {
    if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
      ThrowLastError("SystemParametersInfo");
    }
    metrics.lfMessageFont.lfHeight = ::MulDiv(metrics.lfMessageFont.lfHeight, static_cast<int>(dpi),
                                              static_cast<int>(DpiForSystem()));
  }
  UniqueFont font(::CreateFontIndirectW(&metrics.lfMessageFont));
  if (!font) ThrowLastError("CreateFontIndirect");
  return font;
}

SIZE WindowSizeForClient(int client_width, int client_height, DWORD style, DWORD ex_style,
                         UINT dpi) {
  using Fn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
  static const auto adjust = User32Entry<Fn>("AdjustWindowRectExForDpi");
  RECT rect{0, 0, client_width, client_height};
  const BOOL ok = adjust ? adjust(&rect, style, FALSE, ex_style, dpi)
                         : ::AdjustWindowRectEx(&rect, style, FALSE, ex_style);
  if (!ok) ThrowLastError("AdjustWindowRectEx");
  return {rect.right - rect.left, rect.bottom - rect.top};
}
