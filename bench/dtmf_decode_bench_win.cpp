// dtmf --decode and dtmf --mask as whole processes on a 4-hour 8 kHz WAV
// file: how many times faster than real time each goes, the CPU --mask
// takes against --decode's, and their peak private memory, which must stay
// flat in the length of the file.
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
  double cpu_seconds = 0;  // user and kernel
  SIZE_T peak_private = 0;
  DWORD exit_code = 0;
};

double Seconds(const FILETIME& time) {
  return static_cast<double>((static_cast<uint64_t>(time.dwHighDateTime) << 32) |
                             time.dwLowDateTime) /
         1e7;
}

// dtmf.exe with `arguments`, its output to `output`; private bytes sampled
// as it runs, since a finished process's counters are gone under Wine.
Run RunDtmf(const std::wstring& arguments, const std::wstring& output) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  const UniqueKernelHandle out(::CreateFileW(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                             &inherit, CREATE_ALWAYS, 0, nullptr));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = out.get();
  startup.hStdError = out.get();
  std::wstring command = L"dtmf.exe " + arguments;
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
  FILETIME created, exited, kernel, user;
  if (::GetProcessTimes(process.hProcess, &created, &exited, &kernel, &user)) {
    run.cpu_seconds = Seconds(kernel) + Seconds(user);
  }
  ::GetExitCodeProcess(process.hProcess, &run.exit_code);
  return run;
}

// The median of `kRuns` runs by wall time, with the highest memory of any.
Run Median(const std::wstring& arguments, const std::wstring& output) {
  std::vector<Run> runs;
  for (int i = 0; i < kRuns; ++i) runs.push_back(RunDtmf(arguments, output));
  std::sort(runs.begin(), runs.end(),
            [](const Run& a, const Run& b) { return a.seconds < b.seconds; });
  Run median = runs[kRuns / 2];
  for (const Run& run : runs) median.peak_private = std::max(median.peak_private, run.peak_private);
  return median;
}

// What dtmf printed into `output`.
std::string Printed(const std::wstring& output) {
  std::string text(1 << 16, '\0');
  const UniqueKernelHandle in(::CreateFileW(output.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
  DWORD read = 0;
  ::ReadFile(in.get(), text.data(), static_cast<DWORD>(text.size()), &read, nullptr);
  text.resize(read);
  return text;
}

void Print(const char* what, const Run& run, double audio_seconds, const char* result) {
  std::printf(
      "  %-8s %.2f s wall, %.2f s CPU, %.0f x real time, peak private %.1f MB, exit %lu, %s\n",
      what, run.seconds, run.cpu_seconds, audio_seconds / run.seconds,
      static_cast<double>(run.peak_private) / (1024.0 * 1024.0), run.exit_code, result);
}

}  // namespace

int wmain() {
  const std::wstring wav = TemporaryPath(L"dtmf-decode-bench.wav");
  const std::wstring masked = TemporaryPath(L"dtmf-decode-bench-masked.wav");
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
  const std::wstring quoted = L"\"" + wav + L"\"";
  const Run decode = Median(L"--decode " + quoted, output);
  const bool exact = Printed(output) == dial + "\n";
  const Run mask = Median(L"--mask " + quoted + L" -o \"" + masked + L"\"", output);
  const std::string spans = Printed(output);
  const bool every_tone = std::count(spans.begin(), spans.end(), '\n') == kDigits;
  RunDtmf(L"--decode \"" + masked + L"\"", output);
  const bool silent = Printed(output) == "\n";
  std::printf("dtmf, %.1f h of 8 kHz 16-bit mono (%d digits), whole process, median of %d:\n",
              audio_seconds / 3600, kDigits, kRuns);
  Print("--decode", decode, audio_seconds, exact ? "digits exact" : "digits WRONG");
  Print("--mask", mask, audio_seconds,
        every_tone && silent ? "a span per tone, none heard after" : "spans WRONG");
  if (decode.cpu_seconds > 0) {
    std::printf("  --mask takes %.2f x the CPU of --decode\n",
                mask.cpu_seconds / decode.cpu_seconds);
  }
  ::DeleteFileW(wav.c_str());
  ::DeleteFileW(masked.c_str());
  ::DeleteFileW(output.c_str());
  return exact && every_tone && silent && decode.exit_code == 0 && mask.exit_code == 0 ? 0 : 1;
}
