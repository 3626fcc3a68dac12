#include "tools/dtmf/progress_display.h"

#include <algorithm>
#include <utility>

#include "tools/dtmf/console.h"
#include "tools/dtmf/progress_line.h"
#include "tools/dtmf/recording_files.h"

namespace dtmf_tool {

ProgressDisplay::ProgressDisplay(std::wstring dial)
    : dial_(std::move(dial)), width_(ErrorConsoleColumns()), on_console_(width_ > 0) {}

ProgressDisplay::~ProgressDisplay() {
  if (!writer_.joinable()) return;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    closing_ = true;
  }
  changed_.notify_all();
  writer_.join();
}

void ProgressDisplay::Follow(ZelnorOptions& options, std::string part, size_t part_start) {
  part_ = std::move(part);
  part_start_ = part_start;
  if (!writer_.joinable()) writer_ = std::thread([this] { WriteLines(); });
  options.progress = &ProgressDisplay::OnProgress;
  options.progress_context = this;
}

void ZELNOR_CALL ProgressDisplay::OnProgress(void* context, const ZelnorProgress* progress) {
  auto* display = static_cast<ProgressDisplay*>(context);
  const std::string& part = display->part_;
  const auto offset = static_cast<size_t>(progress->dial_offset);
  const bool at_end = progress->symbol == 0;
  if (at_end && !display->on_console_) return;  // the last symbol had its line
  // A symbol is one character, whatever its bytes.
  const size_t sounded = at_end ? DialTextLength(part, part.size())
                                : DialTextLength(part, std::min(offset, part.size())) + 1;
  try {
    const std::lock_guard<std::mutex> lock(display->mutex_);
    // On a console only the newest line is ever seen.
    if (display->on_console_) display->queued_.clear();
    display->queued_.push_back(display->part_start_ + sounded);
  } catch (const std::exception&) {
    return;  // out of memory for a number: the tones matter more than the display
  }
  display->changed_.notify_all();
}

void ProgressDisplay::WriteLines() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return !queued_.empty() || end_line_ || closing_; });
    if (queued_.empty() && !end_line_) return;  // closing, with all written
    std::deque<size_t> sounded;
    sounded.swap(queued_);
    const bool end_line = end_line_;
    const bool failed = failure_ != nullptr;
    bool line_open = line_open_ || (on_console_ && !sounded.empty());
    writing_ = true;
    lock.unlock();
    std::exception_ptr failure;
    try {
      if (!failed) Show(sounded);
      if (!failed && end_line && line_open) Print(StandardStream::kError, L"\n");
    } catch (...) {
      failure = std::current_exception();
    }
    if (end_line) line_open = false;
    lock.lock();
    if (failure) failure_ = failure;
    line_open_ = line_open;
    if (end_line) end_line_ = false;
    writing_ = false;
    changed_.notify_all();
  }
}

void ProgressDisplay::Show(const std::deque<size_t>& sounded) {
  for (const size_t count : sounded) {
    const std::wstring line = ProgressLine(dial_, count, width_);
    Print(StandardStream::kError, on_console_ ? L"\r" + line : line + L"\n");
  }
}

void ProgressDisplay::EndLine() {
  if (!writer_.joinable()) return;
  std::unique_lock<std::mutex> lock(mutex_);
  end_line_ = true;
  changed_.notify_all();
  changed_.wait(lock, [this] { return queued_.empty() && !end_line_ && !writing_; });
  if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
}

}  // namespace dtmf_tool
