#include "dialogs/about_box.h"

#include <shellapi.h>

#include "dialogs/dialogs.h"
#include "dialogs/panel.h"
#include "dialogs/program_path.h"
#include "platform/application.h"
#include "platform/text.h"
#include "resources/resource.h"

namespace tsly {
namespace {

using dialogs::Kind;
using dialogs::Look;

constexpr char kCopyright[] = "Copyright (C) 2003-2026 moravend";

const std::vector<dialogs::ControlDef>& Layout() {
    using F = TAboutBox;
    // OK comes first in tab order and takes the focus; the link after the
    // download button.
    static const std::vector<dialogs::ControlDef> layout{
        {F::Panel2, Kind::Panel, 0, 46, 122, 279, 29, "", dialogs::kBevelRaisedOuter,
         Look::Plain, 0},
        {F::SpeedButton2, Kind::PushButton, F::Panel2, 200, 4, 75, 21, "OK", 0, Look::Plain,
         0},
        {F::SpeedButton1, Kind::PushButton, F::Panel2, 4, 4, 185, 21,
         "最新バージョンのダウンロード", 0, Look::Plain, IDB_GLYPH_HOUSE},
        {F::Bevel1, Kind::Bevel, F::Panel2, 194, 4, 5, 21, "", 0, Look::Plain, 0},
        {F::Panel1, Kind::Panel, 0, 0, 0, 325, 121, "",
         dialogs::kBevelLoweredOuter | dialogs::kBevelRaisedInner, Look::Plain, 0},
        {F::Version, Kind::Label, F::Panel1, 120, 16, 59, 12, "Version1.30", 0,
         Look::DarkBlue, 0},
        {F::Copyright, Kind::Label, F::Panel1, 110, 101, 206, 12, kCopyright, 0,
         Look::DarkBlue, 0},
        {F::Label1, Kind::Label, F::Panel1, 56, 16, 55, 12, "Tessalyne", 0, Look::DarkBlue, 0},
        {F::Label2, Kind::Label, F::Panel1, 56, 36, 124, 12, "ショートカット編集ツール", 0,
         Look::Plain, 0},
        // Kept to its right edge: no address of the domain is as narrow as
        // the designed 108 pixels in every Japanese UI font.
        {F::Label4, Kind::Label, F::Panel1, 206, 67, 108, 12, kAuthorMail, SS_RIGHT,
         Look::DarkBlue, 0},
        {F::Image1, Kind::Image, F::Panel1, 12, 12, 35, 37, "", 0, Look::Plain, 0},
        // A push button drawn as a link: Tab reaches it, Enter opens it.
        {F::Label5, Kind::PushButton, F::Panel1, 62, 84, 253, 12, kHomePage, 0, Look::Link, 0},
    };
    return layout;
}

}  // namespace

void OpenWithShell(HWND owner, const ShellOpenRequest& request) {
    // Nothing is reported when the shell cannot open it; the box stays.
    ShellExecuteW(owner, win::ToWide(request.operation).c_str(),
                  win::ToWide(request.file).c_str(), win::ToWide(request.parameters).c_str(),
                  win::ToWide(request.directory).c_str(), request.show);
}

TAboutBox::TAboutBox(POINT position, ShellOpener opener) : opener_(std::move(opener)) {
    // Enter and Escape close the box, as OK does.
    CreateForm({"TAboutBox", "バージョン情報", 325, 151, SpeedButton2, SpeedButton2}, position,
               Layout());
}

ShellOpenRequest TAboutBox::HomePageRequest() {
    // Empty parameters, not none: the shell gets a text either way.
    return ShellOpenRequest{"open", kHomePage, "", ProgramFolder(), SW_SHOWDEFAULT};
}

void TAboutBox::OpenHomePage() {
    win::Application::Instance().ProcessMessages();
    opener_(hwnd(), HomePageRequest());
}

void TAboutBox::SpeedButton1Click() { OpenHomePage(); }
void TAboutBox::Label5Click() { OpenHomePage(); }
void TAboutBox::SpeedButton2Click() { Close(); }

void TAboutBox::OnCommand(int id) {
    switch (id) {
    case SpeedButton1: SpeedButton1Click(); break;
    case Label5: Label5Click(); break;
    case SpeedButton2: SpeedButton2Click(); break;
    default: break;
    }
}

void ShowAboutBox(POINT position) {
    TAboutBox form(position);
    form.ShowModal();
}

}  // namespace tsly
