// A recording stand-in for zelnor.dll: it plays nothing and appends what it
// receives to the file named by DIALLER_FAKE_LOG, one line per event:
//   load <path of this DLL>
//   call <dial bytes in hex> <interval> <async>
// With DIALLER_FAKE_BLOCK_MS set, a synchronous call blocks that long.
// A compile-time switch leaves PlayDTMF out, to test a library without it.

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void AppendToLog(const std::string& line) {
  char path[MAX_PATH];
  const DWORD length = ::GetEnvironmentVariableA("DIALLER_FAKE_LOG", path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  if (FILE* log = std::fopen(path, "ab")) {
    std::fwrite(line.data(), 1, line.size(), log);
    std::fclose(log);
  }
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    char path[MAX_PATH] = "";
    ::GetModuleFileNameA(instance, path, MAX_PATH);
    AppendToLog(std::string("load ") + path + "\n");
  }
  return TRUE;
}

#ifndef FAKE_WITHOUT_ENTRY
extern "C" int __stdcall PlayDTMF(const char* dial, std::int32_t interval_ms, std::int32_t async) {
  std::string line = "call ";
  for (const char* p = dial; *p; ++p) {
    char hex[3];
    std::snprintf(hex, sizeof(hex), "%02X", static_cast<unsigned char>(*p));
    line += hex;
  }
  if (!*dial) line += "-";
  line += " " + std::to_string(interval_ms) + " " + std::to_string(async) + "\n";
  AppendToLog(line);
  // Stands in for a synchronous play of that many milliseconds.
  char block[16];
  if (async == 0 && ::GetEnvironmentVariableA("DIALLER_FAKE_BLOCK_MS", block, sizeof(block))) {
    ::Sleep(static_cast<DWORD>(std::atoi(block)));
  }
  return 0;
}
#endif
