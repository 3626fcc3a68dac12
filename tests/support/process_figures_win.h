#pragma once
// How many of this process's threads a DLL started: those whose start
// address lies inside its image. Counts threads a library creates without
// asking it, for its tests and benchmarks.

#include <windows.h>

#include <tlhelp32.h>

#include "common/handles_win.h"

inline DWORD ThreadsStartedIn(HMODULE module) {
  using QueryThread = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
  constexpr int kThreadQuerySetWin32StartAddress = 9;
  static const auto query = reinterpret_cast<QueryThread>(reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationThread")));
  const auto* base = reinterpret_cast<const BYTE*>(module);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
      base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const BYTE* end = base + nt->OptionalHeader.SizeOfImage;

  const UniqueKernelHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  DWORD count = 0;
  for (BOOL more = ::Thread32First(snapshot.get(), &entry); more;
       more = ::Thread32Next(snapshot.get(), &entry)) {
    if (entry.th32OwnerProcessID != ::GetCurrentProcessId()) continue;
    const UniqueKernelHandle thread(
        ::OpenThread(THREAD_QUERY_INFORMATION, FALSE, entry.th32ThreadID));
    const BYTE* start = nullptr;
    if (thread && query &&
        query(thread.get(), kThreadQuerySetWin32StartAddress, &start, sizeof start, nullptr) == 0) {
      count += start >= base && start < end;
    }
  }
  return count;
}
