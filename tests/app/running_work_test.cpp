// The running work on its own: a scan through a made-up tree, with a
// message-only window standing in for the main window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/main_commands.h"
#include "app/running_work.h"

namespace tsly {
namespace {

class MessageWindow final : public win::Window {
public:
    MessageWindow() {
        RegisterClass("TslyWorkTest", nullptr, nullptr);
        CreateWindowFor(0, "TslyWorkTest", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr);
    }
    ~MessageWindow() override { DestroyWindow(hwnd()); }
};

// Every folder holds a shortcut and a folder: deeper than the scan goes.
struct EndlessDirs : DirEnumerator {
    struct Listing : DirListing {
        int next = 0;
        bool Next(DirEntry& e) override {
            if (next == 2) return false;
            e = next++ == 0 ? DirEntry{"d", kAttrDirectory} : DirEntry{"x.lnk", 0x20};
            return true;
        }
    };
    std::unique_ptr<DirListing> Open(const std::string&) override { return std::make_unique<Listing>(); }
    std::optional<FolderId> Identity(const std::string&) override { return std::nullopt; }
};

struct WorkTest : ::testing::Test {
    MessageWindow window;
    std::vector<std::string> told;
    RunningWork work{window, {[&] { told.push_back("started"); }, [&] { told.push_back("ended"); },
                              nullptr, nullptr, nullptr}};
    EndlessDirs dirs;
    int found = 0;
};

TEST_F(WorkTest, AScanRefusesCommandsWhileItRunsAndCountsTheFoldersTooDeep) {
    EXPECT_FALSE(work.Refuses(kCmdCutShortcut));
    const bool ran = work.Scan("C:\\", dirs, {[&](std::string&&) {
        if (++found == 1) {
            EXPECT_TRUE(work.Busy() && work.Scanning());
            // What would change the list or the settings under the work.
            for (int id : {kCmdCutShortcut, kCmdDeleteSettings, kCmdCheckAll}) EXPECT_TRUE(work.Refuses(id)) << id;
            EXPECT_FALSE(work.Refuses(kCmdStopWork));
        }
    }, [](bool) {}, [&] { told.push_back("scan ended"); }});
    EXPECT_TRUE(ran);
    EXPECT_EQ(told, (std::vector<std::string>{"started", "scan ended", "ended"}));
    EXPECT_FALSE(work.Busy() || work.Scanning());
    EXPECT_EQ(found, kMaxScanDepth + 1);
    EXPECT_EQ(work.ScanCountText(7), "7 個のファイルが見つかりました。（深すぎて調べなかったフォルダ 1 個）");
}

TEST_F(WorkTest, ACloseDuringTheWorkStopsItAndComesAgainAtItsEnd) {
    EXPECT_FALSE(work.PutOffClose());  // nothing runs: the close goes ahead
    const bool ran = work.Scan("C:\\", dirs, {[&](std::string&&) {
        if (++found == 3) {
            EXPECT_TRUE(work.PutOffClose());
        }
    }, [](bool) {}, [] {}});
    EXPECT_FALSE(ran);
    EXPECT_EQ(found, 3);
    MSG msg{};
    EXPECT_TRUE(PeekMessageW(&msg, window.hwnd(), WM_CLOSE, WM_CLOSE, PM_REMOVE));
    EXPECT_FALSE(work.CuttingGoesOn());
}

}  // namespace
}  // namespace tsly
