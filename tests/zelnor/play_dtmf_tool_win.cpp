// Drives zelnor.dll from the command line for the capture tests and the
// benchmarks. Each argument group is one step:
//   play sync|async INTERVAL TEXT   TEXT as given, or hex:8341... for raw bytes
//   sleep MS
//   unload                          FreeLibrary the DLL
//   exit                            ExitProcess at once, mid-playback or not
// Prints one line per play: "result=N ms=T" (time the call took to return).

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/handles_win.h"
#include "zelnor/zelnor.h"

namespace {

using PlayDtmfFunction = ZelnorPlayDtmfFunction;

std::string Narrow(const wchar_t* text) {
  std::string out;
  for (; *text; ++text) out.push_back(static_cast<char>(*text));  // ASCII arguments only
  return out;
}

std::string DialBytes(const std::string& argument) {
  if (argument.rfind("hex:", 0) != 0) return argument;
  std::string bytes;
  for (size_t i = 4; i + 1 < argument.size(); i += 2) {
    bytes.push_back(static_cast<char>(std::strtoul(argument.substr(i, 2).c_str(), nullptr, 16)));
  }
  return bytes;
}

double NowMs() {
  LARGE_INTEGER frequency, counter;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&counter);
  return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  UniqueModule library(::LoadLibraryW(L"zelnor.dll"));
  if (!library) {
    std::fprintf(stderr, "cannot load zelnor.dll\n");
    return 2;
  }
  auto play = reinterpret_cast<PlayDtmfFunction>(
      reinterpret_cast<void*>(::GetProcAddress(library.get(), "PlayDTMF")));
  if (play == nullptr) {
    std::fprintf(stderr, "zelnor.dll exports no PlayDTMF\n");
    return 2;
  }
  for (int i = 1; i < argc; ++i) {
    const std::string step = Narrow(argv[i]);
    if (step == "play" && i + 3 < argc) {
      const bool async = Narrow(argv[i + 1]) == "async";
      const int interval = std::atoi(Narrow(argv[i + 2]).c_str());
      std::string dial = DialBytes(Narrow(argv[i + 3]));
      i += 3;
      const double start = NowMs();
      const int result = play(dial.c_str(), interval, async ? -1 : 0);
      const double elapsed = NowMs() - start;
      // The string is ours again: a library still reading it would now dial 9s.
      dial.assign(dial.size(), '9');
      std::printf("result=%d ms=%.3f\n", result, elapsed);
      std::fflush(stdout);
    } else if (step == "sleep" && i + 1 < argc) {
      ::Sleep(static_cast<DWORD>(std::atoi(Narrow(argv[++i]).c_str())));
    } else if (step == "unload") {
      library.reset();
    } else if (step == "exit") {
      std::fflush(stdout);
      ::ExitProcess(0);
    } else {
      std::fprintf(stderr, "unknown step %s\n", step.c_str());
      return 2;
    }
  }
  return 0;
}
