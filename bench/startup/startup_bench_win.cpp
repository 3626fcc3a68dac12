// Start-up time: from CreateProcess to the program's window being visible,
// over repeated runs, Dialler.exe against a minimal Win32 window program,
// plain and with Dialler's manifest and common controls 6 loaded.
//
//   startup_bench.exe [RUNS DIALLER_EXE MINIMAL_EXE]
// (by default 30 runs of the programs beside it) prints the medians and the
// median of the per-round ratios.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Search {
  DWORD process_id;
  const wchar_t* title;
  HWND found;
};

BOOL CALLBACK FindVisible(HWND window, LPARAM param) {
  auto& search = *reinterpret_cast<Search*>(param);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(window, &pid);
  wchar_t title[64] = L"";
  ::GetWindowTextW(window, title, 64);
  if (pid == search.process_id && ::IsWindowVisible(window) && wcscmp(title, search.title) == 0) {
    search.found = window;
    return FALSE;
  }
  return TRUE;
}

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
  LARGE_INTEGER frequency;
  ::QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Milliseconds until the window shows; negative when it never did.
double TimeOneStart(const std::wstring& exe, const wchar_t* title) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  std::wstring command = L"\"" + exe + L"\"";
  LARGE_INTEGER start, now;
  ::QueryPerformanceCounter(&start);
  if (!::CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
    return -1;
  }
  Search search{info.dwProcessId, title, nullptr};
  double elapsed = -1;
  for (;;) {
    ::EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&search));
    ::QueryPerformanceCounter(&now);
    if (search.found) {
      elapsed = Seconds(start, now) * 1000.0;
      break;
    }
    if (Seconds(start, now) > 20) break;
    ::Sleep(1);
  }
  if (search.found) ::PostMessageW(search.found, WM_CLOSE, 0, 0);
  if (::WaitForSingleObject(info.hProcess, 5000) == WAIT_TIMEOUT)
    ::TerminateProcess(info.hProcess, 1);
  ::CloseHandle(info.hThread);
  ::CloseHandle(info.hProcess);
  return elapsed;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 1 && argc != 4) {
    std::fprintf(stderr, "usage: startup_bench [RUNS DIALLER_EXE MINIMAL_EXE]\n");
    return 2;
  }
  const int runs = argc == 4 ? _wtoi(argv[1]) : 30;
  const std::wstring dialler_exe = argc == 4 ? argv[2] : L"Dialler.exe";
  const std::wstring minimal_exe = argc == 4 ? argv[3] : L"minimal_window.exe";
  // The same yardstick with Dialler's manifest, when it is there.
  const std::wstring minimal_v6_exe = argc == 4 ? L"" : L"minimal_window_v6.exe";
  const bool with_v6 = !minimal_v6_exe.empty() &&
                       ::GetFileAttributesW(minimal_v6_exe.c_str()) != INVALID_FILE_ATTRIBUTES;
  struct Program {
    std::wstring exe;
    const wchar_t* title;
    std::vector<double> times;
  };
  std::vector<Program> programs{{dialler_exe, L"Dialler Sample", {}},
                                {minimal_exe, L"Minimal Window", {}}};
  if (with_v6) programs.push_back({minimal_v6_exe, L"Minimal Window", {}});
  for (Program& program : programs) TimeOneStart(program.exe, program.title);  // warm the cache
  // Interleaved, so drift hits all alike, and each takes every place in the
  // round in turn, after a pause that lets the one before finish tearing
  // down: under Wine, whichever comes right after another's exit pays for it.
  for (int i = 0; i < runs; ++i) {
    for (size_t k = 0; k < programs.size(); ++k) {
      Program& program = programs[(static_cast<size_t>(i) + k) % programs.size()];
      ::Sleep(100);
      program.times.push_back(TimeOneStart(program.exe, program.title));
    }
  }
  // Each round's ratio, so a burst of load on this shared machine shifts
  // both sides of it; the median of those is the figure to go by.
  const auto ratio = [&programs, runs](size_t yardstick) {
    std::vector<double> ratios;
    for (int i = 0; i < runs; ++i) {
      const double base = programs[yardstick].times[static_cast<size_t>(i)];
      if (base > 0) ratios.push_back(programs[0].times[static_cast<size_t>(i)] / base);
    }
    return Median(ratios);
  };
  std::printf(
      "start-up to window shown, median of %d: Dialler.exe %.1f ms, minimal window %.1f ms, "
      "ratio %.2f\n",
      runs, Median(programs[0].times), Median(programs[1].times), ratio(1));
  if (with_v6) {
    std::printf(
        "  against a minimal window with the same manifest that loads common controls 6: "
        "%.1f ms, ratio %.2f (goal <= 1.1)\n",
        Median(programs[2].times), ratio(2));
  }
  return 0;
}
