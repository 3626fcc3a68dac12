#pragma once
// What a process costs, as the tests and benchmarks measure it: its private
// bytes and its threads (all of them, or those a DLL started without being
// asked).

#include <windows.h>

#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>

#include "common/handles_win.h"

// Windows reports the commit charge as both PrivateUsage and PagefileUsage;
// Wine fills in only the latter.
inline SIZE_T PrivateBytes(HANDLE process) {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  ::GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof counters);
  return std::max(counters.PrivateUsage, counters.PagefileUsage);
}

// Calls visit(thread_id) for each thread of process `process_id`.
template <typename Visit>
void ForEachThreadOf(DWORD process_id, Visit visit) {
  const UniqueKernelHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
  if (!snapshot) return;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = ::Thread32First(snapshot.get(), &entry); more;
       more = ::Thread32Next(snapshot.get(), &entry)) {
    if (entry.th32OwnerProcessID == process_id) visit(entry.th32ThreadID);
  }
}

inline DWORD CountThreads(DWORD process_id) {
  DWORD count = 0;
  ForEachThreadOf(process_id, [&count](DWORD) { ++count; });
  return count;
}

// This process's threads whose start address lies inside `module`'s image.
inline DWORD ThreadsStartedIn(HMODULE module) {
  using QueryThread = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
  constexpr int kThreadQuerySetWin32StartAddress = 9;
  static const auto query = reinterpret_cast<QueryThread>(reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationThread")));
  const auto* base = reinterpret_cast<const BYTE*>(module);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
      base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const BYTE* end = base + nt->OptionalHeader.SizeOfImage;

  DWORD count = 0;
  ForEachThreadOf(::GetCurrentProcessId(), [&](DWORD thread_id) {
    const UniqueKernelHandle thread(::OpenThread(THREAD_QUERY_INFORMATION, FALSE, thread_id));
    const BYTE* start = nullptr;
    if (thread && query &&
        query(thread.get(), kThreadQuerySetWin32StartAddress, &start, sizeof start, nullptr) == 0) {
      count += start >= base && start < end;
    }
  });
  return count;
}
