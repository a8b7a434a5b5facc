#include "exporter/dialogs/CDXSaveSettingDialog.h"

#include "common/settings/Profile.h"

namespace Exporter {

const wchar_t* const CDXSaveSettingDialog::kTitle = L"CEDXMデータ出力詳細設定";
const wchar_t* const CDXSaveSettingDialog::kFont = L"MS Shell Dlg";
const wchar_t* const CDXSaveSettingDialog::kBrowseFilter = L"CSVファイル (*.csv)|*.csv|全てのファイル (*.*)|*.*||";

// The same controls, texts and places as resources/dialogs/DM2CDX.rc.
const std::array<DialogControl, 10> CDXSaveSettingDialog::kControls = {{
    {-1, ControlKind::GroupBox, L"壁開口の処理", {6, 6, 258, 72}},
    {kRadioOpeningsOnly, ControlKind::RadioButton, L"開口として出力する(建具情報は出力しない)", {12, 18, 210, 10}},
    {kRadioFittingTable, ControlKind::RadioButton, L"対応表(CSV)を使って建具情報も出力する", {12, 36, 210, 10}},
    {-1, ControlKind::StaticText, L"適用ファイル", {24, 54, 56, 8}},
    {kEditCsvPath, ControlKind::EditBox, L"", {72, 51, 144, 14}},
    {kButtonBrowse, ControlKind::PushButton, L"参照", {222, 51, 36, 14}},
    {kCheckOrigin, ControlKind::CheckBox, L"全体を一つの象限に収まるように出力座標をオフセット", {12, 84, 216, 10}},
    {kButtonRestore, ControlKind::PushButton, L"初期設定に戻す", {78, 102, 74, 14}},
    {kButtonOk, ControlKind::DefaultPushButton, L"OK", {156, 102, 50, 14}},
    {kButtonCancel, ControlKind::PushButton, L"キャンセル", {210, 102, 50, 14}},
}};

namespace {

struct ScaledButtons {
    int scale;
    // Offsets from the right and bottom edges, then width and height, for
    // buttons 1000, 1 and 2.
    int place[3][4];
};

const ScaledButtons kScaledButtons[] = {
    {125, {{314, 40, 125, 27}, {180, 40, 83, 27}, {90, 40, 83, 27}}},
    {150, {{377, 48, 150, 32}, {217, 48, 100, 32}, {107, 48, 100, 32}}},
};

}  // namespace

CDXSaveSettingDialog::CDXSaveSettingDialog(std::wstring iniPath) : iniPath_(std::move(iniPath)) {}

void CDXSaveSettingDialog::updateData(bool saveAndValidate)
{
    if (saveAndValidate) {
        fittingType = checkedRadio_ == kRadioOpeningsOnly ? 0 : checkedRadio_ == kRadioFittingTable ? 1 : -1;
        csvPath = editText_;
        originFlag = checkState_;
    } else {
        // A value that names no button of the group leaves none checked.
        checkedRadio_ = fittingType == 0 ? kRadioOpeningsOnly : fittingType == 1 ? kRadioFittingTable : 0;
        editText_ = csvPath;
        checkState_ = originFlag;
    }
}

// Openings only has no use for a table; any other value leaves the
// controls as they are.
void CDXSaveSettingDialog::enableCsvControls()
{
    if (fittingType == 0) {
        csvEnabled_ = false;
    } else if (fittingType == 1) {
        csvEnabled_ = true;
    }
}

void CDXSaveSettingDialog::initDialog(int screenScale, const DialogRect& clientArea)
{
    result_ = Result::Open;
    updateData(false);
    enableCsvControls();
    placements_ = {};
    for (const ScaledButtons& s : kScaledButtons) {
        if (s.scale != screenScale) {
            continue;
        }
        const int right = clientArea.x + clientArea.width;
        const int bottom = clientArea.y + clientArea.height;
        for (std::size_t i = 0; i < placements_.size(); ++i) {
            placements_[i] = DialogRect{right - s.place[i][0], bottom - s.place[i][1], s.place[i][2], s.place[i][3]};
        }
    }
}

std::optional<DialogRect> CDXSaveSettingDialog::buttonPlacement(int id) const
{
    switch (id) {
    case kButtonRestore:
        return placements_[0];
    case kButtonOk:
        return placements_[1];
    case kButtonCancel:
        return placements_[2];
    default:
        return std::nullopt;
    }
}

void CDXSaveSettingDialog::clickRadio(int id)
{
    if (id != kRadioOpeningsOnly && id != kRadioFittingTable) {
        return;
    }
    checkedRadio_ = id;
    updateData(true);
    enableCsvControls();
}

void CDXSaveSettingDialog::typeCsvPath(const std::wstring& text)
{
    if (csvEnabled_) {
        editText_ = text;
    }
}

void CDXSaveSettingDialog::setOriginCheck(bool checked)
{
    checkState_ = checked ? 1 : 0;
}

std::wstring CDXSaveSettingDialog::clickBrowse(Common::Platform& platform, const std::optional<std::wstring>& chosen)
{
    // The open-file dialog starts in the folder it remembers; without one it
    // opens in the user's documents folder.
    std::wstring folder;
    if (!platform.isDirectory(folder)) {
        folder = platform.documentsFolder(0);
    }
    if (chosen) {
        // Whatever the user changed in the other controls is kept: the
        // controls are read before they are refreshed with the new path.
        updateData(true);
        csvPath = *chosen;
        updateData(false);
    }
    return folder;
}

void CDXSaveSettingDialog::clickRestoreDefaults()
{
    if (!Common::fileExists(iniPath_)) {
        return;
    }
    fittingType = Common::readProfileInt(L"EXPORT", L"FittingType", -1, iniPath_);
    csvPath = Common::readProfileString(L"EXPORT", L"FittingPath", iniPath_);
    originFlag = Common::readProfileInt(L"EXPORT", L"OriginType", 0, iniPath_) == 1 ? 1 : 0;
    enableCsvControls();
    updateData(false);
}

void CDXSaveSettingDialog::clickOk()
{
    updateData(true);
    result_ = Result::Ok;
}

void CDXSaveSettingDialog::clickCancel()
{
    result_ = Result::Cancel;
}

}  // namespace Exporter
