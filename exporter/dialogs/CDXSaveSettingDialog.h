#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "common/platform/Platform.h"
#include "exporter/dialogs/DialogControls.h"
#include "resources/dialogs/DialogIds.h"

namespace Exporter {

// The export settings dialog (template 131) without a window toolkit: the
// members the caller sets and reads, the state of its controls, and the
// user's actions as methods. The controls are what the user sees; the
// members are what the dialog hands back, exchanged as the framework does.
class CDXSaveSettingDialog {
public:
    static constexpr int kTemplateId = IDD_CDXSAVESETTINGDIALOG;
    static constexpr int kRadioOpeningsOnly = IDC_RADIO_OPENINGS;
    static constexpr int kRadioFittingTable = IDC_RADIO_FITTINGS;
    static constexpr int kEditCsvPath = IDC_EDIT_CSVPATH;
    static constexpr int kButtonBrowse = IDC_BUTTON_BROWSE;
    static constexpr int kCheckOrigin = IDC_CHECK_ORIGIN;
    static constexpr int kButtonRestore = IDC_BUTTON_RESTORE;
    static constexpr int kButtonOk = 1;
    static constexpr int kButtonCancel = 2;

    static const wchar_t* const kTitle;
    static const wchar_t* const kFont;
    static constexpr int kFontSize = 8;
    static constexpr DialogRect kSize{0, 0, 270, 123};
    static const std::array<DialogControl, 10> kControls;
    static const wchar_t* const kBrowseFilter;

    explicit CDXSaveSettingDialog(std::wstring iniPath);

    // Members.
    int fittingType = 0;    // radio group: 0 = 1008, 1 = 1009, -1 = none
    std::wstring csvPath;   // edit 1010
    int originFlag = 0;     // check box 1011

    // The initialisation of the shown dialog: controls from the members,
    // then enabling by fitting type, then the bottom buttons' layout for the
    // screen scale (clientArea in pixels).
    void initDialog(int screenScale, const DialogRect& clientArea);

    // The user's actions.
    void clickRadio(int id);                   // 1008 or 1009
    void typeCsvPath(const std::wstring& text);  // ignored while the edit box is disabled
    void setOriginCheck(bool checked);
    // The browse button: `chosen` is what the open-file dialog returned
    // (nothing when it was cancelled). Returns the folder the open-file
    // dialog opened in.
    std::wstring clickBrowse(Common::Platform& platform, const std::optional<std::wstring>& chosen);
    void clickRestoreDefaults();
    void clickOk();      // closes with OK, nothing validated
    void clickCancel();  // closes; the members keep the caller's values

    // Data exchange: true reads the controls into the members.
    void updateData(bool saveAndValidate);

    // Control state.
    int checkedRadio() const { return checkedRadio_; }  // 0, 1008, 1009
    const std::wstring& editText() const { return editText_; }
    int checkState() const { return checkState_; }
    bool csvControlsEnabled() const { return csvEnabled_; }
    // Pixel rectangle of button 1000, 1 or 2 after initDialog at scale 125 or
    // 150; nothing when the button keeps its designed place.
    std::optional<DialogRect> buttonPlacement(int id) const;

    enum class Result { Open, Ok, Cancel };
    Result result() const { return result_; }

private:
    void enableCsvControls();

    std::wstring iniPath_;
    int checkedRadio_ = 0;
    std::wstring editText_;
    int checkState_ = 0;
    bool csvEnabled_ = true;  // as designed in the template
    std::array<std::optional<DialogRect>, 3> placements_;  // 1000, 1, 2
    Result result_ = Result::Open;
};

}  // namespace Exporter
