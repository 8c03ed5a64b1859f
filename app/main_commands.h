// The main window's commands, actions, menus and tool buttons, in one place.
// Texts are UTF-16: the menu and tool bar keep pointers to them.
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
    kCmdUndo,               // Action_undo
    kCmdCheckAll,           // pop-up menu: every row ticked
    kCmdUncheckAll,         // pop-up menu: every row unticked
};

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
struct MenuItemDef {
    bool topLevel;
    CommandId id;
    const wchar_t* caption;
    int image;
};

inline constexpr std::array<MenuItemDef, 15> kMainMenu{{
    {true, CommandId{}, L"ファイル(&F)", kNoImage},                 // File1
    {false, kCmdFindFolder, L"検索するフォルダ(&F)", 3},            // N4
    {false, kCmdCutShortcut, L"カットショートカット(&C)", 1},       // C1
    {false, kCmdUndo, L"元に戻す(&U)", kNoImage},                  // N8
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
