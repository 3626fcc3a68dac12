#include "window/form_builder_win.h"

#include <string>

#include "common/win32_error_win.h"
#include "window/form_layout.h"

namespace {

struct ControlClass {
  const wchar_t* class_name;
  DWORD style;
  DWORD ex_style;
};

ControlClass ClassFor(const ControlRecord& record) {
  switch (record.kind) {
    case ControlKind::kTextField:
      return {L"EDIT", WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case ControlKind::kCheckBox:
      return {L"BUTTON", WS_TABSTOP | BS_AUTOCHECKBOX, 0};
    case ControlKind::kPushButton:
      return {L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON, 0};
    case ControlKind::kCaption:
      return {L"STATIC", static_cast<DWORD>(SS_NOPREFIX | (record.fit_to_text ? SS_LEFTNOWORDWRAP : SS_LEFT)), 0};
  }
  return {L"STATIC", 0, 0};
}

SIZE TextExtent(HWND control, HFONT font, const std::wstring_view text) {
  HDC dc = ::GetDC(control);
  HGDIOBJ old_font = ::SelectObject(dc, font);
  RECT rect{};
  ::DrawTextW(dc, text.data(), static_cast<int>(text.size()), &rect,
              DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  ::SelectObject(dc, old_font);
  ::ReleaseDC(control, dc);
  return {rect.right - rect.left, rect.bottom - rect.top};
}

}  // namespace

void CreateControls(HWND form, HINSTANCE instance) {
  for (const ControlRecord& record : kForm1Controls) {
    const ControlClass control_class = ClassFor(record);
    const std::wstring text(record.text);
    HWND control = ::CreateWindowExW(
        control_class.ex_style, control_class.class_name, text.c_str(),
        WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | control_class.style, 0, 0, 0, 0, form,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(record.id)), instance, nullptr);
    if (!control) ThrowLastError("CreateWindowEx (control)");
    if (record.kind == ControlKind::kTextField) {
      // An edit control stops at 32,767 characters unless told otherwise.
      ::SendMessageW(control, EM_SETLIMITTEXT, 0, 0);
    }
  }

  // The dialog manager walks children in z-order, so stack them by tab index.
  HWND above = HWND_TOP;
  for (int id : TabOrder()) {
    HWND control = ::GetDlgItem(form, id);
    ::SetWindowPos(control, above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    above = control;
  }
}

void LayOutControls(HWND form, HFONT font, UINT dpi) {
  for (const ControlRecord& record : kForm1Controls) {
    HWND control = ::GetDlgItem(form, record.id);
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    PixelRect rect = TwipsRectToPixels(record.left, record.top, record.width, record.height,
                                       static_cast<int>(dpi));
    if (record.fit_to_text) {
      const SIZE extent = TextExtent(control, font, record.text);
      rect.width = extent.cx;
      rect.height = extent.cy;
    }
    ::SetWindowPos(control, nullptr, rect.left, rect.top, rect.width, rect.height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ::InvalidateRect(form, nullptr, TRUE);
}
