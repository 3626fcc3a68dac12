#include "dialler/window/form_builder_win.h"

#include <string>

#include "common/win32_error_win.h"
#include "dialler/window/form_layout.h"
#include "dialler/window/form_placement.h"

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
      return {L"STATIC",
              static_cast<DWORD>(SS_NOPREFIX | (record.fit_to_text ? SS_LEFTNOWORDWRAP : SS_LEFT)),
              0};
  }
  return {L"STATIC", 0, 0};
}

// A screen DC with `font` selected, both given back when it goes.
class FontDc {
 public:
  FontDc(HWND window, HFONT font)
      : window_(window), dc_(::GetDC(window)), old_font_(::SelectObject(dc_, font)) {}
  ~FontDc() {
    ::SelectObject(dc_, old_font_);
    ::ReleaseDC(window_, dc_);
  }
  FontDc(const FontDc&) = delete;
  FontDc& operator=(const FontDc&) = delete;

  TextSize Extent(std::wstring_view text) const {
    RECT rect{};
    ::DrawTextW(dc_, text.data(), static_cast<int>(text.size()), &rect,
                DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    return {rect.right - rect.left, rect.bottom - rect.top};
  }

 private:
  HWND window_;
  HDC dc_;
  HGDIOBJ old_font_;
};

// Captions that fit their text are measured in `font`.
ControlRects PlaceControls(HWND form, HFONT font, UINT dpi) {
  std::array<TextSize, kForm1Controls.size()> text_sizes{};
  const FontDc dc(form, font);
  for (size_t i = 0; i < kForm1Controls.size(); ++i) {
    if (kForm1Controls[i].fit_to_text) text_sizes[i] = dc.Extent(kForm1Controls[i].text);
  }
  return PlaceForm1Controls(static_cast<int>(dpi), text_sizes);
}

}  // namespace

void CreateControls(HWND form, HINSTANCE instance, HFONT font, UINT dpi) {
  const ControlRects rects = PlaceControls(form, font, dpi);
  // A new child goes below its siblings, so creating in z-order stacks them.
  for (int id : ZOrder()) {
    const ControlRecord& record = kForm1Controls[PositionOf(id)];
    const PixelRect& rect = rects[PositionOf(id)];
    const ControlClass control_class = ClassFor(record);
    const std::wstring text(record.text);
    HWND control = ::CreateWindowExW(control_class.ex_style, control_class.class_name, text.c_str(),
                                     WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | control_class.style,
                                     rect.left, rect.top, rect.width, rect.height, form,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(record.id)),
                                     instance, nullptr);
    if (!control) ThrowLastError("CreateWindowEx (control)");
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (record.kind == ControlKind::kTextField) {
      // An edit control stops at 32,767 characters unless told otherwise.
      ::SendMessageW(control, EM_SETLIMITTEXT, 0, 0);
    }
  }
}

void LayOutControls(HWND form, HFONT font, UINT dpi) {
  const ControlRects rects = PlaceControls(form, font, dpi);
  for (size_t i = 0; i < kForm1Controls.size(); ++i) {
    HWND control = ::GetDlgItem(form, kForm1Controls[i].id);
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    ::SetWindowPos(control, nullptr, rects[i].left, rects[i].top, rects[i].width, rects[i].height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ::InvalidateRect(form, nullptr, TRUE);
}
