#include <gtest/gtest.h>

#include "AppSupport.h"
#include "importer/dialogs/CDXLoadDialog.h"

using namespace Importer;

namespace {

std::wstring iniWith(const std::string& name, const std::string& importSection)
{
    const auto dir = AppSupport::testDir(name);
    AppSupport::writeFile(dir / "CDX2DM.ini", "[IMPORT]\r\n" + importSection);
    return Common::fromUtf8((dir / "CDX2DM.ini").string());
}

// Opens the settings from a load dialog with these options, lets `act`
// click, and presses OK (or cancel when `act` says so).
Common::ImportOptions settle(Common::ImportOptions options, const std::wstring& ini,
                             const std::function<bool(CDXLoadSettingDialog&)>& act)
{
    CDXLoadDialog dialog(ini, L"");
    dialog.options = options;
    dialog.clickSettings(act);
    return dialog.options;
}

}  // namespace

TEST(LoadSettingDialog, TableControlsFollowTheOpeningMode)
{
    CDXLoadSettingDialog dialog(L"");
    dialog.openingMode = 0;
    dialog.initDialog();
    EXPECT_FALSE(dialog.controls().tablePathEnabled);
    EXPECT_FALSE(dialog.controls().browseEnabled);
    EXPECT_FALSE(dialog.typeTablePath(L"x.csv"));
    dialog.clickOpeningRadio(IDC_OPENING_TABLE);
    EXPECT_EQ(dialog.openingMode, 2);
    EXPECT_TRUE(dialog.controls().tablePathEnabled);
    EXPECT_TRUE(dialog.controls().browseEnabled);
    EXPECT_TRUE(dialog.typeTablePath(L"x.csv"));
    dialog.clickOpeningRadio(IDC_OPENING_NONE);
    EXPECT_FALSE(dialog.controls().tablePathEnabled);

    // No radio selected (-1) leaves the controls as they are: enabled.
    CDXLoadSettingDialog none(L"");
    none.openingMode = -1;
    none.initDialog();
    EXPECT_EQ(none.controls().openingRadio, -1);
    EXPECT_TRUE(none.controls().tablePathEnabled);
    // A value outside the group selects nothing and reads back as -1.
    CDXLoadSettingDialog odd(L"");
    odd.openingMode = 5;
    odd.roofMode = 7;
    odd.initDialog();
    odd.ok();
    EXPECT_EQ(odd.openingMode, -1);
    EXPECT_EQ(odd.roofMode, -1);
}

TEST(LoadSettingDialog, OriginCheckBoxesExcludeEachOther)
{
    // Origin type 2 (registry) shows no visible box checked and survives OK.
    Common::ImportOptions centre;
    centre.originType = 2;
    EXPECT_EQ(settle(centre, L"",
                     [](CDXLoadSettingDialog& d) {
                         EXPECT_FALSE(d.controls().centreVisible);
                         EXPECT_TRUE(d.controls().centreChecked);
                         EXPECT_FALSE(d.controls().lowerLeftChecked);
                         return true;
                     })
                  .originType,
              2);
    // Checking lower-left clears the hidden centre box.
    EXPECT_EQ(settle(centre, L"",
                     [](CDXLoadSettingDialog& d) {
                         d.clickOriginCheckBox(IDC_ORIGIN_LOWER_LEFT);
                         EXPECT_FALSE(d.controls().centreChecked);
                         return true;
                     })
                  .originType,
              1);
    // Unchecking lower-left again gives 0; any other type opens with both clear.
    Common::ImportOptions odd;
    odd.originType = 3;
    EXPECT_EQ(settle(odd, L"",
                     [](CDXLoadSettingDialog& d) {
                         EXPECT_FALSE(d.controls().lowerLeftChecked);
                         d.clickOriginCheckBox(IDC_ORIGIN_LOWER_LEFT);
                         d.clickOriginCheckBox(IDC_ORIGIN_LOWER_LEFT);
                         return true;
                     })
                  .originType,
              0);
    // Cancel keeps everything, including an odd origin type.
    Common::ImportOptions kept;
    kept.openingType = 1;
    kept.originType = 3;
    kept.fittingPath = L"a.csv";
    const auto after = settle(kept, L"", [](CDXLoadSettingDialog& d) {
        d.clickOpeningRadio(IDC_OPENING_FRAMES);
        d.clickOriginCheckBox(IDC_ORIGIN_LOWER_LEFT);
        return false;
    });
    EXPECT_EQ(after.openingType, 1);
    EXPECT_EQ(after.originType, 3);
    EXPECT_EQ(after.fittingPath, L"a.csv");
}

TEST(LoadSettingDialog, RestoreDefaultsReadsFittingType)
{
    // OpeningType is for the first start; the button reads FittingType.
    const std::wstring onlyOpening = iniWith("restore1", "OpeningType=2\r\nRoofType=1\r\nFittingPath=t.csv\r\n");
    Common::ImportOptions options;
    options.originType = 1;
    const auto restored = settle(options, onlyOpening, [](CDXLoadSettingDialog& d) {
        d.restoreDefaults();
        EXPECT_EQ(d.controls().openingRadio, -1);
        EXPECT_EQ(d.controls().tablePath, L"t.csv");
        EXPECT_TRUE(d.controls().lowerLeftChecked);  // OriginType absent: boxes stay
        return true;
    });
    EXPECT_EQ(restored.openingType, -1);
    EXPECT_EQ(restored.roofType, 1);
    EXPECT_EQ(restored.originType, 1);
    EXPECT_EQ(restored.fittingPath, L"t.csv");

    const std::wstring full = iniWith("restore2", "FittingType=2\r\nRoofType=0\r\nOriginType=2\r\nFittingPath=f.csv\r\n");
    const auto second = settle(Common::ImportOptions(), full, [](CDXLoadSettingDialog& d) {
        d.restoreDefaults();
        EXPECT_TRUE(d.controls().tablePathEnabled);
        return true;
    });
    EXPECT_EQ(second.openingType, 2);
    EXPECT_EQ(second.originType, 2);
    EXPECT_EQ(second.fittingPath, L"f.csv");

    // Without an ini file the button changes nothing.
    Common::ImportOptions start;
    start.openingType = 1;
    start.fittingPath = L"keep.csv";
    const auto unchanged = settle(start, L"/nonexistent/CDX2DM.ini", [](CDXLoadSettingDialog& d) {
        d.restoreDefaults();
        return true;
    });
    EXPECT_EQ(unchanged.openingType, 1);
    EXPECT_EQ(unchanged.fittingPath, L"keep.csv");
}

TEST(LoadDialog, ReadmeButtonOpensTheReadme)
{
    AppSupport::FakePlatform platform;
    CDXLoadDialog dialog(L"x.ini", L"/prog/CDX2DM_ReadMe.txt");
    dialog.clickReadme(platform);
    ASSERT_EQ(platform.opened.size(), 1u);
    EXPECT_EQ(platform.opened[0], L"/prog/CDX2DM_ReadMe.txt");
    EXPECT_EQ(dialog.options.openingType, 0);
    EXPECT_EQ(dialog.options.roofType, 0);
    EXPECT_EQ(dialog.options.originType, 0);
    EXPECT_EQ(dialog.options.fittingPath, L"");
}
