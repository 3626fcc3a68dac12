#include "tools/dtmf/dial_waits.h"

#include <algorithm>

#include "common/full_width.h"
#include "tools/dtmf/command_line.h"

namespace dtmf_tool {

bool IsWait(wchar_t c) { return FoldFullWidthForm(c) == L';'; }

void RefuseWaits(std::wstring_view dial, const std::wstring& why) {
  const auto wait = std::find_if(dial.begin(), dial.end(), IsWait);
  if (wait == dial.end()) return;
  throw UsageError(L"dtmf: SYMBOLS: '" + std::wstring(1, *wait) + L"' waits for Enter, " + why);
}

std::vector<std::wstring_view> SplitAtWaits(std::wstring_view dial) {
  std::vector<std::wstring_view> parts;
  size_t start = 0;
  for (size_t i = 0; i < dial.size(); ++i) {
    if (!IsWait(dial[i])) continue;
    parts.push_back(dial.substr(start, i - start));
    start = i + 1;
  }
  parts.push_back(dial.substr(start));
  return parts;
}

}  // namespace dtmf_tool
