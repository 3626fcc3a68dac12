#include <windows.h>

#include "common/write_all_win.h"
#include "tools/dtmf/standard_streams.h"

namespace dtmf_tool {

void* StandardHandle(StandardStream stream) {
  switch (stream) {
    case StandardStream::kInput:
      return ::GetStdHandle(STD_INPUT_HANDLE);
    case StandardStream::kOutput:
      return ::GetStdHandle(STD_OUTPUT_HANDLE);
    case StandardStream::kError:
      break;
  }
  return ::GetStdHandle(STD_ERROR_HANDLE);
}

int32_t ZELNOR_CALL ReadFromHandle(void* handle, void* buffer, int32_t size) {
  DWORD read = 0;
  if (::ReadFile(static_cast<HANDLE>(handle), buffer, static_cast<DWORD>(size), &read, nullptr)) {
    return static_cast<int32_t>(read);
  }
  return ::GetLastError() == ERROR_BROKEN_PIPE ? 0 : -1;
}

// Each run of the file's bytes straight on, so the file is never held whole.
int ZELNOR_CALL WriteToHandle(void* handle, const void* bytes, uint32_t count) {
  return WriteAll(static_cast<HANDLE>(handle), bytes, count) ? 1 : 0;
}

}  // namespace dtmf_tool
