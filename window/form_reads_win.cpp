#include "window/form_reads_win.h"

#include "common/win32_error_win.h"

std::wstring ReadControlText(HWND form, int control_id) {
  HWND control = ::GetDlgItem(form, control_id);
  if (!control) ThrowLastError("GetDlgItem");
  const int length = ::GetWindowTextLengthW(control);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int copied = ::GetWindowTextW(control, text.data(), length + 1);
  text.resize(static_cast<size_t>(copied));
  return text;
}

std::uint16_t ReadCheckState(HWND form, int control_id) {
  HWND control = ::GetDlgItem(form, control_id);
  if (!control) ThrowLastError("GetDlgItem");
  return static_cast<std::uint16_t>(::SendMessageW(control, BM_GETCHECK, 0, 0));
}
