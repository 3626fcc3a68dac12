#include "tools/dtmf/device_choice.h"

#include <gtest/gtest.h>

namespace {

TEST(MatchDevices, ANumberIsTheIdAndTextNamesEveryDeviceHoldingItUnlessOneIsNamedInFull) {
  const std::vector<std::wstring> names = {L"Speakers (Realtek)", L"USB Headset", L"HDMI 2",
                                           L"null", L"null_b"};
  using Ids = std::vector<uint32_t>;
  const struct {
    std::wstring wanted;
    Ids ids;
  } cases[] = {
      {L"1", {1}},           {L"2", {2}},  // the id, not "HDMI 2"
      {L"5", {5}},                         // past the count: the device refuses it
      {L"99999999999", {5}}, {L"usb", {1}},      {L"REALTEK)", {0}}, {L"e", {0, 1}},  // ambiguous
      {L"NULL", {3}},  // a whole name, though null_b holds it too
      {L"ull", {3, 4}},      {L"Bluetooth", {}},
  };
  for (const auto& [wanted, ids] : cases) {
    EXPECT_EQ(dtmf_tool::MatchDevices(names, wanted), ids) << wanted.c_str();
  }
}

}  // namespace
