#include "platform/registry_values.h"

#include <windows.h>

#include "platform/handles.h"
#include "platform/text.h"

namespace tsly::win {

bool CurrentUserValues::Read(const std::string& key, const std::string& name,
                             RegistryValue& value) {
    value = RegistryValue{};
    HKEY opened = nullptr;
    const LONG open = RegOpenKeyExW(HKEY_CURRENT_USER, ToWide(key).c_str(), 0, KEY_QUERY_VALUE,
                                    &opened);
    if (open == ERROR_FILE_NOT_FOUND) return true;  // no key, so no value
    if (open != ERROR_SUCCESS) return false;
    const UniqueRegKey owner(opened);
    const std::wstring wideName = ToWide(name);
    DWORD type = 0;
    DWORD size = 0;
    LONG rc = RegQueryValueExW(opened, wideName.c_str(), nullptr, &type, nullptr, &size);
    // The value may grow between the two queries: read until it fits.
    for (int attempt = 0; attempt < 4 && rc == ERROR_SUCCESS; ++attempt) {
        value.bytes.resize(size);
        rc = RegQueryValueExW(opened, wideName.c_str(), nullptr, &type, value.bytes.data(), &size);
        if (rc == ERROR_SUCCESS) {
            value.bytes.resize(size);
            value.present = true;
            value.type = type;
            return true;
        }
        if (rc == ERROR_MORE_DATA) rc = ERROR_SUCCESS;
    }
    value = RegistryValue{};
    return rc == ERROR_FILE_NOT_FOUND;
}

bool CurrentUserValues::Write(const std::string& key, const std::string& name,
                              const RegistryValue& value) {
    const std::wstring wideKey = ToWide(key);
    const std::wstring wideName = ToWide(name);
    HKEY opened = nullptr;
    if (!value.present) {
        const LONG open = RegOpenKeyExW(HKEY_CURRENT_USER, wideKey.c_str(), 0, KEY_SET_VALUE,
                                        &opened);
        if (open == ERROR_FILE_NOT_FOUND) return true;
        if (open != ERROR_SUCCESS) return false;
        const UniqueRegKey owner(opened);
        const LONG rc = RegDeleteValueW(opened, wideName.c_str());
        return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
    }
    if (RegCreateKeyExW(HKEY_CURRENT_USER, wideKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE, nullptr, &opened, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const UniqueRegKey owner(opened);
    return RegSetValueExW(opened, wideName.c_str(), 0, value.type, value.bytes.data(),
                          static_cast<DWORD>(value.bytes.size())) == ERROR_SUCCESS;
}

std::optional<bool> CurrentUserValues::KeyExists(const std::string& key) {
    HKEY opened = nullptr;
    const LONG open = RegOpenKeyExW(HKEY_CURRENT_USER, ToWide(key).c_str(), 0, KEY_QUERY_VALUE,
                                    &opened);
    if (open == ERROR_SUCCESS) {
        RegCloseKey(opened);
        return true;
    }
    if (open == ERROR_FILE_NOT_FOUND) return false;
    return std::nullopt;
}

bool CurrentUserValues::RemoveKeyIfEmpty(const std::string& key) {
    HKEY opened = nullptr;
    const std::wstring wide = ToWide(key);
    const LONG open = RegOpenKeyExW(HKEY_CURRENT_USER, wide.c_str(), 0, KEY_QUERY_VALUE, &opened);
    if (open == ERROR_FILE_NOT_FOUND) return true;
    if (open != ERROR_SUCCESS) return false;
    DWORD keys = 0, values = 0;
    const LONG info = RegQueryInfoKeyW(opened, nullptr, nullptr, nullptr, &keys, nullptr, nullptr,
                                       &values, nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(opened);
    if (info != ERROR_SUCCESS) return false;
    return keys != 0 || values != 0 || RegDeleteKeyW(HKEY_CURRENT_USER, wide.c_str()) == ERROR_SUCCESS;
}

}  // namespace tsly::win
