// The version record of tsly.exe, read back with the version API.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "dialogs/about_box.h"
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

BOOL CALLBACK AddLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR out) {
    reinterpret_cast<std::vector<LANGID>*>(out)->push_back(language);
    return TRUE;
}
BOOL CALLBACK AddNameLanguages(HMODULE m, LPCWSTR type, LPWSTR name, LONG_PTR out) {
    return EnumResourceLanguagesW(m, type, name, AddLanguage, out);
}
BOOL CALLBACK AddTypeLanguages(HMODULE m, LPWSTR type, LONG_PTR out) {
    return EnumResourceNamesW(m, type, AddNameLanguages, out);
}

// Every resource of every type is tagged Japanese, as the record is: the
// system's resource properties show no English beside it.
TEST(VersionRecord, EveryResourceIsTaggedJapanese) {
    HMODULE exe = LoadLibraryExW(ExecutablePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(exe, nullptr);
    std::vector<LANGID> languages;
    EnumResourceTypesW(exe, AddTypeLanguages, reinterpret_cast<LONG_PTR>(&languages));
    FreeLibrary(exe);
    EXPECT_GE(languages.size(), 9u);  // icon and its group, manifest, pictures, version
    for (LANGID language : languages) EXPECT_EQ(language, MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
}

}  // namespace
}  // namespace tsly
