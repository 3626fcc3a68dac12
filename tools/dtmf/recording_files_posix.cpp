#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "common/whole_file_posix.h"
#include "tools/dtmf/recording_files.h"
#include "tools/dtmf/utf8_text.h"

namespace dtmf_tool {

std::string DialText(std::wstring_view dial) { return ToUtf8(dial); }

size_t DialTextLength(const std::string& text, size_t bytes) {
  // In UTF-16 code units, as the tool holds text.
  const std::string_view counted(text.data(), std::min(bytes, text.size()));
  size_t units = 0;
  for (size_t at = 0; at < counted.size();) {
    const Utf8Character character = ReadUtf8(counted, at);
    units += character.length > 0 && character.code_point > 0xFFFF ? 2 : 1;
    at += std::max<size_t>(character.length, 1);
  }
  return units;
}

int WriteDialWave(const std::wstring& path, const std::string& dial, const ZelnorOptions& options) {
  return WriteDTMFWaveA(ToUtf8(path).c_str(), dial.c_str(), &options);
}

int DecodeWaveFile(const std::wstring& path, const ZelnorReceiverOptions& options,
                   ZelnorWaveInfo& info) {
  return DecodeDTMFWaveA(ToUtf8(path).c_str(), &options, &info);
}

int MaskWaveFile(const std::wstring& source, const std::wstring& target,
                 const ZelnorMaskerOptions& options, ZelnorWaveInfo& info) {
  return MaskDTMFWaveA(ToUtf8(source).c_str(), ToUtf8(target).c_str(), &options, &info);
}

namespace {

void* AsHandle(int fd) { return reinterpret_cast<void*>(intptr_t{fd}); }
int AsDescriptor(void* handle) { return static_cast<int>(reinterpret_cast<intptr_t>(handle)); }

}  // namespace

ReadingFile::ReadingFile(const std::wstring& path)
    : handle_(AsHandle(::open(ToUtf8(path).c_str(), O_RDONLY | O_CLOEXEC))) {}

ReadingFile::~ReadingFile() {
  if (is_open()) ::close(AsDescriptor(handle_));
}

bool ReadingFile::is_open() const { return AsDescriptor(handle_) >= 0; }

namespace {

struct Filling {
  FillHandle fill;
  void* context;
};

bool FillFromDescriptor(int fd, void* context) {
  const auto& filling = *static_cast<const Filling*>(context);
  return filling.fill(AsHandle(fd), filling.context);
}

}  // namespace

bool WriteWholeFile(const std::wstring& path, FillHandle fill, void* context) {
  Filling filling{fill, context};
  return ::WriteWholeFile(ToUtf8(path).c_str(), &FillFromDescriptor, &filling);
}

}  // namespace dtmf_tool
