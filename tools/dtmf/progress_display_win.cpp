#include "tools/dtmf/progress_display_win.h"

#include <algorithm>

#include "tools/dtmf/console_win.h"
#include "tools/dtmf/progress_line.h"

namespace dtmf_tool {
namespace {

size_t ConsoleWidth() {
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (!::GetConsoleScreenBufferInfo(::GetStdHandle(STD_ERROR_HANDLE), &info)) return 0;
  return info.dwSize.X > 0 ? static_cast<size_t>(info.dwSize.X) : 0;
}

// Characters the first `bytes` bytes of ANSI `text` read as.
size_t WideLength(const std::string& text, size_t bytes) {
  if (bytes == 0) return 0;
  const int length =
      ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(bytes), nullptr, 0);
  return length > 0 ? static_cast<size_t>(length) : 0;
}

}  // namespace

ProgressDisplay::ProgressDisplay(std::wstring dial)
    : dial_(std::move(dial)), width_(ConsoleWidth()), on_console_(width_ > 0) {}

void ProgressDisplay::Follow(ZelnorOptions& options, const std::string& part, size_t part_start) {
  part_ = &part;
  part_start_ = part_start;
  options.progress = &ProgressDisplay::OnProgress;
  options.progress_context = this;
}

void ZELNOR_CALL ProgressDisplay::OnProgress(void* context, const ZelnorProgress* progress) {
  auto* display = static_cast<ProgressDisplay*>(context);
  const std::string& part = *display->part_;
  const auto offset = static_cast<size_t>(progress->dial_offset);
  const bool at_end = progress->symbol == 0;
  if (at_end && !display->on_console_) return;  // the last symbol had its line
  // A symbol is one character, whatever its bytes.
  const size_t sounded =
      at_end ? WideLength(part, part.size()) : WideLength(part, std::min(offset, part.size())) + 1;
  try {
    display->Show(display->part_start_ + sounded);
  } catch (const std::exception&) {
    // Out of memory for a line of text: the tones matter more than the display.
  }
}

void ProgressDisplay::Show(size_t sounded) {
  const std::wstring line = ProgressLine(dial_, sounded, width_);
  const std::lock_guard<std::mutex> lock(mutex_);
  if (!on_console_) {
    Print(STD_ERROR_HANDLE, line + L"\n");
    return;
  }
  Print(STD_ERROR_HANDLE, L"\r" + line);
  line_open_ = true;
}

void ProgressDisplay::EndLine() {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (line_open_) Print(STD_ERROR_HANDLE, L"\n");
  line_open_ = false;
}

}  // namespace dtmf_tool
