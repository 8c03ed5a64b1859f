// The main window's commands, actions, menus and tool buttons, in one place:
// when each command is allowed and which keys run it are decided here, for
// the menus, the tool bar, the pop-up menu, the list and the keyboard alike.
// Texts are UTF-16: the menu and tool bar keep pointers to them.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>

namespace tsly {

enum CommandId : int {
    kCmdFindFolder = 100,   // Action_find_folder
    kCmdCutShortcut,        // Action_cutshout
    kCmdOpenOption,         // Action_open_option
    kCmdExit,               // Exit1
    kCmdToolExit,           // TButton4
    kCmdDeleteSettings,     // N3
    kCmdSetup,              // S1
    kCmdHelpTopics,         // SearchforHelpOn1
    kCmdAbout,              // About1
    kCmdClearList,          // N6
    kCmdUndo,               // Action_undo
    kCmdHistory,            // History1: every kept cut, to undo or forget
    kCmdCheckAll,           // pop-up menu: every row ticked
    kCmdUncheckAll,         // pop-up menu: every row unticked
    // Offered by keys, clicks and dropping rather than by a menu item.
    kCmdTickRows,           // the focused row and the selected ones, or a clicked box
    kCmdEditRow,            // the focused row's path edited in place
    kCmdSelectAllRows,
    kCmdDropFiles,          // files and folders dropped on the window
    kCmdStopWork,           // the running cut, undo or scan stops after this file
    kCmdContextHelp,        // the help at the section of the window with the focus
};

// What must hold for a command to do anything.
enum class When : std::uint8_t {
    Always,
    RowsListed,
    RowTicked,      // some row is ticked: there is something to cut
    RowFocused,
    UndoAvailable,  // TFrmMain::CanUndo
    WorkRunning,
};

// Each command's rule. `refusedWhileBusy`: while a cut, an undo or a scan
// runs it beeps and does nothing, because it would change the list under
// the work or open a second modal loop; `enabled`: when its menu item and
// tool button are enabled and its keys act (a key whose command is not
// enabled goes on to the window as if unbound).
struct CommandRule {
    CommandId id;
    bool refusedWhileBusy;
    When enabled;
};

inline constexpr std::array<CommandRule, 20> kCommandRules{{
    {kCmdFindFolder, true, When::Always},
    {kCmdCutShortcut, true, When::RowTicked},
    {kCmdOpenOption, true, When::Always},
    {kCmdExit, false, When::Always},
    {kCmdToolExit, false, When::Always},
    {kCmdDeleteSettings, true, When::Always},
    {kCmdSetup, true, When::Always},
    {kCmdHelpTopics, false, When::Always},
    {kCmdAbout, true, When::Always},
    {kCmdClearList, true, When::Always},
    {kCmdUndo, true, When::UndoAvailable},
    {kCmdHistory, true, When::Always},
    {kCmdCheckAll, true, When::RowsListed},
    {kCmdUncheckAll, true, When::RowsListed},
    {kCmdTickRows, true, When::RowFocused},
    {kCmdEditRow, true, When::RowFocused},
    {kCmdSelectAllRows, true, When::RowsListed},
    {kCmdDropFiles, true, When::Always},
    {kCmdStopWork, false, When::WorkRunning},
    {kCmdContextHelp, false, When::Always},
}};

// The rule of a command; commands without one are always allowed.
inline constexpr const CommandRule* FindRule(int id) {
    for (const CommandRule& rule : kCommandRules) {
        if (rule.id == id) return &rule;
    }
    return nullptr;
}

// Where a key acts: in any window of the program, anywhere in the main
// window (in-place edit included), or in the list itself (not in its edit).
enum class KeyScope : std::uint8_t { Program, MainWindow, List };

struct KeyBinding {
    UINT key;
    bool control;
    KeyScope scope;
    CommandId id;
    const wchar_t* text;  // shown beside the menu item; null for none
};

inline constexpr std::array<KeyBinding, 7> kKeyBindings{{
    {VK_F1, false, KeyScope::Program, kCmdContextHelp, nullptr},
    {VK_ESCAPE, false, KeyScope::MainWindow, kCmdStopWork, nullptr},
    {'Z', true, KeyScope::List, kCmdUndo, L"Ctrl+Z"},
    {'H', true, KeyScope::List, kCmdHistory, L"Ctrl+H"},
    {'A', true, KeyScope::List, kCmdSelectAllRows, nullptr},
    {VK_SPACE, false, KeyScope::List, kCmdTickRows, nullptr},
    {VK_F2, false, KeyScope::List, kCmdEditRow, nullptr},
}};

// The binding of a key pressed in `scope`, or null.
inline constexpr const KeyBinding* FindKey(UINT key, bool control, KeyScope scope) {
    for (const KeyBinding& binding : kKeyBindings) {
        if (binding.key == key && binding.control == control && binding.scope == scope) {
            return &binding;
        }
    }
    return nullptr;
}

// The key text shown beside a command's menu item, or null.
inline constexpr const wchar_t* KeyTextOf(int id) {
    for (const KeyBinding& binding : kKeyBindings) {
        if (binding.id == id && binding.text) return binding.text;
    }
    return nullptr;
}

inline constexpr int kNoImage = -1;

// Commands offered in the menu and on the tool bar carry caption, hint and
// image; menu items and buttons take them from here.
struct ActionDef {
    CommandId id;
    const wchar_t* caption;
    const wchar_t* hint;
    int image;
};

inline constexpr std::array<ActionDef, 3> kActions{{
    {kCmdFindFolder, L"検索するフォルダ(&F)", L"ショートカットの検索するフォルダを指定します。", 3},
    {kCmdCutShortcut, L"カットショートカット(&C)", L"設定した文字列をショートカットから削除します。", 1},
    {kCmdOpenOption, L"オプション設定(&O)", L"オプション設定画面を開きます。", 5},
}};

const ActionDef* FindAction(int id);

// One item of the menu bar: a top-level menu opens a run of items; a null
// caption is a separator line.
// A command's key (KeyTextOf) is shown at the item's right.
struct MenuItemDef {
    bool topLevel;
    CommandId id;
    const wchar_t* caption;
    int image;
};

inline constexpr std::array<MenuItemDef, 16> kMainMenu{{
    {true, CommandId{}, L"ファイル(&F)", kNoImage},                 // File1
    {false, kCmdFindFolder, L"検索するフォルダ(&F)", 3},            // N4
    {false, kCmdCutShortcut, L"カットショートカット(&C)", 1},       // C1
    {false, kCmdUndo, L"元に戻す(&U)", kNoImage},                  // N8
    {false, kCmdHistory, L"履歴(&H)...", kNoImage},                 // History1
    {false, CommandId{}, nullptr, kNoImage},                       // N7
    {false, kCmdExit, L"終了(&X)", kNoImage},                       // Exit1
    {true, CommandId{}, L"オプション(&O)", kNoImage},               // Option1
    {false, kCmdOpenOption, L"オプション設定(&O)...", 5},           // pZwe1
    {false, CommandId{}, nullptr, kNoImage},                       // N2
    {false, kCmdDeleteSettings, L"レジストリ設定削除(&D)", kNoImage},  // N3
    {false, kCmdSetup, L"セットアップ(&S)...", kNoImage},           // S1
    {true, CommandId{}, L"ヘルプ(&H)", kNoImage},                   // Help1
    {false, kCmdHelpTopics, L"トピックの検索(&H)", 4},              // SearchforHelpOn1
    {false, CommandId{}, nullptr, kNoImage},                       // N1
    {false, kCmdAbout, L"バージョン情報(&A)...", 0},                // About1
}};

// The list's pop-up menu (PopupMenu2); its first item is the default.
struct PopupItemDef {
    CommandId id;
    const wchar_t* caption;  // null: a separator line
};

inline constexpr std::array<PopupItemDef, 4> kPopupMenu{{
    {kCmdClearList, L"クリア(&L)"},  // N6
    {CommandId{}, nullptr},
    {kCmdCheckAll, L"すべてチェック(&A)"},
    {kCmdUncheckAll, L"すべて外す(&N)"},
}};

// Tool buttons, left to right; a null caption with no image is a separator
// of the given width. Buttons bound to an action take its image and hint.
struct ToolButtonDef {
    CommandId id;
    const wchar_t* caption;
    int image;
    int separatorWidth;
};

inline constexpr std::array<ToolButtonDef, 5> kToolButtons{{
    {kCmdFindFolder, L"検索するフォルダ", 3, 0},    // TButton1
    {kCmdCutShortcut, L"カットショートカット", 1, 0},  // TButton2
    {CommandId{}, nullptr, kNoImage, 8},           // ToolButton2
    {kCmdOpenOption, L"オプション設定", 5, 0},      // TButton3
    {kCmdToolExit, L"終了", 2, 0},                  // TButton4 (no hint)
}};

}  // namespace tsly
