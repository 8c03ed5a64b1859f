#include "platform/settings_store.h"

#include <vector>

#include "core/settings_codec.h"
#include "platform/text.h"

namespace tsly {
namespace {

std::string Quoted(const char* format, const std::string& name) {
    // format holds one "%s"
    std::string text = format;
    const auto at = text.find("%s");
    return text.replace(at, 2, name);
}

[[noreturn]] void Fail(const char* format, const std::string& name) {
    throw SettingsError(Quoted(format, name));
}

// The registry takes a path without the trailing separator just as well;
// dropping it keeps calls that treat the last part as a name correct.
std::string WithoutTrailingSeparator(std::string path) {
    while (!path.empty() && path.back() == '\\') path.pop_back();
    return path;
}

// A key the user may read but not change still gives its stored values:
// falling back to the defaults would cut names with options the user never
// chose. Writes then fail and report it.
HKEY OpenForReading(HKEY parent, const std::string& path) {
    HKEY opened = nullptr;
    const std::wstring wide = win::ToWide(path);
    if (RegOpenKeyExW(parent, wide.c_str(), 0, KEY_ALL_ACCESS, &opened) == ERROR_SUCCESS ||
        RegOpenKeyExW(parent, wide.c_str(), 0, KEY_READ, &opened) == ERROR_SUCCESS) {
        return opened;
    }
    return nullptr;
}

win::UniqueRegKey OpenSection(HKEY key, const std::string& section) {
    if (!key) return nullptr;
    return win::UniqueRegKey(OpenForReading(key, section));
}

}  // namespace

SettingsStore::SettingsStore(std::string keyPath, bool create) : keyPath_(std::move(keyPath)) {
    HKEY key = nullptr;
    if (create && RegCreateKeyExW(HKEY_CURRENT_USER, win::ToWide(keyPath_).c_str(), 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) == ERROR_SUCCESS) {
        key_.reset(key);
    } else {
        key_.reset(OpenForReading(HKEY_CURRENT_USER, keyPath_));
    }
}

std::string SettingsStore::ReadText(const std::string& section, const std::string& name,
                                    const std::string& fallback) const {
    const win::UniqueRegKey sectionKey = OpenSection(key_.get(), section);
    if (!sectionKey) return fallback;

    const std::wstring valueName = win::ToWide(name);
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(sectionKey.get(), valueName.c_str(), nullptr, &type, nullptr,
                         &size) != ERROR_SUCCESS) {
        return fallback;  // no such value
    }
    if (size == 0) return std::string();
    if (type != REG_SZ && type != REG_EXPAND_SZ) Fail("'%s' のデータ型が不正です", name);

    // The value may grow between the two queries: read until it fits. The
    // registry keeps text as UTF-16, whichever call wrote it, so a value an
    // ANSI program stored reads back the same.
    std::vector<wchar_t> data;
    LONG rc = ERROR_MORE_DATA;
    for (int attempt = 0; attempt < 4 && rc == ERROR_MORE_DATA; ++attempt) {
        data.assign(size / sizeof(wchar_t) + 1, L'\0');
        size = static_cast<DWORD>((data.size() - 1) * sizeof(wchar_t));
        rc = RegQueryValueExW(sectionKey.get(), valueName.c_str(), nullptr, &type,
                              reinterpret_cast<BYTE*>(data.data()), &size);
    }
    if (rc != ERROR_SUCCESS) Fail("'%s' の取得に失敗しました", name);
    if (type != REG_SZ && type != REG_EXPAND_SZ) Fail("'%s' のデータ型が不正です", name);
    data.resize(size / sizeof(wchar_t));
    data.push_back(L'\0');
    return win::FromWide(data.data());  // the text ends at its first zero
}

std::int32_t SettingsStore::ReadNumber(const std::string& section, const std::string& name,
                                       std::int32_t fallback) const {
    // A missing value reads as the empty text, which parses to the default.
    return ParseNumber(ReadText(section, name, std::string()), fallback);
}

bool SettingsStore::ReadFlag(const std::string& section, const std::string& name,
                             bool fallback) const {
    return ReadNumber(section, name, fallback ? 1 : 0) != 0;
}

void SettingsStore::WriteText(const std::string& section, const std::string& name,
                              const std::string& value) {
    HKEY created = nullptr;
    if (!key_ || RegCreateKeyExW(key_.get(), win::ToWide(section).c_str(), 0, nullptr,
                                 REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                                 &created, nullptr) != ERROR_SUCCESS) {
        Fail("キー %s の作成に失敗しました", section);
    }
    const win::UniqueRegKey sectionKey(created);
    // REG_SZ with its terminating zero counted in the stored length.
    const std::wstring text = win::ToWide(value);
    if (RegSetValueExW(sectionKey.get(), win::ToWide(name).c_str(), 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) != ERROR_SUCCESS) {
        Fail("'%s' の設定に失敗しました", name);
    }
}

void SettingsStore::WriteNumber(const std::string& section, const std::string& name,
                                std::int32_t value) {
    WriteText(section, name, EncodeNumber(value));
}

void SettingsStore::WriteFlag(const std::string& section, const std::string& name,
                              bool value) {
    WriteText(section, name, EncodeFlag(value));
}

namespace {

bool DeleteKeyTreeUnder(HKEY parent, const std::string& path) {
    HKEY opened = nullptr;
    const std::wstring wide = win::ToWide(path);
    if (RegOpenKeyExW(parent, wide.c_str(), 0, KEY_ALL_ACCESS, &opened) == ERROR_SUCCESS) {
        const win::UniqueRegKey key(opened);
        DWORD subkeys = 0;
        DWORD longest = 0;
        if (RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &subkeys, &longest,
                             nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr) == ERROR_SUCCESS) {
            std::vector<wchar_t> name(longest + 1);
            // From the last index down, so deleting does not shift the rest.
            for (DWORD i = subkeys; i-- > 0;) {
                DWORD length = static_cast<DWORD>(name.size());
                if (RegEnumKeyExW(key.get(), i, name.data(), &length, nullptr, nullptr,
                                  nullptr, nullptr) != ERROR_SUCCESS) {
                    continue;
                }
                DeleteKeyTreeUnder(key.get(), win::FromWide(std::wstring_view(name.data(), length)));
            }
        }
    }
    return RegDeleteKeyW(parent, wide.c_str()) == ERROR_SUCCESS;
}

}  // namespace

bool DeleteKeyTree(const std::string& keyPath) {
    return DeleteKeyTreeUnder(HKEY_CURRENT_USER, WithoutTrailingSeparator(keyPath));
}

}  // namespace tsly
