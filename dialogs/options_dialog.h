// TFrmOption: the options dialog. It shows the cutting options of the
// "Settings" section and stores them when the user presses "設定".
#pragma once

#include <windows.h>

#include "dialogs/form.h"

namespace tsly {

class TFrmOption final : public dialogs::Form {
public:
    enum Id : int {
        SpeedButton2 = 200,  // ｷｬﾝｾﾙ
        Bevel2,
        SpeedButton1,        // 設定
        PageControl1,
        TabSheet1,
        Label1,
        CheckBox1,           // "Short1"
        EdtLink,             // "Char"
        Edit_cutname,        // "cutname"
        CBox2,               // "cutnameflg"
        CheckBox3,           // "CutModernMarker"
        CheckBox4,           // "CutPrefixMarker"
    };

    // Creates the dialog hidden at `position` and loads the stored values;
    // a store error is reported and the dialog opens with what was loaded.
    explicit TFrmOption(POINT position);

    void ChkEnabled();
    void CBox2Click();
    // Stores the values and closes; a store error leaves it open.
    void SpeedButton1Click();
    void SpeedButton2Click();

private:
    void FormCreate();
    void OnCommand(int id) override;
};

}  // namespace tsly
