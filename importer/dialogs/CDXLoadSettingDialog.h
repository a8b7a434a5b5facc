#pragma once

#include <string>

#include "resources/dialogs/DialogIds.h"

namespace Importer {


// The detailed import settings: how wall openings and roofs are handled,
// the correspondence table and where the plan is moved after reading.
//
// A toolkit-free model of the modal dialog: the members are what the
// caller sets and reads back; `controls` is what the user sees and clicks.
// Data exchange moves values between the two exactly where the dialog
// framework would.
class CDXLoadSettingDialog {
public:
    explicit CDXLoadSettingDialog(std::wstring iniPath);

    // Members (data exchange targets).
    int openingMode = 0;  // 0 temporary frames, 1 nothing, 2 table; -1 none selected
    int roofMode = 0;     // 0 manual roof faces, 1 no roofs; -1 none selected
    bool lowerLeft = false;
    bool centre = false;
    std::wstring csvPath;

    // What the controls show.
    struct Controls {
        int openingRadio = -1;  // index in the group 1003..1005, -1 none checked
        int roofRadio = -1;     // index in the group 1006..1007
        bool lowerLeftChecked = false;
        bool centreChecked = false;
        bool centreVisible = false;
        std::wstring tablePath;
        bool tablePathEnabled = true;
        bool browseEnabled = true;
    };
    const Controls& controls() const { return controls_; }

    // Shows the dialog: controls from the members, then the enabling rule.
    void initDialog();
    // Moves values between members and controls (true: controls to members).
    void updateData(bool saveAndValidate);

    // User actions. A click on a radio button of the opening group reads the
    // controls and enables the table controls only for the table mode.
    void clickOpeningRadio(int controlId);
    void clickRoofRadio(int controlId);
    // Toggles a check box; the two origin boxes exclude each other. The
    // centre box is hidden: only the command line reaches it.
    void clickOriginCheckBox(int controlId);
    // Types into the table path box; false when the box is disabled.
    bool typeTablePath(const std::wstring& text);
    // The browse button's file dialog confirmed with `chosenPath`.
    void browseChosen(const std::wstring& chosenPath);
    // "初期設定に戻す": the ini file's IMPORT defaults, only when it exists.
    void restoreDefaults();
    // OK: the controls are read into the members.
    void ok();

    // Title, as the template gives it.
    static const wchar_t* title();

private:
    void applyTableEnabling(int mode);

    std::wstring iniPath_;
    Controls controls_;
};

}  // namespace Importer
