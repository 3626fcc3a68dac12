#pragma once
// Runs a copy of Dialler.exe in a folder of its own and drives its window
// from outside, as a user (or a screen reader) would see it.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/handles_win.h"

struct SessionOptions {
  // Which zelnor.dll goes beside the exe: a folder under the fakes
  // ("recording", "no_entry", "x64"), "real" for the library we ship, or
  // empty for none.
  std::wstring library = L"recording";
  // A folder to start the program in; its own folder when empty.
  std::wstring working_directory;
};

// A session with the zelnor.dll we ship beside the exe.
inline SessionOptions WithRealLibrary() {
  SessionOptions options;
  options.library = L"real";
  return options;
}

// A session with no zelnor.dll anywhere the program looks.
inline SessionOptions WithoutLibrary() {
  SessionOptions options;
  options.library.clear();
  return options;
}

struct ProcessFigures {
  DWORD handles;
  SIZE_T private_bytes;
  DWORD threads;
};

class DiallerSession {
 public:
  explicit DiallerSession(SessionOptions options = {});
  ~DiallerSession();
  DiallerSession(const DiallerSession&) = delete;
  DiallerSession& operator=(const DiallerSession&) = delete;

  HWND form() const { return form_; }
  HWND control(int id) const;
  const std::wstring& folder() const { return folder_; }

  std::wstring Text(int id) const;
  void SetText(int id, const std::wstring& text) const;
  void SetCheck(int state) const;
  int CheckState() const;
  HWND Focus() const;

  // Clicks DIAL! and waits until the click has been handled. Returns the
  // text of the message box it raised (dismissed again), or empty.
  std::wstring Click() const;

  // Real keystrokes through the input queue, to the foreground window.
  void PressKey(WORD virtual_key, bool with_shift = false, bool with_alt = false) const;
  void WaitUntilIdle() const;

  // Every line the recording double wrote so far.
  std::vector<std::string> Log() const;
  int CountLog(const std::string& prefix) const;

  // Copies a zelnor.dll (as in SessionOptions::library) beside the exe.
  void InstallLibrary(const std::wstring& library) const;

  ProcessFigures Figures() const;
  bool HasMessageBox() const;

  // Closes the window with WM_CLOSE (or the given system command) and
  // returns the exit code; fails the test when it does not end in time.
  DWORD Close(UINT message = WM_CLOSE, WPARAM wparam = 0, DWORD timeout_ms = 5000);
  DWORD WaitForExit(DWORD timeout_ms);

 private:
  HWND FindMessageBox() const;

  std::wstring folder_;
  std::wstring log_path_;
  UniqueKernelHandle process_;
  DWORD thread_id_ = 0;
  HWND form_ = nullptr;
};

// Folder of the real build output and of the test doubles (Wine paths).
std::wstring BinFolder();
std::wstring FakesFolder();
