#pragma once
// Form1 declared as data: the window record and its controls in creation
// order. Positions and sizes are twips from the client area's top-left.

#include <array>
#include <string_view>

#include "window/twips.h"

enum class ControlKind { kTextField, kCheckBox, kPushButton, kCaption };

struct ControlRecord {
  int id;  // also the place in the creation order
  std::wstring_view name;
  ControlKind kind;
  std::wstring_view text;  // caption or initial text
  int left;
  int top;
  int width;
  int height;
  int tab_index;
  bool fit_to_text;  // grow or shrink to the caption's extent, no wrapping
};

struct WindowRecord {
  std::wstring_view name;
  std::wstring_view title;
  int client_width;
  int client_height;
};

// Control identifiers, as the dial command refers to them.
enum ControlId : int {
  kText2 = 1,
  kCheck1 = 2,
  kText1 = 3,
  kCommand1 = 4,
  kLabel2 = 5,
  kLabel1 = 6,
};

inline constexpr WindowRecord kForm1{L"Form1", L"Dialler Sample", 4275, 1575};

inline constexpr std::array<ControlRecord, 6> kForm1Controls{{
    {kText2, L"Text2", ControlKind::kTextField, L"150", 1080, 1200, 615, 270, 4, false},
    {kCheck1, L"Check1", ControlKind::kCheckBox, L"非同期で再生", 240, 840, 1455, 255, 3, false},
    {kText1, L"Text1", ControlKind::kTextField, L"", 270, 428, 3735, 270, 1, false},
    {kCommand1, L"Command1", ControlKind::kPushButton, L"DIAL!", 3150, 788, 855, 375, 0, false},
    {kLabel2, L"Label2", ControlKind::kCaption, L"間隔:(ms)", 240, 1230, 735, 210, 5, true},
    {kLabel1, L"Label1", ControlKind::kCaption, L"DialNo [0-9,A-D,*#]", 270, 188, 2895, 255, 2, false},
}};

constexpr bool TakesFocus(ControlKind kind) { return kind != ControlKind::kCaption; }

constexpr const ControlRecord& FindControl(int id) {
  for (const ControlRecord& record : kForm1Controls) {
    if (record.id == id) return record;
  }
  return kForm1Controls[0];  // unreachable for the ids above; keeps this constexpr
}

// The controls in tab order (ascending tab index), which is also the z-order
// the dialog manager walks.
constexpr std::array<int, kForm1Controls.size()> TabOrder() {
  std::array<int, kForm1Controls.size()> ids{};
  for (const ControlRecord& record : kForm1Controls) ids[record.tab_index] = record.id;
  return ids;
}
