#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>
#include <utility>

// Runs on the window's thread for each click of Command1. It may throw; the
// window shows the failure and carries on.
using ClickHandler = void (*)(HWND form);

// What a click handler throws for a failure the user can mend: the text to
// show and the control to focus so they can mend it (0 for none).
class ClickFailure : public std::runtime_error {
 public:
  ClickFailure(std::wstring message, int focus_control)
      : std::runtime_error("click failure"),
        message_(std::move(message)),
        focus_control_(focus_control) {}

  const std::wstring& message() const noexcept { return message_; }
  int focus_control() const noexcept { return focus_control_; }

 private:
  std::wstring message_;
  int focus_control_;
};

// Builds Form1 from its layout table, hidden, owned by `owner` (a hidden
// window, so Form1 gets no taskbar button). Throws std::system_error.
HWND CreateForm1(HINSTANCE instance, HWND owner, ClickHandler on_click);

// A hidden top-level window to own Form1.
HWND CreateHiddenOwner(HINSTANCE instance);

// Keys the window handles before the dialog manager sees them. Returns true
// when the message was consumed.
bool HandleFormKey(HWND form, const MSG& message);
