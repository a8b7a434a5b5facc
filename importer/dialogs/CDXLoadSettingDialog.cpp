#include "importer/dialogs/CDXLoadSettingDialog.h"

#include "common/settings/Profile.h"

namespace Importer {

namespace {

constexpr const wchar_t* kSection = L"IMPORT";

// Radio group exchange: a value outside the group checks no button, and no
// checked button reads back as -1.
int radioIndex(int value, int buttons) { return value >= 0 && value < buttons ? value : -1; }

}  // namespace

CDXLoadSettingDialog::CDXLoadSettingDialog(std::wstring iniPath) : iniPath_(std::move(iniPath)) {}

const wchar_t* CDXLoadSettingDialog::title() { return L"CEDXMデータ入力詳細設定"; }

void CDXLoadSettingDialog::initDialog()
{
    controls_.centreVisible = false;
    updateData(false);
    applyTableEnabling(openingMode);
}

void CDXLoadSettingDialog::updateData(bool saveAndValidate)
{
    if (saveAndValidate) {
        openingMode = controls_.openingRadio;
        roofMode = controls_.roofRadio;
        lowerLeft = controls_.lowerLeftChecked;
        centre = controls_.centreChecked;
        csvPath = controls_.tablePath;
    } else {
        controls_.openingRadio = radioIndex(openingMode, 3);
        controls_.roofRadio = radioIndex(roofMode, 2);
        controls_.lowerLeftChecked = lowerLeft;
        controls_.centreChecked = centre;
        controls_.tablePath = csvPath;
    }
}

void CDXLoadSettingDialog::applyTableEnabling(int mode)
{
    // Only the table mode needs a table; other values leave the controls be.
    if (mode == 2) {
        controls_.tablePathEnabled = controls_.browseEnabled = true;
    } else if (mode == 0 || mode == 1) {
        controls_.tablePathEnabled = controls_.browseEnabled = false;
    }
}

void CDXLoadSettingDialog::clickOpeningRadio(int controlId)
{
    if (controlId < IDC_OPENING_FRAMES || controlId > IDC_OPENING_TABLE) {
        return;
    }
    controls_.openingRadio = controlId - IDC_OPENING_FRAMES;
    updateData(true);
    applyTableEnabling(openingMode);
}

void CDXLoadSettingDialog::clickRoofRadio(int controlId)
{
    if (controlId == IDC_ROOF_MANUAL || controlId == IDC_ROOF_NONE) {
        controls_.roofRadio = controlId - IDC_ROOF_MANUAL;
    }
}

void CDXLoadSettingDialog::clickOriginCheckBox(int controlId)
{
    bool* clicked = nullptr;
    bool* other = nullptr;
    if (controlId == IDC_ORIGIN_LOWER_LEFT) {
        clicked = &controls_.lowerLeftChecked;
        other = &controls_.centreChecked;
    } else if (controlId == IDC_ORIGIN_CENTRE) {
        clicked = &controls_.centreChecked;
        other = &controls_.lowerLeftChecked;
    } else {
        return;
    }
    *clicked = !*clicked;
    if (*clicked) {
        *other = false;
        updateData(true);
        updateData(false);
    }
}

bool CDXLoadSettingDialog::typeTablePath(const std::wstring& text)
{
    if (!controls_.tablePathEnabled) {
        return false;
    }
    controls_.tablePath = text;
    return true;
}

void CDXLoadSettingDialog::browseChosen(const std::wstring& chosenPath)
{
    csvPath = chosenPath;
    updateData(false);
}

void CDXLoadSettingDialog::restoreDefaults()
{
    if (!Common::fileExists(iniPath_)) {
        return;
    }
    // This button restores the opening mode from "FittingType", not from
    // "OpeningType" (which gives the first start its opening mode).
    openingMode = Common::readProfileInt(kSection, L"FittingType", -1, iniPath_);
    roofMode = Common::readProfileInt(kSection, L"RoofType", -1, iniPath_);
    switch (Common::readProfileInt(kSection, L"OriginType", -1, iniPath_)) {
    case 0:
        lowerLeft = centre = false;
        break;
    case 1:
        lowerLeft = true;
        centre = false;
        break;
    case 2:
        lowerLeft = false;
        centre = true;
        break;
    default:
        // The check boxes stay as the user left them.
        lowerLeft = controls_.lowerLeftChecked;
        centre = controls_.centreChecked;
        break;
    }
    csvPath = Common::readProfileString(kSection, L"FittingPath", iniPath_);
    updateData(false);
    applyTableEnabling(openingMode);
}

void CDXLoadSettingDialog::ok() { updateData(true); }

}  // namespace Importer
