#include "tools/dtmf/device_choice.h"

#include <algorithm>
#include <cwctype>

#include "tools/dtmf/command_line.h"

namespace dtmf_tool {
namespace {

std::wstring Folded(std::wstring text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
  return text;
}

bool IsNumber(const std::wstring& text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

}  // namespace

std::vector<uint32_t> MatchDevices(const std::vector<std::wstring>& names,
                                   const std::wstring& wanted) {
  if (IsNumber(wanted)) {
    // Too long for an id: past the count, like any id with no device.
    if (wanted.size() > 9) return {static_cast<uint32_t>(names.size())};
    return {static_cast<uint32_t>(std::stoul(wanted))};
  }
  const std::wstring folded = Folded(wanted);
  std::vector<uint32_t> holding;
  for (size_t id = 0; id < names.size(); ++id) {
    const std::wstring name = Folded(names[id]);
    if (name == folded) return {static_cast<uint32_t>(id)};
    if (name.find(folded) != std::wstring::npos) holding.push_back(static_cast<uint32_t>(id));
  }
  return holding;
}

Device ChooseDevice(const std::optional<std::wstring>& wanted,
                    const std::vector<std::wstring>& names, const wchar_t* kind) {
  if (!wanted) return {};
  const std::vector<uint32_t> ids = MatchDevices(names, *wanted);
  if (ids.empty()) {
    throw UsageError(L"dtmf: -d: no " + std::wstring(kind) + L" device matches '" + *wanted +
                     L"' (dtmf --list-devices lists them)");
  }
  if (ids.size() > 1) {
    std::wstring matches;
    for (uint32_t id : ids) {
      matches += (matches.empty() ? L"" : L", ") + std::to_wstring(id) + L" " + names[id];
    }
    throw UsageError(L"dtmf: -d: '" + *wanted + L"' matches several devices: " + matches +
                     L"; give a number or more of the name");
  }
  const uint32_t id = ids.front();
  return {id, id < names.size() ? names[id] : L"device " + std::to_wstring(id)};
}

std::wstring DeviceListLines(const std::vector<std::wstring>& outputs,
                             const std::vector<std::wstring>& inputs) {
  std::wstring lines;
  for (size_t id = 0; id < outputs.size(); ++id) {
    lines += std::to_wstring(id) + L"  " + outputs[id] + L"\n";
  }
  for (size_t id = 0; id < inputs.size(); ++id) {
    lines += L"in " + std::to_wstring(id) + L"  " + inputs[id] + L"\n";
  }
  return lines;
}

}  // namespace dtmf_tool
