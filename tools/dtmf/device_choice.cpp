#include "tools/dtmf/device_choice.h"

#include <algorithm>
#include <cwctype>

namespace dtmf_tool {
namespace {

std::wstring Folded(std::wstring text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
  return text;
}

}  // namespace

std::optional<uint32_t> ChooseDevice(const std::vector<std::wstring>& names,
                                     const std::wstring& wanted) {
  const bool is_number =
      !wanted.empty() && wanted.size() <= 9 &&
      std::all_of(wanted.begin(), wanted.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
  if (is_number) {
    const auto id = static_cast<uint32_t>(std::stoul(wanted));
    if (id < names.size()) return id;
    return std::nullopt;
  }
  const std::wstring folded = Folded(wanted);
  for (size_t id = 0; id < names.size(); ++id) {
    if (Folded(names[id]).find(folded) != std::wstring::npos) return static_cast<uint32_t>(id);
  }
  return std::nullopt;
}

}  // namespace dtmf_tool
