// Explorer's naming values changed and put back over a registry in memory
// that can be made to fail at any one read or write. (The round trip itself
// runs against the real registry in the dialogs' tests.)
#include "core/explorer_naming.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <utility>

namespace {
using namespace tsly;
using Values = std::map<std::pair<std::string, std::string>, RegistryValue>;

// A key is there while it holds a value or was made by a write and not
// removed since.
class MemoryRegistry final : public RegistryValues {
public:
    explicit MemoryRegistry(Values start, std::set<std::string> startKeys = {})
        : values(std::move(start)), keys(std::move(startKeys)) {
        keys.insert(kExplorerKey);  // every system has it
        for (const auto& [at, value] : values) keys.insert(at.first);
    }
    bool Read(const std::string& key, const std::string& name, RegistryValue& value) override {
        if (Fails(false)) return false;
        const auto it = values.find({key, name});
        value = it == values.end() ? RegistryValue{} : it->second;
        return true;
    }
    bool Write(const std::string& key, const std::string& name,
               const RegistryValue& value) override {
        if (Fails(true)) return false;
        if (value.present) {
            values[{key, name}] = value;
            keys.insert(key);
        } else {
            values.erase({key, name});
        }
        return true;
    }
    std::optional<bool> KeyExists(const std::string& key) override {
        if (Fails(false)) return std::nullopt;
        return keys.count(key) != 0;
    }
    bool RemoveKeyIfEmpty(const std::string& key) override {
        if (Fails(true)) return false;
        const bool holds = std::any_of(values.begin(), values.end(),
                                       [&](const auto& v) { return v.first.first == key; }) ||
                           std::any_of(keys.begin(), keys.end(), [&](const std::string& k) {
                               return k.rfind(key + "\\", 0) == 0;
                           });
        if (!holds) keys.erase(key);
        return true;
    }
    bool operator==(const MemoryRegistry& other) const {
        return values == other.values && keys == other.keys;
    }
    Values values;
    std::set<std::string> keys;
    int calls = 0;
    int failAt = 0;  // the call that fails; 0 for none
    bool failedWriting = false;

private:
    bool Fails(bool writing) {
        if (++calls != failAt) return false;
        failedWriting = writing;
        return true;
    }
};

const std::pair<std::string, std::string> kTemplate{kNamingTemplatesKey, "ShortcutNameTemplate"};
const std::pair<std::string, std::string> kLink{kExplorerKey, "link"};
const RegistryValue kZeroLink{true, kRegBinary, {0, 0, 0, 0}};
// "%s.lnk" with its quotation marks, as REG_SZ holds it: UTF-16LE and its zero.
const RegistryValue kNoMarkerTemplate = [] {
    RegistryValue value{true, kRegSz, {}};
    for (const char c : std::string("\"%s.lnk\"") + '\0') {
        value.bytes.insert(value.bytes.end(), {static_cast<std::uint8_t>(c), 0});
    }
    return value;
}();

// Before: nothing; the user's own data; "link" of the wrong type and a
// template with no data at all.
const Values kStarts[] = {
    {},
    {{kTemplate, {true, kRegSz, {'x', 0, 0, 0}}}, {kLink, {true, kRegBinary, {7, 0, 0, 0}}}},
    {{kTemplate, {true, 2 /* REG_EXPAND_SZ */, {}}}, {kLink, {true, kRegSz, {'1', 0, 0, 0}}},
     {{kExplorerKey, "other"}, {true, 4, {1, 2, 3, 4}}}},
};

// Every read and every write of a change, made to fail in turn, leaves the
// registry as it was and names the value.
TEST(ExplorerNaming, AFailureAnywhereLeavesNothingHalfDone) {
    for (const Values& start : kStarts) {
        // Without a failure: no marker, then exactly the user's values again.
        MemoryRegistry roundTrip(start);
        const MemoryRegistry first = roundTrip;
        EXPECT_TRUE(StopShortcutMarker(roundTrip).changed);
        EXPECT_FALSE(StopShortcutMarker(roundTrip).changed);  // already so: nothing to tell
        EXPECT_EQ(roundTrip.values.at(kLink), kZeroLink);
        EXPECT_EQ(roundTrip.values.at(kTemplate), kNoMarkerTemplate);
        EXPECT_TRUE(ShortcutMarkerStopped(roundTrip));
        EXPECT_TRUE(PutBackShortcutMarker(roundTrip).changed);
        EXPECT_TRUE(roundTrip == first);  // the keys the program made are gone too
        for (const bool stop : {true, false}) {
            MemoryRegistry ready(start);
            if (!stop) StopShortcutMarker(ready);
            const MemoryRegistry before = ready;
            ready.calls = 0;
            stop ? StopShortcutMarker(ready) : PutBackShortcutMarker(ready);
            for (int failAt = 1; failAt <= ready.calls; ++failAt) {
                SCOPED_TRACE(std::to_string(failAt) + (stop ? " stop" : " put back"));
                MemoryRegistry registry = before;
                registry.calls = 0;
                registry.failAt = failAt;
                const NamingChange change =
                    stop ? StopShortcutMarker(registry) : PutBackShortcutMarker(registry);
                EXPECT_FALSE(change.ok || change.changed || change.copiesLost);
                EXPECT_EQ(change.failedWriting, registry.failedWriting);
                EXPECT_TRUE(registry.values == before.values && registry.keys == before.keys);
                EXPECT_NE(change.Message().find("'HKEY_CURRENT_USER\\Software\\"), std::string::npos);
            }
        }
    }
}

TEST(ExplorerNaming, AKeptCopyThatIsNotTheProgramsIsNamedAndNotFollowed) {
    const Values start{{kLink, kZeroLink}, {{kKeptNamingKey, "link"}, {true, kRegSz, {'1', 0, 0, 0}}}};
    MemoryRegistry registry(start);
    const NamingChange change = PutBackShortcutMarker(registry);
    EXPECT_EQ(change.Message(),
              "'HKEY_CURRENT_USER\\Software\\moravend\\Tessalyne\\Explorer\\link' の取得に失敗しました");
    EXPECT_EQ(registry.values, start);
    // Only both of the program's values make new shortcuts carry no marker.
    EXPECT_FALSE(ShortcutMarkerStopped(registry));
}

// Ticks in an unexpected order: what the user did in between decides what
// comes back.
TEST(ExplorerNaming, TheNewestUserValueComesBackAndLostCopiesGiveTheDefault) {
    const RegistryValue mine{true, kRegSz, {'x', 0, 0, 0}};
    const RegistryValue newer{true, kRegSz, {'y', 0, 0, 0}};
    const RegistryValue ownLink{true, kRegBinary, {7, 0, 0, 0}};
    struct Row {
        const char* what;
        void (*between)(MemoryRegistry&);
        Values after;
        bool copiesLost;
    };
    const Row rows[] = {
        {"the program's key deleted by hand",
         [](MemoryRegistry& r) {
             r.values.erase({kKeptNamingKey, "ShortcutNameTemplate"});
             r.values.erase({kKeptNamingKey, "link"});
         },
         {}, true},
        {"the template changed by the user, then ticked again",
         [](MemoryRegistry& r) {
             r.values[kTemplate] = {true, kRegSz, {'y', 0, 0, 0}};
             StopShortcutMarker(r);
         },
         {{kTemplate, newer}, {kLink, ownLink}}, false},
        {"ticked twice", [](MemoryRegistry& r) { StopShortcutMarker(r); },
         {{kTemplate, mine}, {kLink, ownLink}}, false},
        {"the template changed by the user, then unticked",
         [](MemoryRegistry& r) { r.values[kTemplate] = {true, kRegSz, {'y', 0, 0, 0}}; },
         {{kTemplate, newer}, {kLink, ownLink}}, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        MemoryRegistry registry({{kTemplate, mine}, {kLink, ownLink}});
        StopShortcutMarker(registry);
        row.between(registry);
        const NamingChange change = PutBackShortcutMarker(registry);
        EXPECT_TRUE(change.ok && change.changed);
        EXPECT_EQ(change.copiesLost, row.copiesLost);
        EXPECT_EQ(registry.values, row.after);
    }
    // A value of the user's own with no copy stays; only the program's goes.
    MemoryRegistry untouched({{kTemplate, mine}, {kLink, kZeroLink}});
    const NamingChange change = PutBackShortcutMarker(untouched);
    EXPECT_EQ(untouched.values, (Values{{kTemplate, mine}}));
    EXPECT_TRUE(change.copiesLost);
    // The settings' removal puts back only what the program's record says
    // it wrote: the link the user had zeroed before stays.
    for (const bool recorded : {false, true}) {
        const Values user{{kTemplate, recorded ? mine : kNoMarkerTemplate}, {kLink, kZeroLink}};
        MemoryRegistry registry(user);
        if (recorded) StopShortcutMarker(registry);
        EXPECT_EQ(ShortcutMarkerStopRecorded(registry), recorded);
        const NamingChange removal = PutBackShortcutMarker(registry, Unrecorded::Leave);
        EXPECT_TRUE(removal.ok && removal.changed == recorded && !removal.copiesLost);
        EXPECT_EQ(registry.values, user);
        EXPECT_FALSE(ShortcutMarkerStopRecorded(registry));
    }
}

}  // namespace
