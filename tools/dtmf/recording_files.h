#pragma once
// The library's calls that take a path, with the tool's paths as typed
// (recording_files_win.cpp: the W forms; recording_files_posix.cpp: the
// UTF-8 A forms), and the dial in the text the library reads.

#include <string>
#include <string_view>

#include "zelnor.h"

namespace dtmf_tool {

// The dial as the library reads it: the ANSI code page on Windows (with no
// best fit, so a look-alike dials nothing), UTF-8 elsewhere.
std::string DialText(std::wstring_view dial);

// The characters the first `bytes` bytes of a DialText stand for.
size_t DialTextLength(const std::string& text, size_t bytes);

int WriteDialWave(const std::wstring& path, const std::string& dial, const ZelnorOptions& options);

int DecodeWaveFile(const std::wstring& path, const ZelnorReceiverOptions& options,
                   ZelnorWaveInfo& info);

int MaskWaveFile(const std::wstring& source, const std::wstring& target,
                 const ZelnorMaskerOptions& options, ZelnorWaveInfo& info);

// A file open for reading as ReadFromHandle (standard_streams.h) takes it,
// closed with this object.
class ReadingFile {
 public:
  explicit ReadingFile(const std::wstring& path);
  ~ReadingFile();
  ReadingFile(const ReadingFile&) = delete;
  ReadingFile& operator=(const ReadingFile&) = delete;

  // False, with the last system error set, when it could not be opened.
  [[nodiscard]] bool is_open() const;
  [[nodiscard]] void* handle() const { return handle_; }

 private:
  void* handle_;
};

// Writes the file's bytes to `handle` (as WriteToHandle takes it); false,
// with the last system error set, when it cannot.
using FillHandle = bool (*)(void* handle, void* context);

// Writes `path` all or nothing (common/whole_file_*.h): a temporary beside
// it, swapped in once whole. False with the last system error set.
bool WriteWholeFile(const std::wstring& path, FillHandle fill, void* context);

}  // namespace dtmf_tool
