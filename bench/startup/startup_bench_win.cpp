// Start-up time: from CreateProcess to the program's window being visible,
// over repeated runs, Dialler.exe against a minimal Win32 window program.
//
//   startup_bench.exe RUNS DIALLER_EXE MINIMAL_EXE
// prints one line per program with the median and the ratio.

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
  if (::WaitForSingleObject(info.hProcess, 5000) == WAIT_TIMEOUT) ::TerminateProcess(info.hProcess, 1);
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
  if (argc != 4) {
    std::fprintf(stderr, "usage: startup_bench RUNS DIALLER_EXE MINIMAL_EXE\n");
    return 2;
  }
  const int runs = _wtoi(argv[1]);
  std::vector<double> dialler, minimal;
  TimeOneStart(argv[2], L"Dialler Sample");  // warm the file cache once each
  TimeOneStart(argv[3], L"Minimal Window");
  for (int i = 0; i < runs; ++i) {  // interleaved, so drift hits both alike
    dialler.push_back(TimeOneStart(argv[2], L"Dialler Sample"));
    minimal.push_back(TimeOneStart(argv[3], L"Minimal Window"));
  }
  const double d = Median(dialler), m = Median(minimal);
  std::printf("startup_dialler_median_ms %.1f\n", d);
  std::printf("startup_minimal_median_ms %.1f\n", m);
  std::printf("startup_ratio %.2f\n", m > 0 ? d / m : 0.0);
  return 0;
}
