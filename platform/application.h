// The application object: the invisible application window that carries the
// task-bar button and the title, the message loops and the filter that sees
// every queued message of every loop, and the two ways of telling the user
// something (the error report and the plain message box).
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace tsly::win {

class Application {
public:
    static Application& Instance();

    // Creates the application window; call once before any other window.
    void Initialize();

    HWND Handle() const { return handle_; }
    const std::string& Title() const { return title_; }
    void SetTitle(std::string title);
    const std::string& HelpFile() const { return helpFile_; }
    void SetHelpFile(std::string path) { helpFile_ = std::move(path); }

    // Sees every message any loop of this thread takes from the queue,
    // before it is dispatched; returning true swallows the message.
    void SetMessageFilter(std::function<bool(MSG&)> filter);

    // Runs the message loop until WM_QUIT; returns its exit code.
    int Run();
    // Lets every pending message run once; the thread timer `held`, if
    // any, is taken from the queue without running (its caller does its
    // work itself).
    void ProcessMessages(UINT_PTR held = 0);
    // Shows `dialog` modally: the program's other windows are disabled
    // until `finished` says so or the dialog is gone.
    void RunModal(HWND dialog, const std::function<bool()>& finished);

    // The error report: stop icon, application title; a "." is added when
    // the message does not end in one.
    void ReportError(const std::string& message);
    // The plain message box: title, message, OK; centred on the screen.
    void ShowMessage(const std::string& message);
    // A question with OK and Cancel; true for OK.
    bool Confirm(const std::string& question);

    // Run when the application window is asked to restore itself by a sent
    // (not queued) WM_SYSCOMMAND, which the filter cannot see.
    void SetRestoreHandler(std::function<void()> handler) {
        restoreHandler_ = std::move(handler);
    }
    // Hands the focus from the invisible application window to the topmost
    // window it owns that takes input (an open dialog, or else the main
    // window); false when there is none.
    bool FocusOwnedWindow();
    // The topmost window the application window owns that takes input;
    // `visible`: shown ones only.
    HWND OwnedInputWindow(bool visible) const;

    // The window of this thread that is active and visible, or else the
    // application window: the owner of boxes and shell dialogs.
    HWND ActiveWindowOrSelf() const;

private:
    int ShowBox(const std::string& text, UINT flags);
    Application() = default;
    static LRESULT CALLBACK GetMessageHook(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK WindowProcedure(HWND hwnd, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    bool DispatchOne(MSG& msg);

    HWND handle_ = nullptr;
    HHOOK hook_ = nullptr;
    std::string title_;
    std::string helpFile_;
    std::function<bool(MSG&)> filter_;
    std::function<void()> restoreHandler_;
};

// Hands activation back, when it goes out of scope, to the window that was
// active when it was made (a box or a shell dialog has closed meanwhile).
class ActivationKeeper {
public:
    ActivationKeeper();
    ~ActivationKeeper();
    ActivationKeeper(const ActivationKeeper&) = delete;
    ActivationKeeper& operator=(const ActivationKeeper&) = delete;

private:
    HWND before_;
};

}  // namespace tsly::win
