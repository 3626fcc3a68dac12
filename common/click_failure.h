#pragma once
// A failure the click handler hands back to the window: the text to show the
// user and the control that should get the focus so they can mend it.

#include <stdexcept>
#include <string>

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
