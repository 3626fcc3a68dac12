// Drives zelnor.dll from the command line for the capture tests and the
// benchmarks. Each argument group is one step:
//   play sync|async INTERVAL TEXT   TEXT as given, or hex:8341... for raw bytes
//   progress INTERVAL TEXT          a synchronous PlayDTMFEx printing a line
//                                   "progress index=I symbol=C" per report
//   hold-progress MS                the next progress steps' first report
//                                   returns only after MS
//   sleep MS
//   unload                          FreeLibrary the DLL
//   exit                            ExitProcess at once, mid-playback or not
//   flood CALLS THREADS MAX         CALLS async plays of "123" at 40 ms spread
//                                   over THREADS threads, as fast as they go;
//                                   fails unless all return 0 and the DLL never
//                                   has more than MAX threads meanwhile
//   spin N                          N threads burning CPU until the process ends
// Prints one line per play: "result=N ms=T" (time the call took to return),
// and per flood: "flood failures=F peak_threads=P calls_per_s=R".

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "common/handles_win.h"
#include "tests/support/process_figures_win.h"
#include "zelnor.h"

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

DWORD g_hold_first_report_ms = 0;

void ZELNOR_CALL PrintProgress(void*, const ZelnorProgress* progress) {
  if (progress->symbol_index == 0) ::Sleep(g_hold_first_report_ms);
  std::printf("progress index=%llu symbol=%c\n",
              static_cast<unsigned long long>(progress->symbol_index),
              progress->symbol ? progress->symbol : '-');
  std::fflush(stdout);
}

struct FloodFigures {
  int failures = 0;
  DWORD peak_threads = 0;
  double calls_per_s = 0;
};

FloodFigures Flood(PlayDtmfFunction play, HMODULE library, int calls, int threads) {
  FloodFigures figures;
  std::atomic<int> failures{0};
  std::atomic<bool> done{false};
  std::thread watcher([&] {
    while (!done) figures.peak_threads = std::max(figures.peak_threads, ThreadsStartedIn(library));
  });
  const double start = NowMs();
  std::vector<std::thread> callers;
  for (int t = 0; t < threads; ++t) {
    callers.emplace_back([&, t] {
      for (int i = t; i < calls; i += threads) failures += play("123", 40, 1) != ZELNOR_OK;
    });
  }
  for (std::thread& caller : callers) caller.join();
  figures.calls_per_s = calls * 1000.0 / (NowMs() - start);
  done = true;
  watcher.join();
  figures.failures = failures;
  return figures;
}

void Spin(int threads) {
  for (int t = 0; t < threads; ++t) {
    std::thread([] {
      for (volatile unsigned n = 0;; n = n + 1) {
      }
    }).detach();
  }
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
  int status = 0;
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
    } else if (step == "progress" && i + 2 < argc) {
      const auto play_ex = reinterpret_cast<decltype(&PlayDTMFEx)>(
          reinterpret_cast<void*>(::GetProcAddress(library.get(), "PlayDTMFEx")));
      ZelnorOptions options = ZELNOR_OPTIONS_FOR_INTERVAL(std::atoi(Narrow(argv[i + 1]).c_str()));
      options.progress = &PrintProgress;
      const std::string dial = Narrow(argv[i + 2]);
      i += 2;
      std::printf("result=%d\n", play_ex ? play_ex(dial.c_str(), &options, 0) : -1);
      std::fflush(stdout);
    } else if (step == "hold-progress" && i + 1 < argc) {
      g_hold_first_report_ms = static_cast<DWORD>(std::atoi(Narrow(argv[++i]).c_str()));
    } else if (step == "sleep" && i + 1 < argc) {
      ::Sleep(static_cast<DWORD>(std::atoi(Narrow(argv[++i]).c_str())));
    } else if (step == "unload") {
      library.reset();
    } else if (step == "flood" && i + 3 < argc) {
      const int calls = std::atoi(Narrow(argv[i + 1]).c_str());
      const int threads = std::atoi(Narrow(argv[i + 2]).c_str());
      const DWORD most = static_cast<DWORD>(std::atoi(Narrow(argv[i + 3]).c_str()));
      i += 3;
      const FloodFigures figures = Flood(play, library.get(), calls, threads);
      std::printf("flood failures=%d peak_threads=%lu calls_per_s=%.0f\n", figures.failures,
                  static_cast<unsigned long>(figures.peak_threads), figures.calls_per_s);
      std::fflush(stdout);
      if (figures.failures != 0 || figures.peak_threads > most) status = 1;
    } else if (step == "spin" && i + 1 < argc) {
      Spin(std::atoi(Narrow(argv[++i]).c_str()));
    } else if (step == "exit") {
      std::fflush(stdout);
      ::ExitProcess(status);
    } else {
      std::fprintf(stderr, "unknown step %s\n", step.c_str());
      return 2;
    }
  }
  std::fflush(stdout);
  // Spinning threads would keep the process alive past the last step.
  ::ExitProcess(status);
}
