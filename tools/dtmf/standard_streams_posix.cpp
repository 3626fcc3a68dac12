#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "common/write_all_posix.h"
#include "tools/dtmf/standard_streams.h"

namespace dtmf_tool {
namespace {

int Descriptor(void* handle) { return static_cast<int>(reinterpret_cast<intptr_t>(handle)); }

}  // namespace

void* StandardHandle(StandardStream stream) {
  switch (stream) {
    case StandardStream::kInput:
      return reinterpret_cast<void*>(intptr_t{STDIN_FILENO});
    case StandardStream::kOutput:
      return reinterpret_cast<void*>(intptr_t{STDOUT_FILENO});
    case StandardStream::kError:
      break;
  }
  return reinterpret_cast<void*>(intptr_t{STDERR_FILENO});
}

int32_t ZELNOR_CALL ReadFromHandle(void* handle, void* buffer, int32_t size) {
  for (;;) {
    const ssize_t read = ::read(Descriptor(handle), buffer, static_cast<size_t>(size));
    if (read >= 0) return static_cast<int32_t>(read);
    if (errno != EINTR) return -1;
  }
}

// Each run of the file's bytes straight on, so the file is never held whole.
int ZELNOR_CALL WriteToHandle(void* handle, const void* bytes, uint32_t count) {
  return WriteAll(Descriptor(handle), bytes, count) ? 1 : 0;
}

}  // namespace dtmf_tool
