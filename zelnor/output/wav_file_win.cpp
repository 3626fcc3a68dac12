#include "zelnor/output/wav_file_win.h"

#include <windows.h>

#include "common/handles_win.h"
#include "zelnor.h"
#include "zelnor/output/wav_writer.h"

namespace zelnor {
namespace {

class FileSink final : public ByteSink {
 public:
  explicit FileSink(HANDLE file) : file_(file) {}
  bool Write(const uint8_t* bytes, size_t count) override {
    DWORD written = 0;
    return ::WriteFile(file_, bytes, static_cast<DWORD>(count), &written, nullptr) &&
           written == count;
  }

 private:
  HANDLE file_;
};

}  // namespace

int WriteWaveFile(const wchar_t* path, DtmfSequence& sequence) {
  RequireWaveSize(sequence);  // before an existing file is emptied
  UniqueKernelHandle file(::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return ZELNOR_E_FILE;
  FileSink sink(file.get());
  // A half-written file must not pass for a whole one.
  const auto discard = [&file, path] {
    const DWORD error = ::GetLastError();
    file.reset();
    ::DeleteFileW(path);
    ::SetLastError(error);
  };
  try {
    if (!WriteWave(sequence, sink)) {
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
