// dtmf --decode as a whole process on a 4-hour 8 kHz WAV file: how many
// times faster than real time it hears it, and its peak private memory,
// which must stay flat in the length of the file.
//
// Run from the folder holding dtmf.exe and zelnor.dll (bench/run_benchmarks.sh
// does). The WAV is written by the library itself: 720 digits, 10 s tones
// and 10 s gaps.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "common/handles_win.h"
#include "tests/support/process_figures_win.h"
#include "zelnor.h"

namespace {

constexpr int kRuns = 3;
constexpr int kDigits = 720;
constexpr uint32_t kRate = 8000;

double NowSeconds() {
  LARGE_INTEGER frequency, counter;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::wstring TemporaryPath(const wchar_t* name) {
  wchar_t folder[MAX_PATH];
  ::GetTempPathW(MAX_PATH, folder);
  return std::wstring(folder) + name;
}

struct Run {
  double seconds = 0;
  SIZE_T peak_private = 0;
  DWORD exit_code = 0;
};

// dtmf.exe --decode `wav`, its output to `output`; private bytes sampled
// as it runs, since a finished process's counters are gone under Wine.
Run Decode(const std::wstring& wav, const std::wstring& output) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  const UniqueKernelHandle out(::CreateFileW(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                             &inherit, CREATE_ALWAYS, 0, nullptr));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = out.get();
  startup.hStdError = out.get();
  std::wstring command = L"dtmf.exe --decode \"" + wav + L"\"";
  PROCESS_INFORMATION process{};
  Run run;
  const double start = NowSeconds();
  if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &process)) {
    std::fprintf(stderr, "cannot start dtmf.exe (error %lu)\n", ::GetLastError());
    std::exit(1);
  }
  const UniqueKernelHandle process_handle(process.hProcess);
  const UniqueKernelHandle thread_handle(process.hThread);
  while (::WaitForSingleObject(process.hProcess, 5) == WAIT_TIMEOUT) {
    run.peak_private = std::max(run.peak_private, PrivateBytes(process.hProcess));
  }
  run.seconds = NowSeconds() - start;
  ::GetExitCodeProcess(process.hProcess, &run.exit_code);
  return run;
}

}  // namespace

int wmain() {
  const std::wstring wav = TemporaryPath(L"dtmf-decode-bench.wav");
  const std::wstring output = TemporaryPath(L"dtmf-decode-bench.txt");
  std::string dial;
  const char keys[] = "0123456789ABCD*#";
  for (int i = 0; i < kDigits; ++i) dial += keys[i % 16];
  ZelnorOptions options = ZELNOR_OPTIONS_FOR_INTERVAL(ZELNOR_MAX_INTERVAL_MS);
  options.sample_rate = kRate;
  if (WriteDTMFWaveW(wav.c_str(), dial.c_str(), &options) != ZELNOR_OK) {
    std::fprintf(stderr, "cannot write the WAV file\n");
    return 1;
  }
  const double audio_seconds = kDigits * 2.0 * ZELNOR_MAX_INTERVAL_MS / 1000.0;
  std::vector<Run> runs;
  for (int i = 0; i < kRuns; ++i) runs.push_back(Decode(wav, output));
  std::sort(runs.begin(), runs.end(),
            [](const Run& a, const Run& b) { return a.seconds < b.seconds; });
  const Run& median = runs[kRuns / 2];
  SIZE_T peak = 0;
  for (const Run& run : runs) peak = std::max(peak, run.peak_private);
  // What it heard: every digit, in order, on one line.
  std::string heard(static_cast<size_t>(kDigits) + 16, '\0');
  {
    const UniqueKernelHandle in(::CreateFileW(output.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                              nullptr, OPEN_EXISTING, 0, nullptr));
    DWORD read = 0;
    ::ReadFile(in.get(), heard.data(), static_cast<DWORD>(heard.size()), &read, nullptr);
    heard.resize(read);
  }
  const bool exact = heard == dial + "\n";
  std::printf(
      "dtmf --decode, %.1f h of 8 kHz 16-bit mono (%d digits), whole process, median of %d:\n",
      audio_seconds / 3600, kDigits, kRuns);
  std::printf("  %.2f s, %.0f x real time, peak private %.1f MB, exit %lu, digits %s\n",
              median.seconds, audio_seconds / median.seconds,
              static_cast<double>(peak) / (1024.0 * 1024.0), median.exit_code,
              exact ? "exact" : "WRONG");
  ::DeleteFileW(wav.c_str());
  ::DeleteFileW(output.c_str());
  return exact && median.exit_code == 0 ? 0 : 1;
}
