#include "core/explorer_naming.h"

namespace tsly {
namespace {

// REG_SZ as the registry holds it: UTF-16LE with its terminating zero.
std::vector<std::uint8_t> RegText(const char* ascii) {
    std::vector<std::uint8_t> bytes;
    for (const char* c = ascii;; ++c) {
        bytes.push_back(static_cast<std::uint8_t>(*c));
        bytes.push_back(0);
        if (!*c) return bytes;
    }
}

struct Target {
    const char* key;
    const char* name;  // also the kept copy's name
    RegistryValue noMarker;
    // The kept value, present when the program made `key`; none for a key
    // that every system has.
    const char* keyMade;
};

const std::vector<Target>& Targets() {
    static const std::vector<Target> targets{
        // The quotation marks belong to the data, as the tweak is usually given.
        {kNamingTemplatesKey, "ShortcutNameTemplate", {true, kRegSz, RegText("\"%s.lnk\"")},
         "NamingTemplatesMade"},
        {kExplorerKey, "link", {true, kRegBinary, {0, 0, 0, 0}}, nullptr},
    };
    return targets;
}

const RegistryValue kMarkPresent{true, kRegBinary, {}};

// A kept copy is one REG_BINARY value per original: empty when the original
// was missing, else its type (four bytes, little-endian) and its bytes. One
// value says both whether and what, so a copy can never be half there, and
// a present value with no data still differs from a missing one.
RegistryValue EncodeKept(const RegistryValue& original) {
    RegistryValue kept{true, kRegBinary, {}};
    if (!original.present) return kept;
    for (int shift = 0; shift < 32; shift += 8) {
        kept.bytes.push_back(static_cast<std::uint8_t>(original.type >> shift));
    }
    kept.bytes.insert(kept.bytes.end(), original.bytes.begin(), original.bytes.end());
    return kept;
}

bool DecodeKept(const RegistryValue& kept, RegistryValue& original) {
    if (kept.type != kRegBinary || (!kept.bytes.empty() && kept.bytes.size() < 4)) return false;
    original = RegistryValue{};
    if (kept.bytes.empty()) return true;
    original.present = true;
    for (int i = 0; i < 4; ++i) original.type |= std::uint32_t{kept.bytes[i]} << (8 * i);
    original.bytes.assign(kept.bytes.begin() + 4, kept.bytes.end());
    return true;
}

// Writes values one after the other, remembering what each replaced, so
// that a failure part-way undoes every write before it.
class Changes {
public:
    Changes(RegistryValues& registry, NamingChange& result)
        : registry_(registry), result_(result) {}

    bool Read(const std::string& key, const std::string& name, RegistryValue& value) {
        return registry_.Read(key, name, value) || Fail(key, name, false);
    }

    bool Set(const std::string& key, const std::string& name, const RegistryValue& value) {
        RegistryValue before;
        if (!Read(key, name, before)) return false;
        if (before == value) return true;
        // A write may make its key; undoing it takes the key away again.
        const std::optional<bool> existed = registry_.KeyExists(key);
        if (!existed) return Fail(key, "", false);
        if (!registry_.Write(key, name, value)) return Fail(key, name, true);
        if (!*existed) made_.push_back(key);
        done_.push_back({key, name, before});
        if (key != kKeptNamingKey) result_.changed = true;
        return true;
    }

    bool RemoveKeyIfEmpty(const std::string& key) {
        return registry_.RemoveKeyIfEmpty(key) || Fail(key, "", true);
    }

    // Ends the change: every caller returns right after.
    bool Fail(const std::string& key, const std::string& name, bool writing) {
        for (auto it = done_.rbegin(); it != done_.rend(); ++it) {
            registry_.Write(it->key, it->name, it->before);
        }
        for (auto it = made_.rbegin(); it != made_.rend(); ++it) registry_.RemoveKeyIfEmpty(*it);
        result_ = NamingChange{false, false, false, name.empty() ? key : key + "\\" + name,
                               writing};
        return false;
    }

private:
    struct Done {
        std::string key, name;
        RegistryValue before;
    };
    RegistryValues& registry_;
    NamingChange& result_;
    std::vector<Done> done_;
    std::vector<std::string> made_;
};

}  // namespace

std::string NamingChange::Message() const {
    return "'HKEY_CURRENT_USER\\" + failedValue +
           (failedWriting ? "' の設定に失敗しました" : "' の取得に失敗しました");
}

NamingChange StopShortcutMarker(RegistryValues& registry) {
    NamingChange result;
    Changes changes(registry, result);
    for (const Target& target : Targets()) {
        RegistryValue now;
        if (!changes.Read(target.key, target.name, now)) return result;
        // The program's own value: its copy, or the lack of one, stands.
        if (now == target.noMarker) continue;
        if (!changes.Set(kKeptNamingKey, target.name, EncodeKept(now))) return result;
        if (!target.keyMade) continue;
        const std::optional<bool> exists = registry.KeyExists(target.key);
        if (!exists) {
            changes.Fail(target.key, "", false);
            return result;
        }
        if (!changes.Set(kKeptNamingKey, target.keyMade, *exists ? RegistryValue{} : kMarkPresent)) {
            return result;
        }
    }
    for (const Target& target : Targets()) {
        if (!changes.Set(target.key, target.name, target.noMarker)) return result;
    }
    return result;
}

NamingChange PutBackShortcutMarker(RegistryValues& registry, Unrecorded unrecorded) {
    NamingChange result;
    Changes changes(registry, result);
    std::vector<std::pair<const Target*, RegistryValue>> originals;
    for (const Target& target : Targets()) {
        RegistryValue kept;
        if (!changes.Read(kKeptNamingKey, target.name, kept)) return result;
        RegistryValue original;
        if (kept.present && !DecodeKept(kept, original)) {
            changes.Fail(kKeptNamingKey, target.name, false);
            return result;
        }
        // A value the user changed since is the user's; only the program's
        // goes, to the copy or, without one, to the system's default.
        RegistryValue now;
        if (!changes.Read(target.key, target.name, now)) return result;
        if (now != target.noMarker) continue;
        if (!kept.present) {
            // Without a copy the program never wrote the value: the user may
            // have set it so before the program ran.
            if (unrecorded == Unrecorded::Leave) continue;
            result.copiesLost = true;
        }
        originals.emplace_back(&target, original);
    }
    for (const auto& [target, original] : originals) {
        if (!changes.Set(target->key, target->name, original)) return result;
    }
    std::vector<const char*> madeKeys;
    for (const Target& target : Targets()) {
        if (!changes.Set(kKeptNamingKey, target.name, RegistryValue{})) return result;
        if (!target.keyMade) continue;
        RegistryValue made;
        if (!changes.Read(kKeptNamingKey, target.keyMade, made)) return result;
        if (!made.present) continue;
        if (!changes.Set(kKeptNamingKey, target.keyMade, RegistryValue{})) return result;
        madeKeys.push_back(target.key);
    }
    madeKeys.push_back(kKeptNamingKey);
    for (const char* key : madeKeys) {
        if (!changes.RemoveKeyIfEmpty(key)) return result;
    }
    return result;
}

bool ShortcutMarkerStopRecorded(RegistryValues& registry) {
    for (const Target& target : Targets()) {
        RegistryValue kept, now;
        if (registry.Read(kKeptNamingKey, target.name, kept) && kept.present &&
            registry.Read(target.key, target.name, now) && now == target.noMarker) {
            return true;
        }
    }
    return false;
}

bool ShortcutMarkerStopped(RegistryValues& registry) {
    for (const Target& target : Targets()) {
        RegistryValue now;
        if (!registry.Read(target.key, target.name, now) || now != target.noMarker) return false;
    }
    return true;
}

}  // namespace tsly
