#include "tools/dtmf/progress_line.h"

#include <algorithm>

namespace dtmf_tool {
namespace {

// A line break or tab read from standard input would break the line.
std::wstring Printable(std::wstring_view text) {
  std::wstring printable(text);
  std::replace_if(
      printable.begin(), printable.end(), [](wchar_t c) { return c < L' '; }, L' ');
  return printable;
}

}  // namespace

std::wstring ProgressLine(std::wstring_view dial, size_t sounded, size_t width) {
  sounded = std::min(sounded, dial.size());
  std::wstring line =
      L"[" + Printable(dial.substr(0, sounded)) + L"]" + Printable(dial.substr(sounded));
  constexpr std::wstring_view kCut = L"...";
  const size_t room = width > 0 ? width - 1 : line.size();
  if (line.size() <= room || room <= 2 * kCut.size()) return line;
  // The newest symbols two thirds of the way along, the next ones after.
  const size_t marked_end = sounded + 2;
  size_t begin = marked_end > room * 2 / 3 ? marked_end - room * 2 / 3 : 0;
  begin = std::min(begin, line.size() - room);
  const bool cut_at_end = begin + room < line.size();
  line = line.substr(begin, room);
  if (begin > 0) line.replace(0, kCut.size(), kCut);
  if (cut_at_end) line.replace(room - kCut.size(), kCut.size(), kCut);
  return line;
}

}  // namespace dtmf_tool
