#pragma once
// How far a playback has got, on standard error: on a console one line
// updated in place, elsewhere a line per symbol. A thread of its own does
// the writing, so a standard error that blocks (a full pipe, a console
// selection) never holds up the dial.

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <mutex>
#include <string>
#include <thread>

#include "zelnor.h"

namespace dtmf_tool {

// The display for one dial, fed by PlayDTMFEx's progress callback.
class ProgressDisplay {
 public:
  // `dial`: the whole dial as the user gave it, waits included.
  explicit ProgressDisplay(std::wstring dial);
  ProgressDisplay(const ProgressDisplay&) = delete;
  ProgressDisplay& operator=(const ProgressDisplay&) = delete;
  // Writes what is still queued, then lets its thread go.
  ~ProgressDisplay();

  // Points `options`' progress callback here for one part of the dial:
  // `part` is its DialText (recording_files.h) handed to the library,
  // `part_start` where it starts in the dial. Only between playbacks.
  void Follow(ZelnorOptions& options, std::string part, size_t part_start);

  // Once the library has returned: waits for every line to be written and
  // ends the line updated in place. Rethrows a failure to write.
  void EndLine();

 private:
  static void ZELNOR_CALL OnProgress(void* context, const ZelnorProgress* progress);
  // The writing thread's loop.
  void WriteLines();
  // Writes the lines for these sounded counts, without the lock.
  void Show(const std::deque<size_t>& sounded);

  const std::wstring dial_;
  const size_t width_;  // the console's columns, 0 elsewhere
  const bool on_console_;
  std::string part_;  // set only between playbacks
  size_t part_start_ = 0;

  std::mutex mutex_;
  std::condition_variable changed_;
  // Guarded by mutex_: what is still to be written, and the writer's state.
  std::deque<size_t> queued_;  // sounded counts, oldest first
  bool writing_ = false;
  bool end_line_ = false;  // asked to end the line in place
  bool line_open_ = false;
  bool closing_ = false;
  std::exception_ptr failure_;  // a write that failed; nothing is written after it
  std::thread writer_;          // started by the first Follow
};

}  // namespace dtmf_tool
