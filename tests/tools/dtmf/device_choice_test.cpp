#include "tools/dtmf/device_choice.h"

#include <gtest/gtest.h>

namespace {

const std::vector<std::wstring> kNames = {L"Speakers (Realtek)", L"USB Headset", L"HDMI 2"};

TEST(ChooseDevice, ANumberIsTheIdAndTextIsPartOfANameInAnyCase) {
  EXPECT_EQ(dtmf_tool::ChooseDevice(kNames, L"1"), 1u);
  EXPECT_EQ(dtmf_tool::ChooseDevice(kNames, L"usb"), 1u);
  EXPECT_EQ(dtmf_tool::ChooseDevice(kNames, L"REALTEK)"), 0u);
  EXPECT_EQ(dtmf_tool::ChooseDevice(kNames, L"2"), 2u);  // the id, not "HDMI 2"
  EXPECT_EQ(dtmf_tool::ChooseDevice(kNames, L"e"), 0u);  // the first that matches
}

TEST(ChooseDevice, NothingForAnIdOutOfRangeOrANameNoDeviceHas) {
  EXPECT_FALSE(dtmf_tool::ChooseDevice(kNames, L"3"));
  EXPECT_FALSE(dtmf_tool::ChooseDevice(kNames, L"99999999999"));
  EXPECT_FALSE(dtmf_tool::ChooseDevice(kNames, L"Bluetooth"));
  EXPECT_FALSE(dtmf_tool::ChooseDevice({}, L"0"));
}

}  // namespace
