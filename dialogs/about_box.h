// TAboutBox: the version-information box with the author's contact details,
// a link to the home page and a button that downloads the latest version
// from there.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "dialogs/form.h"

namespace tsly {

// The author's details shown in the box.
inline constexpr char kAuthorName[] = "moravend";
inline constexpr char kAuthorMail[] = "tsly@moravend.example";
inline constexpr char kHomePage[] = "https://moravend.example/tessalyne/";

// The arguments with which the home page is handed to the shell.
struct ShellOpenRequest {
    std::string operation;
    std::string file;
    std::string parameters;
    std::string directory;
    int show;
};

// Hands a request to the shell (ShellExecuteW).
using ShellOpener = std::function<void(HWND owner, const ShellOpenRequest& request)>;
void OpenWithShell(HWND owner, const ShellOpenRequest& request);

class TAboutBox final : public dialogs::Form {
public:
    enum Id : int {
        Panel1 = 400,
        Version,
        Copyright,
        Label1,
        Label2,
        Label4,
        Image1,
        Panel2,
        SpeedButton1,  // 最新バージョンのダウンロード
        SpeedButton2,  // OK
        Bevel1,
        Label5,        // the home page
    };

    explicit TAboutBox(POINT position, ShellOpener opener = &OpenWithShell);

    // The home page: opened by the download button and the link alike.
    void SpeedButton1Click();
    void Label5Click();
    void SpeedButton2Click();

    // The home page in the user's associated program, with the program's
    // folder as working directory.
    static ShellOpenRequest HomePageRequest();

private:
    void OpenHomePage();
    void OnCommand(int id) override;

    ShellOpener opener_;
};

}  // namespace tsly
