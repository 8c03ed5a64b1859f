// The status bar's two parts: the left one's width as chosen (the stored
// value; it follows the DPI), and where the parts actually meet, worked out
// from their texts so that the counts on the right are not cut while the
// left part has room to spare.
#pragma once

#include <windows.h>

#include <string>

namespace tsly {

// The text of one part of a status bar.
std::wstring StatusBarText(HWND bar, int part);
// The width the right part (the counts) needs to show `text` whole.
int RightPartNeed(HWND bar, const std::wstring& text, UINT dpi);

class StatusParts {
public:
    void Attach(HWND bar) { bar_ = bar; }
    int Preferred() const { return preferred_; }
    void SetPreferred(int width) { preferred_ = width; }
    void Scale(UINT toDpi, UINT fromDpi) {
        preferred_ = MulDiv(preferred_, static_cast<int>(toDpi), static_cast<int>(fromDpi));
    }
    // Sets the parts for the bar's width and texts now.
    void Fit(UINT dpi) const;

private:
    HWND bar_ = nullptr;
    int preferred_ = 0;
};

}  // namespace tsly
