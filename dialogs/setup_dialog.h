// TFrmSetup: the setup dialog. It makes or removes shortcuts to the program
// on the desktop, in the Send To menu and in the start-up folder, makes the
// shell name new shortcuts without the marker or puts its naming back, and
// keeps the three shortcut choices in the "Setup" section.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "dialogs/form.h"

namespace tsly {

class TFrmSetup final : public dialogs::Form {
public:
    enum Id : int {
        CheckBox1 = 300,  // desktop, "DeskTop"
        CheckBox2,        // Send To, "SendTo"
        GroupBox1,
        Memo1,
        Panel1,
        SpeedButton1,     // 設定
        SpeedButton2,     // ｷｬﾝｾﾙ
        CheckBox3,        // start-up, "StartUp"
        CheckBox4,        // no marker on new shortcuts, from Explorer's own values
    };

    // Creates the dialog hidden at `position` and ticks the stored choices;
    // a store error is reported and the dialog opens with what was loaded.
    explicit TFrmSetup(POINT position);

    // Changes Explorer's naming of new shortcuts, makes or removes the
    // shortcuts, stores the choices, tells the user and closes. A naming
    // change that fails (and is undone) or a store error leaves it open.
    void SpeedButton1Click();
    void SpeedButton2Click();

    // With `create` set, creates or replaces "<description>.lnk" in the
    // special folder `folderId`, aimed at `programPath` and starting in
    // `workingFolder`; otherwise deletes that file. Done when the folder
    // holds what was asked for afterwards (a file already gone counts);
    // LeftAlone when a file of that name is not a shortcut to `programPath`
    // (it is never replaced nor deleted); Moved when done over a shortcut to
    // a program of the same name that is gone (this one before a move).
    enum class Change { Done, Failed, LeftAlone, Moved };
    static Change MakeShortcut(const std::string& workingFolder, const std::string& programPath,
                             const std::string& description, int folderId, bool create);

    // The program shortcut's path in a special folder; empty when the
    // folder cannot be found.
    static std::string ShortcutPath(int folderId, const std::string& description);

private:
    void FormCreate();
    void OnCommand(int id) override;

    bool shownNoMarker_ = false;  // what Explorer did when the dialog opened
};

// The folders ("デスクトップ"...) whose program shortcut the stored choices
// ask for; the setup key stays while there are any. Reads without making
// the key.
std::vector<std::string> ChosenShortcutFolders();

}  // namespace tsly
