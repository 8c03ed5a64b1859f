// The main window's commands, actions, menus and tool buttons, in one place.
#pragma once

#include <array>

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
};

inline constexpr int kNoImage = -1;

// Commands offered in the menu and on the tool bar carry caption, hint and
// image; menu items and buttons take them from here.
struct ActionDef {
    CommandId id;
    const char* caption;
    const char* hint;
    int image;
};

inline constexpr std::array<ActionDef, 3> kActions{{
    {kCmdFindFolder, "検索するフォルダ(&F)", "ショートカットの検索するフォルダを指定します。", 3},
    {kCmdCutShortcut, "カットショートカット(&C)", "設定した文字列をショートカットから削除します。", 1},
    {kCmdOpenOption, "オプション設定(&O)", "オプション設定画面を開きます。", 5},
}};

const ActionDef* FindAction(int id);

// One item of the menu bar: a top-level menu opens a run of items; a null
// caption is a separator line.
struct MenuItemDef {
    bool topLevel;
    CommandId id;
    const char* caption;
    int image;
};

inline constexpr std::array<MenuItemDef, 14> kMainMenu{{
    {true, CommandId{}, "ファイル(&F)", kNoImage},                 // File1
    {false, kCmdFindFolder, "検索するフォルダ(&F)", 3},            // N4
    {false, kCmdCutShortcut, "カットショートカット(&C)", 1},       // C1
    {false, CommandId{}, nullptr, kNoImage},                       // N7
    {false, kCmdExit, "終了(&X)", kNoImage},                       // Exit1
    {true, CommandId{}, "オプション(&O)", kNoImage},               // Option1
    {false, kCmdOpenOption, "オプション設定(&O)...", 5},           // pZwe1
    {false, CommandId{}, nullptr, kNoImage},                       // N2
    {false, kCmdDeleteSettings, "レジストリ設定削除(&D)", kNoImage},  // N3
    {false, kCmdSetup, "セットアップ(&S)...", kNoImage},           // S1
    {true, CommandId{}, "ヘルプ(&H)", kNoImage},                   // Help1
    {false, kCmdHelpTopics, "トピックの検索(&H)", 4},              // SearchforHelpOn1
    {false, CommandId{}, nullptr, kNoImage},                       // N1
    {false, kCmdAbout, "バージョン情報(&A)...", 0},                // About1
}};

// Tool buttons, left to right; a null caption with no image is a separator
// of the given width. Buttons bound to an action take its image and hint.
struct ToolButtonDef {
    CommandId id;
    const char* caption;
    int image;
    int separatorWidth;
};

inline constexpr std::array<ToolButtonDef, 5> kToolButtons{{
    {kCmdFindFolder, "検索するフォルダ", 3, 0},    // TButton1
    {kCmdCutShortcut, "カットショートカット", 1, 0},  // TButton2
    {CommandId{}, nullptr, kNoImage, 8},           // ToolButton2
    {kCmdOpenOption, "オプション設定", 5, 0},      // TButton3
    {kCmdToolExit, "終了", 2, 0},                  // TButton4 (no hint)
}};

}  // namespace tsly
