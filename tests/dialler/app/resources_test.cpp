// The icon, version record, messages and manifest, read back from the built
// Dialler.exe.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/handles_win.h"
#include "dialler/resources/resource_ids.h"
#include "tests/support/dialler_session_win.h"

namespace {

#pragma pack(push, 2)
struct GroupIconEntry {
  BYTE width, height, colour_count, reserved;
  WORD planes, bit_count;
  DWORD bytes_in_resource;
  WORD id;
};
#pragma pack(pop)

class ResourcesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    exe_.reset(::LoadLibraryExW((BinFolder() + L"\\Dialler.exe").c_str(), nullptr,
                                LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    ASSERT_TRUE(exe_);
  }
  std::vector<BYTE> Resource(LPCWSTR type, LPCWSTR name, WORD language = 0x0411) const {
    HRSRC found = ::FindResourceExW(exe_.get(), type, name, language);
    if (!found) return {};
    const auto* data = static_cast<const BYTE*>(::LockResource(::LoadResource(exe_.get(), found)));
    return std::vector<BYTE>(data, data + ::SizeofResource(exe_.get(), found));
  }
  UniqueModule exe_;
};

TEST_F(ResourcesTest, IconGroupOneHoldsTheThreeImagesInOrder) {
  const std::vector<BYTE> group = Resource(RT_GROUP_ICON, MAKEINTRESOURCEW(1));
  ASSERT_EQ(group.size(), 6 + 3 * sizeof(GroupIconEntry));
  EXPECT_EQ(reinterpret_cast<const WORD*>(group.data())[1], 1);  // icons, not cursors
  EXPECT_EQ(reinterpret_cast<const WORD*>(group.data())[2], 3);
  const auto* entries = reinterpret_cast<const GroupIconEntry*>(group.data() + 6);
  struct Expected {
    WORD id;
    BYTE size;
    BYTE colours;
    WORD bits;
  };
  const Expected expected[] = {{30001, 32, 2, 1}, {30002, 32, 16, 4}, {30003, 16, 16, 4}};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(expected[i].id);
    EXPECT_EQ(entries[i].id, expected[i].id);
    EXPECT_EQ(entries[i].width, expected[i].size);
    EXPECT_EQ(entries[i].height, expected[i].size);
    EXPECT_EQ(entries[i].colour_count, expected[i].colours);
    EXPECT_EQ(entries[i].bit_count, expected[i].bits);
    const std::vector<BYTE> image = Resource(RT_ICON, MAKEINTRESOURCEW(expected[i].id));
    EXPECT_EQ(image.size(), entries[i].bytes_in_resource);
    HICON icon = ::CreateIconFromResourceEx(const_cast<BYTE*>(image.data()),
                                            static_cast<DWORD>(image.size()), TRUE, 0x00030000,
                                            expected[i].size, expected[i].size, 0);
    EXPECT_NE(icon, nullptr) << "the image must be a valid icon";
    if (icon) ::DestroyIcon(icon);
  }
}

TEST_F(ResourcesTest, VersionRecordIsJapaneseWithExactlyTheFiveKeys) {
  const std::vector<BYTE> version = Resource(RT_VERSION, MAKEINTRESOURCEW(1));
  ASSERT_FALSE(version.empty());

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT size = 0;
  ASSERT_TRUE(::VerQueryValueW(version.data(), L"\\", reinterpret_cast<void**>(&fixed), &size));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0u);
  EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
  EXPECT_EQ(fixed->dwFileFlags, 0u);

  WORD* translation = nullptr;
  ASSERT_TRUE(::VerQueryValueW(version.data(), L"\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &size));
  ASSERT_EQ(size, 4u);
  EXPECT_EQ(translation[0], 0x0411);
  EXPECT_EQ(translation[1], 1200);

  // Walk the string table's children to check names, values and order.
  std::vector<std::pair<std::wstring, std::wstring>> keys;
  const BYTE* base = version.data();
  auto align = [base](const BYTE* p) {
    return base + ((p - base + 3) & ~static_cast<std::ptrdiff_t>(3));
  };
  auto text_after_header = [](const BYTE* block) {
    return reinterpret_cast<const wchar_t*>(block + 6);
  };
  const BYTE* root_end = base + *reinterpret_cast<const WORD*>(base);
  const BYTE* child =
      align(base + 6 + (wcslen(text_after_header(base)) + 1) * 2 + sizeof(VS_FIXEDFILEINFO));
  int tables = 0;
  while (child < root_end) {
    const WORD length = *reinterpret_cast<const WORD*>(child);
    if (std::wstring(text_after_header(child)) == L"StringFileInfo") {
      const BYTE* table = align(child + 6 + (wcslen(text_after_header(child)) + 1) * 2);
      EXPECT_EQ(std::wstring(text_after_header(table)), L"041104B0");
      ++tables;
      const BYTE* table_end = table + *reinterpret_cast<const WORD*>(table);
      const BYTE* entry = align(table + 6 + (wcslen(text_after_header(table)) + 1) * 2);
      while (entry < table_end) {
        const std::wstring key = text_after_header(entry);
        const auto* value =
            reinterpret_cast<const wchar_t*>(align(entry + 6 + (key.size() + 1) * 2));
        keys.emplace_back(key, value);
        entry = align(entry + *reinterpret_cast<const WORD*>(entry));
      }
    }
    child = align(child + length);
  }
  EXPECT_EQ(tables, 1);
  const std::vector<std::pair<std::wstring, std::wstring>> expected{
      {L"ProductName", L"Dialler"},
      {L"FileVersion", L"1.00"},
      {L"ProductVersion", L"1.00"},
      {L"InternalName", L"Dialler"},
      {L"OriginalFilename", L"Dialler.exe"}};
  EXPECT_EQ(keys, expected);
}

// One string of a string-table block: blocks hold 16 length-prefixed strings.
std::wstring StringFromBlock(const std::vector<BYTE>& block, UINT id) {
  const auto* p = reinterpret_cast<const WCHAR*>(block.data());
  const auto* end = p + block.size() / sizeof(WCHAR);
  for (UINT i = 0; i < id % 16 && p < end; ++i) p += 1 + *p;
  return p < end ? std::wstring(p + 1, *p) : std::wstring();
}

TEST_F(ResourcesTest, EveryMessageExistsInJapaneseAndInEnglishTheFallback) {
  for (UINT id = IDS_INTERVAL_NOT_A_NUMBER; id <= IDS_UNEXPECTED_FAILURE; ++id) {
    SCOPED_TRACE(id);
    const LPCWSTR block = MAKEINTRESOURCEW(id / 16 + 1);
    const std::wstring japanese = StringFromBlock(Resource(RT_STRING, block, 0x0411), id);
    const std::wstring english = StringFromBlock(Resource(RT_STRING, block, 0x0409), id);
    EXPECT_FALSE(japanese.empty());
    EXPECT_FALSE(english.empty());
    EXPECT_NE(japanese, english);
    // Both say the same things: the same placeholders.
    for (const wchar_t* placeholder : {L"%1", L"%2"}) {
      EXPECT_EQ(japanese.find(placeholder) == std::wstring::npos,
                english.find(placeholder) == std::wstring::npos)
          << placeholder;
    }
  }
}

// Without a requested execution level a 32-bit program runs with the legacy
// file and registry virtualization.
TEST_F(ResourcesTest, ManifestRunsAsInvokerWithoutUiAccess) {
  const std::vector<BYTE> bytes = Resource(RT_MANIFEST, MAKEINTRESOURCEW(1));
  const std::string manifest(bytes.begin(), bytes.end());
  const size_t trust = manifest.find("<trustInfo xmlns=\"urn:schemas-microsoft-com:asm.v3\">");
  ASSERT_NE(trust, std::string::npos);
  const size_t level = manifest.find("<requestedExecutionLevel ", trust);
  ASSERT_NE(level, std::string::npos);
  const size_t trust_end = manifest.find("</trustInfo>", trust);
  EXPECT_LT(level, trust_end);
  const std::string element = manifest.substr(level, manifest.find("/>", level) - level);
  EXPECT_NE(element.find(" level=\"asInvoker\""), std::string::npos) << element;
  EXPECT_NE(element.find(" uiAccess=\"false\""), std::string::npos) << element;
}

}  // namespace
