#include "dialler/window/form_reads_win.h"

#include "common/win32_error_win.h"
#include "dialler/window/form_layout.h"

namespace {

HWND ControlOf(HWND form, int control_id) {
  HWND control = ::GetDlgItem(form, control_id);
  if (!control) ThrowLastError("GetDlgItem");
  return control;
}

std::wstring ReadText(HWND form, int control_id) {
  const int length = ::GetWindowTextLengthW(ControlOf(form, control_id));
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const UINT copied = ::GetDlgItemTextW(form, control_id, text.data(), length + 1);
  text.resize(copied);
  return text;
}

std::uint16_t ReadCheckState(HWND form, int control_id) {
  ControlOf(form, control_id);
  return static_cast<std::uint16_t>(::IsDlgButtonChecked(form, control_id));
}

}  // namespace

Form1Contents ReadForm1(HWND form) {
  return {ReadText(form, kText1), ReadText(form, kText2), ReadCheckState(form, kCheck1)};
}
