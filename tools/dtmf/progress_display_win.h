#pragma once
// How far a playback has got, on standard error: on a console one line
// updated in place, elsewhere a line per symbol.

#include <windows.h>

#include <cstddef>
#include <mutex>
#include <string>

#include "zelnor.h"

namespace dtmf_tool {

// The display for one dial, fed by PlayDTMFEx's progress callback.
class ProgressDisplay {
 public:
  // `dial`: the whole dial as the user gave it, waits included.
  explicit ProgressDisplay(std::wstring dial);
  ProgressDisplay(const ProgressDisplay&) = delete;
  ProgressDisplay& operator=(const ProgressDisplay&) = delete;

  // Points `options`' progress callback here for one part of the dial:
  // `part` is the ANSI text handed to the library (kept alive by the
  // caller while it plays), `part_start` where it starts in the dial.
  void Follow(ZelnorOptions& options, const std::string& part, size_t part_start);

  // Ends the line updated in place, once the library has returned.
  void EndLine();

 private:
  static void ZELNOR_CALL OnProgress(void* context, const ZelnorProgress* progress);
  void Show(size_t sounded);

  const std::wstring dial_;
  const size_t width_;  // the console's columns, 0 elsewhere
  const bool on_console_;
  // Set before a part plays, read on the library's player thread.
  const std::string* part_ = nullptr;
  size_t part_start_ = 0;
  std::mutex mutex_;  // the line state against a late callback
  bool line_open_ = false;
};

}  // namespace dtmf_tool
