#pragma once
// Form1 declared as data: the window record and its controls in creation
// order. Positions and sizes are twips from the client area's top-left.

#include <array>
#include <cstddef>
#include <string_view>

#include "dialler/window/twips.h"

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
  int names;         // for a caption: the field it names for screen readers
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
    {kText2, L"Text2", ControlKind::kTextField, L"150", 1080, 1200, 615, 270, 4, false, 0},
    {kCheck1, L"Check1", ControlKind::kCheckBox, L"非同期で再生", 240, 840, 1455, 255, 3, false, 0},
    {kText1, L"Text1", ControlKind::kTextField, L"", 270, 428, 3735, 270, 1, false, 0},
    {kCommand1, L"Command1", ControlKind::kPushButton, L"DIAL!", 3150, 788, 855, 375, 0, false, 0},
    {kLabel2, L"Label2", ControlKind::kCaption, L"間隔:(ms)", 240, 1230, 735, 210, 5, true, kText2},
    {kLabel1, L"Label1", ControlKind::kCaption, L"DialNo [0-9,A-D,*#]", 270, 188, 2895, 255, 2,
     false, kText1},
}};

// Where control `id` is in the table: ids are places in the creation order,
// from 1.
constexpr std::size_t PositionOf(int id) { return static_cast<std::size_t>(id - 1); }

// The order the controls are stacked in, top first. The dialog manager
// walks it for Tab, so the controls that take the focus come in tab order;
// screen readers name a field after the caption just before it, so each
// caption comes right before the field it names.
constexpr std::array<int, kForm1Controls.size()> ZOrder() {
  std::array<int, kForm1Controls.size()> ids{};
  std::size_t next = 0;
  for (int tab_index = 0; tab_index < static_cast<int>(kForm1Controls.size()); ++tab_index) {
    for (const ControlRecord& field : kForm1Controls) {
      if (field.tab_index != tab_index || field.kind == ControlKind::kCaption) continue;
      for (const ControlRecord& caption : kForm1Controls) {
        if (caption.names == field.id) ids[next++] = caption.id;
      }
      ids[next++] = field.id;
    }
  }
  for (const ControlRecord& caption : kForm1Controls) {
    if (caption.kind == ControlKind::kCaption && caption.names == 0) ids[next++] = caption.id;
  }
  return ids;
}
