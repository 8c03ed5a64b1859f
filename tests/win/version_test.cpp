// The version record of tsly.exe, read back with the version API.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "dialogs/Unit3.h"
#include "platform/text.h"

namespace tsly {
namespace {

// The build passes the executable's Unix path; Wine shows it on drive Z:.
std::wstring ExecutablePath() {
    std::wstring path = win::ToWide("Z:" TSLY_EXE_PATH);
    for (wchar_t& c : path) {
        if (c == L'/') c = L'\\';
    }
    return path;
}

// The record says Japanese in code page 932, and its texts under that
// translation read back as written.
TEST(VersionRecord, IsJapaneseInCodePage932WithItsTexts) {
    const std::wstring path = ExecutablePath();
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<char> data(size);
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, data.data()));

    WORD* translation = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    ASSERT_GE(length, 4u);
    EXPECT_EQ(translation[0], 0x0411);
    EXPECT_EQ(translation[1], 932);

    wchar_t* text = nullptr;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\StringFileInfo\\041103A4\\FileDescription",
                               reinterpret_cast<void**>(&text), &length));
    EXPECT_EQ(win::FromWide(text), "ショートカット編集ツール");

    // The About box tells the version the record holds.
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\StringFileInfo\\041103A4\\ProductVersion",
                               reinterpret_cast<void**>(&text), &length));
    const TAboutBox box(POINT{40, 30}, [](HWND, const ShellOpenRequest&) {});
    EXPECT_EQ(box.Text(TAboutBox::Version), "Version" + win::FromWide(text));
}

}  // namespace
}  // namespace tsly
