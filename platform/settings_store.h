// Section/name/value settings under HKEY_CURRENT_USER. Every value is stored
// as REG_SZ text; numbers and flags are encoded as decimal text.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "platform/handles.h"

namespace tsly {

// The two key paths, with their trailing separator.
inline constexpr char kSettingsKey[] = "Software\\moravend\\Tessaly\\";
inline constexpr char kSetupKey[] = "Software\\moravend\\Tessalyne\\";

// A failure that aborts the handler that used the store; its message is
// shown by the application's error report.
class SettingsError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class SettingsStore {
public:
    // Opens (creating when missing) the key below HKEY_CURRENT_USER. A key
    // that can be neither opened nor created is not reported here: reads
    // then give their defaults, and writes fail with their own error.
    // `create` false: a missing key stays missing, and reads give defaults.
    explicit SettingsStore(std::string keyPath, bool create = true);

    const std::string& KeyPath() const { return keyPath_; }

    std::string ReadText(const std::string& section, const std::string& name,
                         const std::string& fallback) const;
    std::int32_t ReadNumber(const std::string& section, const std::string& name,
                            std::int32_t fallback) const;
    bool ReadFlag(const std::string& section, const std::string& name,
                  bool fallback) const;

    void WriteText(const std::string& section, const std::string& name,
                   const std::string& value);
    void WriteNumber(const std::string& section, const std::string& name,
                     std::int32_t value);
    void WriteFlag(const std::string& section, const std::string& name, bool value);

private:
    std::string keyPath_;
    win::UniqueRegKey key_;
};

// Deletes a key below HKEY_CURRENT_USER with everything below it; true when
// the key itself was deleted.
bool DeleteKeyTree(const std::string& keyPath);

}  // namespace tsly
