// How the shell names a new shortcut, and the copy of the user's own values
// that lets the program put them back exactly. The decisions live here; the
// registry itself is reached through a small interface, so that the rules
// can be read and tried without Windows.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tsly {

// The registry's type numbers that the program writes itself.
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegBinary = 3;

// One value as read: absent, or its type and exact bytes.
struct RegistryValue {
    bool present = false;
    std::uint32_t type = 0;
    std::vector<std::uint8_t> bytes;

    bool operator==(const RegistryValue& other) const {
        return present == other.present &&
               (!present || (type == other.type && bytes == other.bytes));
    }
    bool operator!=(const RegistryValue& other) const { return !(*this == other); }
};

// Values below HKEY_CURRENT_USER, by key path and value name.
class RegistryValues {
public:
    virtual ~RegistryValues() = default;
    // False when the value can neither be read nor be found missing.
    virtual bool Read(const std::string& key, const std::string& name, RegistryValue& value) = 0;
    // Writes the value, or deletes it when it is not present (a value that
    // is not there counts as deleted).
    virtual bool Write(const std::string& key, const std::string& name,
                       const RegistryValue& value) = 0;
    // Whether the key is there; nothing when that cannot be told.
    virtual std::optional<bool> KeyExists(const std::string& key) = 0;
    // Deletes the key when it holds neither values nor keys; true when it
    // is gone or holds something.
    virtual bool RemoveKeyIfEmpty(const std::string& key) = 0;
};

// Where Explorer reads the shortcut name from (Windows 7 and later: a name
// template; XP: "link", a use count whose zero drops the marker), and where
// the program keeps the user's own values meanwhile.
inline constexpr char kNamingTemplatesKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\NamingTemplates";
inline constexpr char kExplorerKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
inline constexpr char kKeptNamingKey[] = "Software\\moravend\\Tessalyne\\Explorer";

struct NamingChange {
    bool ok = true;
    bool changed = false;     // one of Explorer's values is now different
    // The kept copies were gone: Explorer's values went back to the
    // system's default, their absence.
    bool copiesLost = false;
    std::string failedValue;  // key and name of the value that failed
    bool failedWriting = false;

    // The message for the user when it failed, in the settings store's words.
    std::string Message() const;
};

// The sentence a message gains when the kept copies were gone.
inline constexpr char kNamingCopiesLost[] =
    "\r\n以前の名前の付け方の記録が見つからなかったため、エクスプローラの既定の設定に戻しました。";

// Keeps each of Explorer's two values that is not the program's (afresh,
// so the newest value of the user is the one put back), and whether the
// name template's key had to be made; then writes the values that make new
// shortcuts carry no marker. Whatever fails, the registry is left as it
// was before the call.
NamingChange StopShortcutMarker(RegistryValues& registry);

// Where Explorer's value is still the program's, puts back the kept value
// exactly (deleting one that was missing), or without a copy deletes it
// (the system's default) when the user asked for that; a value the user
// changed since stays. Then removes the copies and the keys the program
// made. Whatever fails, the registry is left as it was before the call.
enum class Unrecorded { PutDefault, Leave };
NamingChange PutBackShortcutMarker(RegistryValues& registry,
                                   Unrecorded unrecorded = Unrecorded::PutDefault);

// True when one of Explorer's values is the program's and the program's
// record says it wrote it: the one a removal of the settings puts back.
bool ShortcutMarkerStopRecorded(RegistryValues& registry);

// True when both of Explorer's values are the program's: new shortcuts get
// no marker.
bool ShortcutMarkerStopped(RegistryValues& registry);

}  // namespace tsly
