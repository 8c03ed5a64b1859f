// Explorer's naming values changed and put back over a registry in memory
// that can be made to fail at any one read or write. (The round trip itself
// runs against the real registry in the dialogs' tests.)
#include "core/explorer_naming.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>

namespace {
using namespace tsly;
using Values = std::map<std::pair<std::string, std::string>, RegistryValue>;

class MemoryRegistry final : public RegistryValues {
public:
    explicit MemoryRegistry(Values start) : values(std::move(start)) {}
    bool Read(const std::string& key, const std::string& name, RegistryValue& value) override {
        if (++calls == failAt) return false;
        const auto it = values.find({key, name});
        value = it == values.end() ? RegistryValue{} : it->second;
        return true;
    }
    bool Write(const std::string& key, const std::string& name,
               const RegistryValue& value) override {
        if (++calls == failAt) return false;
        if (value.present) values[{key, name}] = value;
        else values.erase({key, name});
        return true;
    }
    Values values;
    int calls = 0;
    int failAt = 0;  // the call that fails; 0 for none
};

const std::pair<std::string, std::string> kTemplate{kNamingTemplatesKey, "ShortcutNameTemplate"};
const std::pair<std::string, std::string> kLink{kExplorerKey, "link"};
const RegistryValue kZeroLink{true, kRegBinary, {0, 0, 0, 0}};

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
        EXPECT_TRUE(StopShortcutMarker(roundTrip).changed);
        EXPECT_EQ(roundTrip.values.at(kLink), kZeroLink);
        EXPECT_TRUE(PutBackShortcutMarker(roundTrip).changed);
        EXPECT_EQ(roundTrip.values, start);
        for (const bool stop : {true, false}) {
            MemoryRegistry ready(start);
            if (!stop) StopShortcutMarker(ready);
            const Values before = ready.values;
            ready.calls = 0;
            stop ? StopShortcutMarker(ready) : PutBackShortcutMarker(ready);
            for (int failAt = 1; failAt <= ready.calls; ++failAt) {
                SCOPED_TRACE(std::to_string(failAt) + (stop ? " stop" : " put back"));
                MemoryRegistry registry(before);
                registry.failAt = failAt;
                const NamingChange change =
                    stop ? StopShortcutMarker(registry) : PutBackShortcutMarker(registry);
                EXPECT_FALSE(change.ok || change.changed);
                EXPECT_EQ(registry.values, before);
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
    EXPECT_TRUE(ShortcutMarkerStopped(registry));  // a copy is kept: the program changed them
    MemoryRegistry untouched({{kLink, kZeroLink}});
    EXPECT_FALSE(ShortcutMarkerStopped(untouched));
}

}  // namespace
