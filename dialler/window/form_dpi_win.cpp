#include "dialler/window/form_dpi_win.h"

#include "common/win32_error_win.h"

namespace {

// The per-DPI calls arrived in Windows 10 1607; they are looked up, typed
// from their declarations, so the program still starts, at the system DPI,
// on older systems.
template <typename Function>
Function User32Entry(const char* name) {
  const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
  return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(user32, name)));
}

struct DpiEntries {
  decltype(&::GetDpiForWindow) get_dpi_for_window;
  decltype(&::GetSystemMetricsForDpi) get_system_metrics_for_dpi;
  decltype(&::SystemParametersInfoForDpi) system_parameters_info_for_dpi;
  decltype(&::AdjustWindowRectExForDpi) adjust_window_rect_ex_for_dpi;
};

const DpiEntries& Dpi() {
  static const DpiEntries entries{
      User32Entry<decltype(&::GetDpiForWindow)>("GetDpiForWindow"),
      User32Entry<decltype(&::GetSystemMetricsForDpi)>("GetSystemMetricsForDpi"),
      User32Entry<decltype(&::SystemParametersInfoForDpi)>("SystemParametersInfoForDpi"),
      User32Entry<decltype(&::AdjustWindowRectExForDpi)>("AdjustWindowRectExForDpi"),
  };
  return entries;
}

UINT DpiForSystem() {
  HDC screen = ::GetDC(nullptr);
  const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

}  // namespace

UINT DpiForWindow(HWND window) {
  const UINT dpi = Dpi().get_dpi_for_window ? Dpi().get_dpi_for_window(window) : 0;
  return dpi ? dpi : DpiForSystem();
}

int SystemMetricForDpi(int index, UINT dpi) {
  return Dpi().get_system_metrics_for_dpi ? Dpi().get_system_metrics_for_dpi(index, dpi)
                                          : ::GetSystemMetrics(index);
}

UniqueFont CreateMessageFont(UINT dpi) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  const bool scaled = Dpi().system_parameters_info_for_dpi &&
                      Dpi().system_parameters_info_for_dpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics),
                                                           &metrics, 0, dpi);
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
  RECT rect{0, 0, client_width, client_height};
  const BOOL ok = Dpi().adjust_window_rect_ex_for_dpi
                      ? Dpi().adjust_window_rect_ex_for_dpi(&rect, style, FALSE, ex_style, dpi)
                      : ::AdjustWindowRectEx(&rect, style, FALSE, ex_style);
  if (!ok) ThrowLastError("AdjustWindowRectEx");
  return {rect.right - rect.left, rect.bottom - rect.top};
}
