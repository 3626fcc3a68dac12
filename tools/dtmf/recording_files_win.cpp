#include <windows.h>

#include "common/ansi_text_win.h"
#include "common/whole_file_win.h"
#include "tools/dtmf/recording_files.h"

namespace dtmf_tool {

std::string DialText(std::wstring_view dial) { return ToAnsiCodePage(dial); }

size_t DialTextLength(const std::string& text, size_t bytes) {
  if (bytes == 0) return 0;
  const int length =
      ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(bytes), nullptr, 0);
  return length > 0 ? static_cast<size_t>(length) : 0;
}

int WriteDialWave(const std::wstring& path, const std::string& dial, const ZelnorOptions& options) {
  return WriteDTMFWaveW(path.c_str(), dial.c_str(), &options);
}

int DecodeWaveFile(const std::wstring& path, const ZelnorReceiverOptions& options,
                   ZelnorWaveInfo& info) {
  return DecodeDTMFWaveW(path.c_str(), &options, &info);
}

int MaskWaveFile(const std::wstring& source, const std::wstring& target,
                 const ZelnorMaskerOptions& options, ZelnorWaveInfo& info) {
  return MaskDTMFWaveW(source.c_str(), target.c_str(), &options, &info);
}

ReadingFile::ReadingFile(const std::wstring& path)
    : handle_(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr)) {}

ReadingFile::~ReadingFile() {
  if (is_open()) ::CloseHandle(handle_);
}

bool ReadingFile::is_open() const { return handle_ != INVALID_HANDLE_VALUE; }

bool WriteWholeFile(const std::wstring& path, FillHandle fill, void* context) {
  // A HANDLE is the void* FillHandle takes.
  return ::WriteWholeFile(path.c_str(), fill, context);
}

}  // namespace dtmf_tool
