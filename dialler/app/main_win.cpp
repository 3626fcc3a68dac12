// Dialler: builds Form1, shows it and runs the event loop until it closes.

#include <windows.h>

#include <commctrl.h>

#include <exception>
#include <string>

#include "common/ansi_text_win.h"
#include "common/handles_win.h"
#include "dialler/dial/dial_command_win.h"
#include "dialler/tone/dll_search_win.h"
#include "dialler/window/form_layout.h"
#include "dialler/window/form_window_win.h"

namespace {

int RunEventLoop(HWND form) {
  MSG message{};
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (HandleFormKey(form, message)) continue;
    // Tab, Shift+Tab and arrow keys move the focus as in a dialog.
    if (::IsDialogMessageW(form, &message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

int Run(HINSTANCE instance, int show) {
  RemoveCurrentDirectoryFromDllSearch();

  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);

  UniqueWindow owner(CreateHiddenOwner(instance));
  HWND form = CreateForm1(instance, owner.get(), RunDialCommand);
  ::ShowWindow(form, show == SW_SHOWDEFAULT ? SW_SHOWNORMAL : show);
  ::UpdateWindow(form);
  return RunEventLoop(form);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  try {
    return Run(instance, show);
  } catch (const std::exception& failure) {
    // The window could not be built: say why, with no window to own the box.
    const std::wstring title(kForm1.title);
    ::MessageBoxW(nullptr, FromAnsiCodePage(failure.what()).c_str(), title.c_str(),
                  MB_OK | MB_ICONERROR);
    return 1;
  }
}
