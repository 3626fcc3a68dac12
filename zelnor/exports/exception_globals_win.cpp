#include "zelnor/exports/exception_globals_win.h"

#include <windows.h>

#include <cstdlib>

namespace {

// The layout the runtime's throw and catch expect (Itanium C++ ABI 2.5.2).
struct ExceptionRecord {
  void* caught_exceptions;
  unsigned int uncaught_exceptions;
};

DWORD g_slot = TLS_OUT_OF_INDEXES;

// Keeps the thread's last error as it was: TlsGetValue clears it, and the
// runtime asks for the record as a catch ends, after a failing call has set
// the error its caller is to read.
class LastErrorKept {
 public:
  LastErrorKept() noexcept : error_(::GetLastError()) {}
  ~LastErrorKept() { ::SetLastError(error_); }
  LastErrorKept(const LastErrorKept&) = delete;
  LastErrorKept& operator=(const LastErrorKept&) = delete;

 private:
  DWORD error_;
};

ExceptionRecord* ThreadRecord() noexcept {
  const LastErrorKept kept;
  auto* record = static_cast<ExceptionRecord*>(::TlsGetValue(g_slot));
  if (record) return record;
  record = static_cast<ExceptionRecord*>(
      ::HeapAlloc(::GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(ExceptionRecord)));
  // The runtime's own version aborts as well: a throw cannot go on without it.
  if (!record || !::TlsSetValue(g_slot, record)) std::abort();
  return record;
}

}  // namespace

// Both are called by the runtime's throw, catch and rethrow; the fast form
// may be asked first, so both create the record.
extern "C" void* __cxa_get_globals() noexcept { return ThreadRecord(); }
extern "C" void* __cxa_get_globals_fast() noexcept { return ThreadRecord(); }

namespace zelnor {

bool AllocateExceptionSlot() noexcept {
  g_slot = ::TlsAlloc();
  return g_slot != TLS_OUT_OF_INDEXES;
}

void FreeExceptionSlot() noexcept {
  ReleaseThreadExceptionRecord();
  ::TlsFree(g_slot);
  g_slot = TLS_OUT_OF_INDEXES;
}

void ReleaseThreadExceptionRecord() noexcept {
  if (g_slot == TLS_OUT_OF_INDEXES) return;
  const LastErrorKept kept;
  auto* record = static_cast<ExceptionRecord*>(::TlsGetValue(g_slot));
  if (!record || record->caught_exceptions || record->uncaught_exceptions) return;
  ::TlsSetValue(g_slot, nullptr);
  ::HeapFree(::GetProcessHeap(), 0, record);
}

}  // namespace zelnor
