#include "zelnor/wav_file_win.h"

#include <windows.h>

#include "common/handles_win.h"
#include "zelnor/wav_writer.h"
#include "zelnor/zelnor.h"
#include "zelnor/zelnor_error.h"

namespace zelnor {

int WriteWaveFile(const wchar_t* path, DtmfSequence& sequence) {
  if (sequence.TotalSamples() > kMaxWaveSamples) {
    throw ZelnorError(ZELNOR_E_INVALID_ARGUMENT, "too long for a WAV file");
  }
  UniqueKernelHandle file(::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return ZELNOR_E_FILE;
  const auto write = [&file](const uint8_t* bytes, size_t count) {
    DWORD written = 0;
    return ::WriteFile(file.get(), bytes, static_cast<DWORD>(count), &written, nullptr) &&
           written == count;
  };
  // A half-written file must not pass for a whole one.
  const auto discard = [&file, path] {
    const DWORD error = ::GetLastError();
    file.reset();
    ::DeleteFileW(path);
    ::SetLastError(error);
  };
  try {
    if (!WriteWave(sequence, write)) {
      discard();
      return ZELNOR_E_FILE;
    }
  } catch (...) {
    discard();
    throw;
  }
  return ZELNOR_OK;
}

}  // namespace zelnor
