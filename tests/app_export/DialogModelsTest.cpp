#include <gtest/gtest.h>

#include <fstream>

#include "support/FakePlatform.h"
#include "common/text/Encoding.h"
#include "exporter/dialogs/CDXSaveDialog.h"
#include "exporter/dialogs/CDXSaveSettingDialog.h"
#include "support/TempFolder.h"

using namespace Exporter;
using Dlg = CDXSaveSettingDialog;

namespace {

std::wstring writeIni(TestSupport::TempFolder& folder, const std::string& text)
{
    const std::string path = folder.file("DM2CDX.ini");
    std::ofstream(path) << "\xEF\xBB\xBF" << text;
    return Common::fromUtf8(path);
}

Dlg shown(int fittingType, std::wstring csv = L"", int origin = 0, int scale = 100)
{
    Dlg d(L"/nonexistent/DM2CDX.ini");
    d.fittingType = fittingType;
    d.csvPath = std::move(csv);
    d.originFlag = origin;
    d.initDialog(scale, DialogRect{0, 0, 405, 199});
    return d;
}

TEST(SettingsDialog, OpeningsOnlyDisablesTheTableControlsUntilTheTableOptionIsClicked)
{
    Dlg d = shown(0, L"old.csv");
    EXPECT_EQ(d.checkedRadio(), Dlg::kRadioOpeningsOnly);
    EXPECT_EQ(d.editText(), L"old.csv");
    EXPECT_FALSE(d.csvControlsEnabled());
    d.typeCsvPath(L"ignored.csv");  // a disabled edit box takes no typing
    d.clickRadio(Dlg::kRadioFittingTable);
    EXPECT_TRUE(d.csvControlsEnabled());
    EXPECT_EQ(d.fittingType, 1);
    d.typeCsvPath(L"table.csv");
    d.clickRadio(Dlg::kRadioOpeningsOnly);  // reads every control
    EXPECT_FALSE(d.csvControlsEnabled());
    EXPECT_EQ(d.fittingType, 0);
    EXPECT_EQ(d.csvPath, L"table.csv");
}

TEST(SettingsDialog, NoFittingChoiceSelectsNoRadioAndComesBackUnchanged)
{
    Dlg d = shown(-1);
    EXPECT_EQ(d.checkedRadio(), 0);
    EXPECT_TRUE(d.csvControlsEnabled());  // as designed
    d.clickOk();
    EXPECT_EQ(d.result(), Dlg::Result::Ok);
    EXPECT_EQ(d.fittingType, -1);
    // A value naming no button also selects none and reads back as -1.
    Dlg other = shown(7);
    EXPECT_EQ(other.checkedRadio(), 0);
    other.clickOk();
    EXPECT_EQ(other.fittingType, -1);
}

TEST(SettingsDialog, OkAcceptsAnEmptyTablePathWithoutQuestion)
{
    Dlg d = shown(1, L"");
    d.setOriginCheck(true);
    d.clickOk();
    EXPECT_EQ(d.fittingType, 1);
    EXPECT_EQ(d.csvPath, L"");
    EXPECT_EQ(d.originFlag, 1);
}

TEST(SettingsDialog, ButtonLayoutFollowsTheScreenScale)
{
    const DialogRect client{0, 0, 600, 300};
    Dlg d(L"x.ini");
    d.initDialog(150, client);
    EXPECT_EQ(d.buttonPlacement(Dlg::kButtonRestore), (DialogRect{600 - 377, 300 - 48, 150, 32}));
    EXPECT_EQ(d.buttonPlacement(Dlg::kButtonOk), (DialogRect{600 - 217, 300 - 48, 100, 32}));
    const DialogRect cancel = *d.buttonPlacement(Dlg::kButtonCancel);
    EXPECT_EQ(cancel.height, 32);
    EXPECT_EQ(client.width - (cancel.x + cancel.width), 7);  // ends 7 pixels from the right edge

    d.initDialog(125, client);
    EXPECT_EQ(d.buttonPlacement(Dlg::kButtonRestore), (DialogRect{600 - 314, 300 - 40, 125, 27}));
    EXPECT_EQ(d.buttonPlacement(Dlg::kButtonOk), (DialogRect{600 - 180, 300 - 40, 83, 27}));
    EXPECT_EQ(d.buttonPlacement(Dlg::kButtonCancel), (DialogRect{600 - 90, 300 - 40, 83, 27}));

    for (const int scale : {100, 120, 175}) {
        d.initDialog(scale, client);
        EXPECT_FALSE(d.buttonPlacement(Dlg::kButtonOk)) << scale;
    }
}

TEST(SettingsDialog, RestoreDefaultsTakesTheIniValuesOnlyWhenTheFileExists)
{
    Dlg missing = shown(1, L"mine.csv", 1);
    missing.clickRestoreDefaults();
    EXPECT_EQ(missing.fittingType, 1);
    EXPECT_EQ(missing.editText(), L"mine.csv");
    EXPECT_EQ(missing.checkState(), 1);

    TestSupport::TempFolder folder;
    const std::wstring ini = writeIni(folder, "[EXPORT]\nFittingType=0\nFittingPath=標準.csv\nOriginType=2\n");
    Dlg d(ini);
    d.fittingType = 1;
    d.csvPath = L"mine.csv";
    d.originFlag = 1;
    d.initDialog(100, DialogRect{});
    d.clickRestoreDefaults();
    EXPECT_EQ(d.checkedRadio(), Dlg::kRadioOpeningsOnly);
    EXPECT_EQ(d.editText(), L"標準.csv");
    EXPECT_EQ(d.checkState(), 0);  // only OriginType 1 checks the box
    EXPECT_FALSE(d.csvControlsEnabled());

    // A key that is missing gives its default: no fitting choice, and the
    // controls keep their enabling.
    const std::wstring empty = writeIni(folder, "[EXPORT]\nOriginType=1\n");
    Dlg e(empty);
    e.fittingType = 0;
    e.initDialog(100, DialogRect{});
    e.clickRestoreDefaults();
    EXPECT_EQ(e.checkedRadio(), 0);
    EXPECT_FALSE(e.csvControlsEnabled());
    EXPECT_EQ(e.checkState(), 1);
}

TEST(SettingsDialog, BrowseOpensInDocumentsAndKeepsOtherChoices)
{
    TestSupport::FakePlatform platform;
    Dlg d = shown(1, L"old.csv");
    d.setOriginCheck(true);  // not yet read into the members
    EXPECT_EQ(d.clickBrowse(platform, std::nullopt), L"/home/user/Documents");
    EXPECT_EQ(d.editText(), L"old.csv");  // cancelled: the path stays
    EXPECT_EQ(d.checkState(), 1);
    d.clickBrowse(platform, L"/data/表.csv");
    EXPECT_EQ(d.editText(), L"/data/表.csv");
    EXPECT_EQ(d.checkState(), 1);
    d.clickOk();
    EXPECT_EQ(d.csvPath, L"/data/表.csv");
    EXPECT_EQ(d.originFlag, 1);
}

TEST(SaveDialog, SettingsAreTakenOverOnlyOnOk)
{
    CDXSaveDialog save(L"/nonexistent/DM2CDX.ini", L"/prog/readme.txt");
    EXPECT_EQ(save.options.fittingType, 0);
    EXPECT_EQ(save.options.originType, 0);
    save.options.originType = 2;
    int seenFlag = -1;
    save.clickSettings([&](Dlg& d) {
        d.initDialog(100, DialogRect{});
        seenFlag = d.checkState();
        d.clickRadio(Dlg::kRadioFittingTable);
        d.typeCsvPath(L"t.csv");
        d.clickCancel();
    });
    EXPECT_EQ(seenFlag, 0);  // origin type 2 shows a clear check box
    EXPECT_EQ(save.options.fittingType, 0);
    EXPECT_EQ(save.options.originType, 2);

    save.clickSettings([](Dlg& d) {
        d.initDialog(100, DialogRect{});
        d.clickOk();
    });
    EXPECT_EQ(save.options.originType, 0);  // the clear box comes back as 0

    save.clickSettings([](Dlg& d) {
        d.initDialog(100, DialogRect{});
        d.clickRadio(Dlg::kRadioFittingTable);
        d.typeCsvPath(L"t.csv");
        d.setOriginCheck(true);
        d.clickOk();
    });
    EXPECT_EQ(save.options.fittingType, 1);
    EXPECT_EQ(save.options.fittingPath, L"t.csv");
    EXPECT_EQ(save.options.originType, 1);
}

TEST(SaveDialog, ReadMeButtonAndChosenFile)
{
    TestSupport::FakePlatform platform;
    CDXSaveDialog save(L"/p/DM2CDX.ini", L"/p/readme.txt");
    save.clickReadMe(platform);
    EXPECT_EQ(platform.opened, std::vector<std::wstring>({L"/p/readme.txt"}));
    EXPECT_FALSE(save.confirmed());
    save.chooseFile(L"/home/u/山田邸.v2.xml");
    EXPECT_TRUE(save.confirmed());
    EXPECT_EQ(save.pathName(), L"/home/u/山田邸.v2.xml");
    EXPECT_EQ(save.fileTitle(), L"山田邸.v2");
    save.chooseFile(L"/home/u/plan");
    EXPECT_EQ(save.fileTitle(), L"plan");
}

}  // namespace
