#include "dialler/window/form_window_win.h"

#include <exception>
#include <memory>
#include <new>
#include <string>

#include "common/ansi_text_win.h"
#include "common/format_text.h"
#include "common/handles_win.h"
#include "common/resource_string_win.h"
#include "common/win32_error_win.h"
#include "dialler/resources/resource_ids.h"
#include "dialler/window/form_builder_win.h"
#include "dialler/window/form_dpi_win.h"
#include "dialler/window/form_layout.h"

namespace {

constexpr wchar_t kFormClass[] = L"DiallerForm1";
constexpr wchar_t kOwnerClass[] = L"DiallerOwner";
constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

struct FormState {
  ClickHandler on_click = nullptr;
  UniqueFont font;
  UniqueIcon big_icon;
  UniqueIcon small_icon;
  HWND last_focus = nullptr;
  bool in_click = false;
  bool close_requested = false;  // while in a click
};

FormState* StateOf(HWND form) {
  return reinterpret_cast<FormState*>(::GetWindowLongPtrW(form, GWLP_USERDATA));
}

UniqueIcon LoadAppIcon(HINSTANCE instance, int metric_x, int metric_y, UINT dpi) {
  return UniqueIcon(static_cast<HICON>(::LoadImageW(
      instance, MAKEINTRESOURCEW(IDI_APPLICATION_ICON), IMAGE_ICON,
      SystemMetricForDpi(metric_x, dpi), SystemMetricForDpi(metric_y, dpi), LR_DEFAULTCOLOR)));
}

// The old icons go only after the window holds the new ones.
void SetIcons(HWND form, FormState& state, UINT dpi) {
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(form, GWLP_HINSTANCE));
  UniqueIcon big_icon = LoadAppIcon(instance, SM_CXICON, SM_CYICON, dpi);
  UniqueIcon small_icon = LoadAppIcon(instance, SM_CXSMICON, SM_CYSMICON, dpi);
  ::SendMessageW(form, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big_icon.get()));
  ::SendMessageW(form, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_icon.get()));
  state.big_icon = std::move(big_icon);
  state.small_icon = std::move(small_icon);
}

// Fonts, icons and control positions for a new DPI, from the same table.
void ApplyDpi(HWND form, FormState& state, UINT dpi) {
  UniqueFont font = CreateMessageFont(dpi);
  LayOutControls(form, font.get(), dpi);
  state.font = std::move(font);
  SetIcons(form, state, dpi);
}

// A fixed dialog frame offers only Move and Close, as dialogs do; whatever
// else the system put in its menu (Restore, Size, Minimize, Maximize, or a
// platform's own items) would only show greyed out or do nothing.
void TrimSystemMenu(HWND form) {
  HMENU menu = ::GetSystemMenu(form, FALSE);
  for (int i = ::GetMenuItemCount(menu) - 1; i >= 0; --i) {
    const UINT id = ::GetMenuItemID(menu, i);
    if (id != SC_MOVE && id != SC_CLOSE) ::DeleteMenu(menu, static_cast<UINT>(i), MF_BYPOSITION);
  }
  ::InsertMenuW(menu, SC_CLOSE, MF_BYCOMMAND | MF_SEPARATOR, 0, nullptr);
}

void ShowFailure(HWND form, const std::wstring& text) {
  const std::wstring title(kForm1.title);
  ::MessageBoxW(form, text.c_str(), title.c_str(), MB_OK | MB_ICONERROR);
}

void FocusControl(HWND form, int control_id) {
  HWND control = ::GetDlgItem(form, control_id);
  if (!control) return;
  ::SetFocus(control);
  ::SendMessageW(control, EM_SETSEL, 0, -1);
}

// Clicks and keys that piled up while a synchronous dial held the thread
// were meant for a window that was not listening; replaying them would start
// dials behind the user's back. A request to close among them is different:
// the user wants out. Returns whether there was one: a click on the close box
// (a press there not released elsewhere), a double click on the system menu
// or Alt+F4.
bool DiscardInputReceivedDuringClick() {
  bool close = false;
  bool close_box_pressed = false;
  MSG message;
  while (::PeekMessageW(&message, nullptr, WM_NCMOUSEMOVE, WM_NCXBUTTONDBLCLK, PM_REMOVE)) {
    if (message.message == WM_NCLBUTTONDOWN) {
      close_box_pressed = message.wParam == HTCLOSE;
    } else if (message.message == WM_NCLBUTTONUP) {
      close = close || (close_box_pressed && message.wParam == HTCLOSE);
      close_box_pressed = false;
    } else if (message.message == WM_NCLBUTTONDBLCLK && message.wParam == HTSYSMENU) {
      close = true;
    }
  }
  while (::PeekMessageW(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
    if (message.message == WM_SYSKEYDOWN && message.wParam == VK_F4 &&
        (HIWORD(message.lParam) & KF_ALTDOWN)) {
      close = true;
    }
  }
  while (::PeekMessageW(&message, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
  }
  return close || close_box_pressed;
}

void ShowClickFailure(HWND form, const std::exception_ptr& failure) {
  try {
    std::rethrow_exception(failure);
  } catch (const ClickFailure& click_failure) {
    ShowFailure(form, click_failure.message());
    FocusControl(form, click_failure.focus_control());
  } catch (const std::bad_alloc&) {
    ShowFailure(form, LoadResourceString(IDS_OUT_OF_MEMORY));
  } catch (const std::exception& other) {
    ShowFailure(form, FormatText(LoadResourceString(IDS_UNEXPECTED_FAILURE),
                                 {FromAnsiCodePage(other.what())}));
  } catch (...) {
    ShowFailure(form, FormatText(LoadResourceString(IDS_UNEXPECTED_FAILURE), {}));
  }
}

// The one event the window reacts to. Nothing thrown here may cross back
// into the system's dispatch, so every failure ends as a message box.
void DispatchClick(HWND form, FormState& state) {
  std::exception_ptr failure;
  state.in_click = true;
  try {
    state.on_click(form);
  } catch (...) {
    failure = std::current_exception();
  }
  const bool close = DiscardInputReceivedDuringClick() || state.close_requested;
  state.in_click = false;
  state.close_requested = false;
  if (close) {
    // Through the queue, as any close: the window goes after this returns. A
    // failure is not put before a user who asked to leave.
    ::PostMessageW(form, WM_CLOSE, 0, 0);
  } else if (failure) {
    ShowClickFailure(form, failure);
  }
}

bool IsClickOfCommand1(HWND form, WPARAM wparam, LPARAM lparam) {
  // The dialog manager sends ids 1 and 2 (IDOK, IDCANCEL) for Enter and
  // Escape; only a real BN_CLICKED from the button itself counts.
  return LOWORD(wparam) == kCommand1 && HIWORD(wparam) == BN_CLICKED &&
         reinterpret_cast<HWND>(lparam) == ::GetDlgItem(form, kCommand1);
}

SIZE ClientSize(UINT dpi) {
  return {TwipsToPixels(kForm1.client_width, static_cast<int>(dpi)),
          TwipsToPixels(kForm1.client_height, static_cast<int>(dpi))};
}

// Sizes the window so its client area is exactly Form1's at `dpi`, moving it
// to `position` if given. The frame computed for that DPI is corrected by
// what the system then reports, since not every system draws the frame at
// the window's own DPI.
void SizeClientArea(HWND form, UINT dpi, const POINT* position) {
  const auto [width, height] = ClientSize(dpi);
  RECT client;
  ::GetClientRect(form, &client);
  if (!position && client.right == width && client.bottom == height) return;
  const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (position ? 0 : SWP_NOMOVE);
  const int x = position ? position->x : 0;
  const int y = position ? position->y : 0;
  SIZE size = WindowSizeForClient(width, height, kFormStyle, kFormExStyle, dpi);
  ::SetWindowPos(form, nullptr, x, y, size.cx, size.cy, flags);

  ::GetClientRect(form, &client);
  if (client.right != width || client.bottom != height) {
    size.cx += width - client.right;
    size.cy += height - client.bottom;
    ::SetWindowPos(form, nullptr, x, y, size.cx, size.cy, flags);
  }
}

void OnDpiChanged(HWND form, FormState& state, UINT dpi, const RECT& suggested) {
  const POINT position{suggested.left, suggested.top};
  SizeClientArea(form, dpi, &position);
  ApplyDpi(form, state, dpi);
}

LRESULT CALLBACK FormProc(HWND form, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
    ::SetWindowLongPtrW(form, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  FormState* state = StateOf(form);
  if (!state) return ::DefWindowProcW(form, message, wparam, lparam);

  switch (message) {
    case WM_COMMAND:
      if (IsClickOfCommand1(form, wparam, lparam)) DispatchClick(form, *state);
      return 0;
    case WM_CLOSE:
      // Sent by another program (or by the system menu's Close) while a dial
      // holds the window: closed once the dial returns, not from inside it.
      if (state->in_click) {
        state->close_requested = true;
        return 0;
      }
      break;
    case WM_SYSCOMMAND:
      // A fixed frame: no route, keyboard or programmatic, resizes it.
      switch (wparam & 0xFFF0) {
        case SC_SIZE:
        case SC_MINIMIZE:
        case SC_MAXIMIZE:
          return 0;
      }
      break;
    case WM_ACTIVATE:
      // Give the focus back to the control that had it, as dialogs do.
      if (LOWORD(wparam) == WA_INACTIVE) {
        HWND focus = ::GetFocus();
        if (focus && ::IsChild(form, focus)) state->last_focus = focus;
      } else if (state->last_focus && !::IsIconic(form)) {
        ::SetFocus(state->last_focus);
      }
      return 0;
    case WM_DPICHANGED:
      try {
        OnDpiChanged(form, *state, HIWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
      } catch (const std::exception&) {
        // Keep the old font and layout: still usable, only the wrong size.
      }
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      ::SetWindowLongPtrW(form, GWLP_USERDATA, 0);
      delete state;
      break;
  }
  return ::DefWindowProcW(form, message, wparam, lparam);
}

void RegisterClassOnce(HINSTANCE instance, const wchar_t* name, WNDPROC proc) {
  WNDCLASSEXW window_class{};
  if (::GetClassInfoExW(instance, name, &window_class)) return;
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = proc;
  window_class.hInstance = instance;
  window_class.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = name;
  if (!::RegisterClassExW(&window_class)) ThrowLastError("RegisterClassEx");
}

}  // namespace

bool HandleFormKey(HWND form, const MSG& message) {
  // Enter on the focused DIAL! is a click; the dialog manager would turn it
  // into IDOK, which this window deliberately ignores. Auto-repeat does not
  // click again.
  const bool is_first_press = (message.lParam & 0x40000000) == 0;
  if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN && is_first_press &&
      message.hwnd == ::GetDlgItem(form, kCommand1)) {
    ::SendMessageW(message.hwnd, BM_CLICK, 0, 0);
    return true;
  }
  return false;
}

HWND CreateHiddenOwner(HINSTANCE instance) {
  RegisterClassOnce(instance, kOwnerClass, ::DefWindowProcW);
  HWND owner = ::CreateWindowExW(0, kOwnerClass, L"", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                                 instance, nullptr);
  if (!owner) ThrowLastError("CreateWindowEx (owner)");
  return owner;
}

HWND CreateForm1(HINSTANCE instance, HWND owner, ClickHandler on_click) {
  RegisterClassOnce(instance, kFormClass, FormProc);

  auto state = std::make_unique<FormState>();
  state->on_click = on_click;
  FormState& owned_state = *state;
  const std::wstring title(kForm1.title);
  // Sized for the owner's DPI, which is the form's unless the system puts it
  // on another monitor; corrected below if so.
  const UINT likely_dpi = DpiForWindow(owner);
  const SIZE client = ClientSize(likely_dpi);
  const SIZE size = WindowSizeForClient(client.cx, client.cy, kFormStyle, kFormExStyle, likely_dpi);
  // From WM_NCCREATE on, the window owns its state and deletes it at WM_NCDESTROY.
  UniqueWindow form(::CreateWindowExW(kFormExStyle, kFormClass, title.c_str(), kFormStyle,
                                      CW_USEDEFAULT, CW_USEDEFAULT, size.cx, size.cy, owner,
                                      nullptr, instance, state.release()));
  if (!form) ThrowLastError("CreateWindowEx (Form1)");

  const UINT dpi = DpiForWindow(form.get());
  SizeClientArea(form.get(), dpi, nullptr);
  TrimSystemMenu(form.get());
  UniqueFont font = CreateMessageFont(dpi);
  CreateControls(form.get(), instance, font.get(), dpi);
  owned_state.font = std::move(font);
  SetIcons(form.get(), owned_state, dpi);
  owned_state.last_focus = ::GetDlgItem(form.get(), kCommand1);
  return form.release();
}
