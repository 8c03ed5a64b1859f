// The version record of tsly.exe, read back with the version API.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

// The build passes the executable's Unix path; Wine shows it on drive Z:.
std::string ExecutablePath() {
    std::string path = "Z:" TSLY_EXE_PATH;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

class VersionRecord : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string path = ExecutablePath();
        DWORD handle = 0;
        const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
        ASSERT_GT(size, 0u) << path;
        data_.resize(size);
        ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, data_.data()));
    }
    std::string Text(const std::string& name) {
        void* value = nullptr;
        UINT length = 0;
        const std::string query = "\\StringFileInfo\\041103A4\\" + name;
        if (!VerQueryValueA(data_.data(), query.c_str(), &value, &length)) return "<missing>";
        return std::string(static_cast<const char*>(value));
    }
    std::vector<char> data_;
};

TEST_F(VersionRecord, CarriesTheFixedInformation) {
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(data_.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010002u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010002u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileFlagsMask, 0x3Fu);
    EXPECT_EQ(fixed->dwFileFlags, 0u);
    EXPECT_EQ(fixed->dwFileOS, 4u);
    EXPECT_EQ(fixed->dwFileType, 1u);
}

TEST_F(VersionRecord, IsJapaneseInCodePage932) {
    WORD* translation = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(data_.data(), "\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    ASSERT_GE(length, 4u);
    EXPECT_EQ(translation[0], 0x0411);
    EXPECT_EQ(translation[1], 0x03A4);
}

TEST_F(VersionRecord, CarriesEveryText) {
    const std::pair<const char*, const char*> entries[] = {
        {"CompanyName", "moravend"},
        {"FileDescription", "ショートカット編集ツール"},
        {"FileVersion", "1.2.1.0"},
        {"InternalName", "tsly"},
        {"LegalCopyright", "moravend"},
        {"LegalTrademarks", ""},
        {"OriginalFilename", "tsly.exe"},
        {"ProductName", "Tessalyne"},
        {"ProductVersion", "1.21"},
        {"Comments", ""},
    };
    for (const auto& [name, value] : entries) EXPECT_EQ(Text(name), value) << name;
}

}  // namespace
