// zelnor.dll under Wine: how long an asynchronous PlayDTMF takes to return
// for short and very long strings, how much memory a playback costs, how
// soon after the call the first block reaches waveOutWrite (seen by
// patching the DLL's import of it), how many superseding calls a second it
// takes and how many threads it has meanwhile, and how soon a stop gives the
// stopped copy back.

#include <windows.h>

#include <mmsystem.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <thread>
#include <vector>

#include "common/handles_win.h"
#include "tests/support/process_figures_win.h"
#include "zelnor.h"

namespace {

using PlayDtmfFunction = ZelnorPlayDtmfFunction;
using WaveOutWriteFunction = MMRESULT(WINAPI*)(HWAVEOUT, LPWAVEHDR, UINT);

double NowMs() {
  LARGE_INTEGER frequency, counter;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&counter);
  return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::atomic<double> g_first_write_ms{0};
WaveOutWriteFunction g_real_write = nullptr;

MMRESULT WINAPI RecordingWaveOutWrite(HWAVEOUT device, LPWAVEHDR header, UINT size) {
  double none = 0;
  g_first_write_ms.compare_exchange_strong(none, NowMs());
  return g_real_write(device, header, size);
}

// Points `module`'s import of dll!function at `replacement`.
bool PatchImport(HMODULE module, const char* dll, const char* function, void* replacement,
                 void** original) {
  auto* base = reinterpret_cast<BYTE*>(module);
  const auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(
      base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports =
      nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
       entry->Name; ++entry) {
    if (_stricmp(reinterpret_cast<char*>(base + entry->Name), dll) != 0) continue;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* by_name = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(by_name->Name), function) != 0) continue;
      DWORD old_protection = 0;
      ::VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE,
                       &old_protection);
      *original = reinterpret_cast<void*>(slots->u1.Function);
      slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
      ::VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, old_protection,
                       &old_protection);
      return true;
    }
  }
  return false;
}

// Private bytes. Windows reports them as both PrivateUsage and
// PagefileUsage; Wine fills in only the latter.
double PrivateMb() { return PrivateBytes(::GetCurrentProcess()) / (1024.0 * 1024.0); }

std::string Symbols(size_t count) {
  static const char kCycle[] = "0123456789ABCD*#";
  std::string dial(count, '0');
  for (size_t i = 0; i < count; ++i) dial[i] = kCycle[i % 16];
  return dial;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// The peak private bytes while a device is kept busy for a second: four
// 20 ms blocks requeued as they come back, as the player does.
double StreamingPeakMb() {
  WAVEFORMATEX format{WAVE_FORMAT_PCM, 1, 48000, 96000, 2, 16, 0};
  const UniqueKernelHandle done(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
  HWAVEOUT device = nullptr;
  if (::waveOutOpen(&device, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(done.get()), 0,
                    CALLBACK_EVENT) != MMSYSERR_NOERROR) {
    return 0;
  }
  std::vector<int16_t> samples(4 * 960);
  WAVEHDR headers[4] = {};
  for (int i = 0; i < 4; ++i) {
    headers[i].lpData = reinterpret_cast<LPSTR>(samples.data() + i * 960);
    headers[i].dwBufferLength = 960 * 2;
    ::waveOutPrepareHeader(device, &headers[i], sizeof headers[i]);
    ::waveOutWrite(device, &headers[i], sizeof headers[i]);
  }
  double peak = 0;
  for (const double start = NowMs(); NowMs() - start < 1000;) {
    ::WaitForSingleObject(done.get(), 100);
    for (WAVEHDR& header : headers) {
      if (header.dwFlags & WHDR_DONE) ::waveOutWrite(device, &header, sizeof header);
    }
    peak = std::max(peak, PrivateMb());
  }
  ::waveOutReset(device);
  for (WAVEHDR& header : headers) ::waveOutUnprepareHeader(device, &header, sizeof header);
  ::waveOutClose(device);
  return peak;
}

// What the same costs on a thread of its own, without zelnor: the floor
// that Wine's thread and audio stack set under any streaming player.
double StreamingThreadCostMb() {
  const double before = PrivateMb();
  double peak = 0;
  std::thread worker([&peak] { peak = StreamingPeakMb(); });
  worker.join();
  return peak - before;
}

// Milliseconds from the call to the first block queued; -1 if none came.
double FirstBlockMs(PlayDtmfFunction play) {
  g_first_write_ms = 0;
  const double start = NowMs();
  play("5", 40, -1);
  while (g_first_write_ms == 0 && NowMs() - start < 2000) ::Sleep(0);
  return g_first_write_ms == 0 ? -1 : g_first_write_ms - start;
}

// 10,000 asynchronous calls as fast as `threads` threads can make them, each
// superseding the last: calls per second, and the most threads zelnor.dll
// had meanwhile.
void RapidSupersedes(PlayDtmfFunction play, HMODULE library, int threads) {
  constexpr int kCalls = 10000;
  std::atomic<bool> done{false};
  DWORD peak_threads = 0;
  std::thread watcher([&] {
    while (!done) peak_threads = std::max(peak_threads, ThreadsStartedIn(library));
  });
  std::atomic<int> failures{0};
  const double start = NowMs();
  std::vector<std::thread> callers;
  for (int t = 0; t < threads; ++t) {
    callers.emplace_back([&, t] {
      for (int i = t; i < kCalls; i += threads) failures += play("123", 40, -1) != ZELNOR_OK;
    });
  }
  for (std::thread& caller : callers) caller.join();
  const double elapsed_ms = NowMs() - start;
  done = true;
  watcher.join();
  play("", 0, 0);
  std::printf(
      "10,000 superseding async calls from %d thread%s: %.0f calls/s, %d failed, "
      "zelnor threads at most %lu (goal <= 2)\n",
      threads, threads == 1 ? "" : "s", kCalls * 1000.0 / elapsed_ms, failures.load(),
      static_cast<unsigned long>(peak_threads));
}

// Milliseconds from an asynchronous stop until the private bytes of a
// 10,000,000-symbol playback's copy are given back.
double StopToFreedMs(PlayDtmfFunction play) {
  play("1", 40, 0);
  ::Sleep(200);
  const double idle = PrivateMb();
  {
    const std::string dial(10000000, '5');
    play(dial.c_str(), 40, -1);
  }
  ::Sleep(200);
  const double start = NowMs();
  play("", 0, -1);
  while (PrivateMb() > idle + 2 && NowMs() - start < 5000) ::Sleep(0);
  return NowMs() - start;
}

// In a process of its own: the first call's time to its first block, or
// the first asynchronous call's time to return.
constexpr wchar_t kFirstCallArgument[] = L"first-call";
constexpr wchar_t kFirstReturnArgument[] = L"first-return";

double FirstCallInFreshProcessMs(const wchar_t* argument) {
  wchar_t self[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring command = std::wstring(L"\"") + self + L"\" " + argument;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(self, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
    return -1;
  }
  const UniqueKernelHandle process_handle(process.hProcess);
  const UniqueKernelHandle thread_handle(process.hThread);
  ::WaitForSingleObject(process.hProcess, 30000);
  DWORD microseconds = 0;
  ::GetExitCodeProcess(process.hProcess, &microseconds);
  return microseconds / 1000.0;
}

// `what` for the first call right after loading, over 20 fresh processes.
void ReportFreshProcesses(const wchar_t* argument, const char* what, double goal_ms) {
  std::vector<double> figures;
  for (int i = 0; i < 20; ++i) figures.push_back(FirstCallInFreshProcessMs(argument));
  std::printf(
      "%s, first call right after loading, 20 processes: median %.3f ms, worst %.3f ms "
      "(goal <= %g)\n",
      what, Median(figures), *std::max_element(figures.begin(), figures.end()), goal_ms);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const bool first_call_only = argc > 1 && std::wcscmp(argv[1], kFirstCallArgument) == 0;
  if (argc > 1 && std::wcscmp(argv[1], kFirstReturnArgument) == 0) {
    UniqueModule library(::LoadLibraryW(L"zelnor.dll"));
    const auto play = reinterpret_cast<PlayDtmfFunction>(
        reinterpret_cast<void*>(::GetProcAddress(library.get(), "PlayDTMF")));
    if (!play) return 0;
    const double start = NowMs();
    play("5", 40, -1);
    return static_cast<int>((NowMs() - start) * 1000);
  }
  if (!first_call_only) {
    ReportFreshProcesses(kFirstReturnArgument, "first async call's return", 1.0);
    ReportFreshProcesses(kFirstCallArgument, "first block queued", 30.0);
  }

  UniqueModule library(::LoadLibraryW(L"zelnor.dll"));
  if (!library) return std::fprintf(stderr, "cannot load zelnor.dll\n"), 2;
  auto play = reinterpret_cast<PlayDtmfFunction>(
      reinterpret_cast<void*>(::GetProcAddress(library.get(), "PlayDTMF")));
  void* real_write = nullptr;
  if (!play || !PatchImport(library.get(), "winmm.dll", "waveOutWrite",
                            reinterpret_cast<void*>(&RecordingWaveOutWrite), &real_write)) {
    return std::fprintf(stderr, "zelnor.dll has no PlayDTMF or no waveOutWrite import\n"), 2;
  }
  g_real_write = reinterpret_cast<WaveOutWriteFunction>(real_write);

  const double first_ms = FirstBlockMs(play);
  if (first_call_only) return static_cast<int>(first_ms * 1000);
  play("", 0, 0);
  ::Sleep(200);
  std::vector<double> latencies;
  for (int i = 0; i < 20; ++i) {
    latencies.push_back(FirstBlockMs(play));
    play("", 0, 0);
  }
  std::printf("first block queued, later calls: median %.2f ms, worst %.2f ms (goal <= 30)\n",
              Median(latencies), *std::max_element(latencies.begin(), latencies.end()));

  ::Sleep(200);
  // Peak private bytes while playing `count` symbols asynchronously, above
  // the idle figure; the string itself is allocated after idle is taken.
  const auto playing_peak_mb = [&play](size_t count, double* string_mb) {
    ::Sleep(200);
    const double idle = PrivateMb();
    const std::string dial = Symbols(count);
    *string_mb = dial.size() / (1024.0 * 1024.0);
    play(dial.c_str(), 40, -1);
    double peak = 0;
    for (int i = 0; i < 20; ++i) {
      ::Sleep(100);
      peak = std::max(peak, PrivateMb());
    }
    play("", 0, 0);
    return peak - idle;
  };
  double short_string_mb = 0, string_mb = 0;
  const double short_mb = playing_peak_mb(10, &short_string_mb);
  const double long_mb = playing_peak_mb(1000000, &string_mb);
  std::printf(
      "private bytes while playing: 10 symbols +%.2f MB, 1,000,000 symbols +%.2f MB "
      "(goal <= 2 MB + the %.2f MB string)\n",
      short_mb, long_mb, string_mb);
  std::printf("  per symbol beyond the fixed cost: %.2f bytes, the caller's string included\n",
              (long_mb - short_mb) * 1024 * 1024 / 999990.0);
  std::printf(
      "  fixed cost of a playback: %.2f MB; of it, a bare thread streaming to waveOut "
      "without zelnor costs %.2f MB here\n",
      short_mb, StreamingThreadCostMb());
  for (size_t count : {size_t{10}, size_t{10000}, size_t{1000000}}) {
    const std::string dial = Symbols(count);
    std::vector<double> returns;
    for (int i = 0; i < 7; ++i) {
      const double start = NowMs();
      play(dial.c_str(), 40, -1);
      returns.push_back(NowMs() - start);
      play("", 0, 0);
    }
    std::printf("async call returns, %7zu symbols: median %.3f ms, worst %.3f ms%s\n", count,
                Median(returns), *std::max_element(returns.begin(), returns.end()),
                count == 10000 ? " (goal <= 1)" : "");
  }

  RapidSupersedes(play, library.get(), 1);
  RapidSupersedes(play, library.get(), 8);
  std::printf("stop to the stopped 10,000,000 symbols' copy freed: %.1f ms (goal <= 100)\n",
              StopToFreedMs(play));

  std::fflush(stdout);
  return 0;
}
