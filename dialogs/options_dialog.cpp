#include "dialogs/options_dialog.h"

#include "core/cut_command.h"
#include "dialogs/dialogs.h"
#include "platform/application.h"
#include "platform/settings_store.h"
#include "resources/resource.h"

namespace tsly {
namespace {

using dialogs::Kind;
using dialogs::Look;

const std::vector<dialogs::ControlDef>& Layout() {
    using F = TFrmOption;
    // In tab order, as they are laid out: the page's controls, the second
    // text's box right before the field it enables, then the buttons. Each
    // label comes right before the field it names, so that its access key
    // moves the focus there. The page control has one page: nothing to
    // switch, no tab stop.
    static const std::vector<dialogs::ControlDef> layout{
        {F::PageControl1, Kind::Tabs, 0, 10, 12, 355, 199, "", 0, Look::Plain, 0, F::TabSheet1},
        {F::TabSheet1, Kind::Panel, F::PageControl1, 0, 0, 0, 0, "設定", 0, Look::Plain, 0},
        // Wider than designed: the access key's "(A)" follows the caption.
        {F::CheckBox1, Kind::CheckBox, F::TabSheet1, 16, 14, 300, 13,
         "置き換え文字列を既存のショートカットに適用(&A)", WS_TABSTOP, Look::Plain, 0},
        {F::Label1, Kind::Label, F::TabSheet1, 32, 34, 227, 12,
         "（へのショートカット）の変わりに付ける文字列(&T)", 0, Look::Plain, 0},
        {F::EdtLink, Kind::Edit, F::TabSheet1, 36, 50, 213, 20, "", WS_TABSTOP, Look::Plain,
         0, F::Label1},
        // The markers the shell has written since Vista, in every display
        // language; on unless turned off.
        {F::CheckBox3, Kind::CheckBox, F::TabSheet1, 16, 78, 300, 13,
         "「 - ショートカット」（各言語）もカットする(&M)", WS_TABSTOP, Look::Plain, 0},
        // The older markers put before the name; off unless turned on. Each
        // box has a row of its own: the dialog is 20 pixels taller for this one.
        {F::CheckBox4, Kind::CheckBox, F::TabSheet1, 16, 98, 300, 13,
         "「Shortcut to 」など前に付く印もカットする(&P)", WS_TABSTOP, Look::Plain, 0},
        // In line with the boxes and the field above.
        {F::CBox2, Kind::CheckBox, F::TabSheet1, 16, 118, 300, 13,
         "カットする文字列を別に設定する(&C)", WS_TABSTOP, Look::Plain, 0},
        {F::Edit_cutname, Kind::Edit, F::TabSheet1, 36, 137, 213, 20, "",
         WS_TABSTOP | WS_DISABLED, Look::Plain, 0, F::CBox2},
        {F::SpeedButton1, Kind::PushButton, 0, 166, 216, 90, 23, "設定", 0, Look::Plain,
         IDB_GLYPH_NOTEPAD},
        {F::Bevel2, Kind::Bevel, 0, 264, 218, 5, 21, "", 0, Look::Plain, 0},
        {F::SpeedButton2, Kind::PushButton, 0, 274, 216, 90, 23, "ｷｬﾝｾﾙ", 0, Look::Plain,
         IDB_GLYPH_CANCEL},
    };
    return layout;
}

constexpr char kSection[] = "Settings";

}  // namespace

TFrmOption::TFrmOption(POINT position) {
    CreateForm({"TFrmOption", "オプション設定", 373, 243, SpeedButton1, SpeedButton2}, position,
               Layout());
    FormCreate();
}

void TFrmOption::FormCreate() {
    // A read that fails part way leaves the rest at their defaults.
    SetChecked(CheckBox3, true);
    try {
        const SettingsStore store(kSettingsKey);
        SetText(EdtLink, store.ReadText(kSection, "Char", ""));
        SetChecked(CheckBox1, store.ReadFlag(kSection, "Short1", false));
        SetChecked(CBox2, store.ReadFlag(kSection, "cutnameflg", false));
        SetText(Edit_cutname, store.ReadText(kSection, "cutname", ""));
        SetChecked(CheckBox3, store.ReadFlag(kSection, "CutModernMarker", true));
        SetChecked(CheckBox4, store.ReadFlag(kSection, "CutPrefixMarker", false));
    } catch (const SettingsError& e) {
        // The dialog still opens, with the values read before the error.
        win::Application::Instance().ReportError(e.what());
    }
}

void TFrmOption::ChkEnabled() { EnableWindow(Control(Edit_cutname), Checked(CBox2)); }

void TFrmOption::CBox2Click() { ChkEnabled(); }

void TFrmOption::SpeedButton1Click() {
    // A replacement the system would refuse in every name is not stored;
    // the dialog stays open to mend it.
    const NameProblem problem = CheckReplacement(Text(EdtLink));
    if (problem) {
        std::string text = problem.failure == RenameFailure::BadCharacter
                               ? "置き換え文字列に名前に使えない文字があります: "
                               : "置き換え文字列が長すぎます。";
        if (problem.failure == RenameFailure::BadCharacter) text += CharacterName(problem.character);
        win::Application::Instance().ShowMessage(text);
        SetFocus(Control(EdtLink));
        return;
    }
    // A second text that is part of ".lnk" can take a shortcut's extension:
    // kept only when the user says so.
    const std::string cutname = Text(Edit_cutname);
    if (Checked(CBox2) && CutsIntoExtension(cutname) &&
        !win::Application::Instance().Confirm(
            "カットする文字列「" + cutname + "」は拡張子「.lnk」の一部です。"
            "ファイル名から拡張子が削られると、ショートカットとして使えなくなります。"
            "この文字列のままでよろしいですか？")) {
        SetFocus(Control(Edit_cutname));
        return;
    }
    SettingsStore store(kSettingsKey);
    store.WriteText(kSection, "Char", Text(EdtLink));
    store.WriteFlag(kSection, "Short1", Checked(CheckBox1));
    store.WriteFlag(kSection, "cutnameflg", Checked(CBox2));
    // Stored also while the field is disabled, so the text is kept.
    store.WriteText(kSection, "cutname", Text(Edit_cutname));
    store.WriteFlag(kSection, "CutModernMarker", Checked(CheckBox3));
    store.WriteFlag(kSection, "CutPrefixMarker", Checked(CheckBox4));
    Close();
}

void TFrmOption::SpeedButton2Click() { Close(); }

void TFrmOption::OnCommand(int id) {
    switch (id) {
    case CBox2: CBox2Click(); break;
    case SpeedButton1: SpeedButton1Click(); break;
    case SpeedButton2: SpeedButton2Click(); break;
    default: break;
    }
}

void ShowOptionDialog(POINT position) {
    TFrmOption form(position);
    form.ShowModal();
}

}  // namespace tsly
