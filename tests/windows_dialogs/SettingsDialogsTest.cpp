// The settings dialogs shown for real from the program's resources and
// clicked through their controls, as a user would, while their modal loop
// runs: what the user sees must follow the dialog models, and what the user
// did must come back to the caller.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <string>

#include "DialogDriver.h"
#include "exporter/dialogs/CDXSaveDialog.h"
#include "importer/dialogs/CDXLoadDialog.h"
#include "platform/windows/dialogs/ExportDialogs.h"
#include "platform/windows/dialogs/FileDialog.h"
#include "platform/windows/dialogs/ImportDialogs.h"

using namespace Importer;
using Exporter::CDXSaveSettingDialog;

namespace {

// Nothing of the platform is needed while only the settings dialogs run;
// errors are kept so that a dialog that could not be shown fails the test.
class QuietPlatform : public Common::Platform {
public:
    std::unique_ptr<Common::NamedMutex> createNamedMutex(const std::wstring&) override { return nullptr; }
    int screenPixelsPerInch() override { return 96; }
    void setUserLocale() override {}
    std::wstring moduleFileName() override { return L""; }
    bool isDirectory(const std::wstring&) override { return false; }
    std::wstring documentsFolder(std::int32_t) override { return L""; }
    bool shellOpen(const std::wstring&) override { return false; }
    void messageBox(const std::wstring&, const std::wstring&, std::int32_t) override {}
    void reportError(const std::wstring& text) override { errors += text; }
    bool isWindowMinimized(std::int32_t) override { return false; }
    Common::Registry& registry() override { throw std::logic_error("no registry in these tests"); }
    std::wstring errors;
};

using DialogDriver::click;
using DialogDriver::finish;
using DialogDriver::whenShown;

bool enabled(HWND dialog, int id)
{
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

bool checked(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

std::wstring tempIni(const char* text)
{
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + L"cedxm-dialogs-" + std::to_wstring(GetCurrentProcessId()) + L".ini";
    std::ofstream(path.c_str(), std::ios::binary) << text;
    return path;
}

TEST(ExportSettingsDialog, TableOptionEnablesThePathAndOkHandsBackWhatTheUserEntered)
{
    QuietPlatform platform;
    Exporter::CDXSaveDialog save(L"", L"");
    save.options = {0, L"", 2};
    whenShown([](HWND dialog) {
        EXPECT_TRUE(checked(dialog, CDXSaveSettingDialog::kRadioOpeningsOnly));
        EXPECT_FALSE(enabled(dialog, CDXSaveSettingDialog::kEditCsvPath));
        EXPECT_FALSE(enabled(dialog, CDXSaveSettingDialog::kButtonBrowse));
        EXPECT_FALSE(checked(dialog, CDXSaveSettingDialog::kCheckOrigin));  // origin type 2 shows a clear box
        click(dialog, CDXSaveSettingDialog::kRadioFittingTable);
        EXPECT_TRUE(enabled(dialog, CDXSaveSettingDialog::kEditCsvPath));
        EXPECT_TRUE(enabled(dialog, CDXSaveSettingDialog::kButtonBrowse));
        SetDlgItemTextW(dialog, CDXSaveSettingDialog::kEditCsvPath, L"C:\\表\\fittings.csv");
        click(dialog, CDXSaveSettingDialog::kCheckOrigin);
        click(dialog, IDOK);
    });
    save.clickSettings([&](CDXSaveSettingDialog& settings) {
        EXPECT_TRUE(Platform::runExportSettingsDialog(settings, 100, nullptr, platform));
    });
    finish();
    EXPECT_EQ(save.options.fittingType, 1);
    EXPECT_EQ(save.options.fittingPath, L"C:\\表\\fittings.csv");
    EXPECT_EQ(save.options.originType, 1);
    EXPECT_EQ(platform.errors, L"");
}

TEST(ExportSettingsDialog, CancelKeepsTheOptionsAndRestoreShowsTheIniDefaults)
{
    QuietPlatform platform;
    const std::wstring ini = tempIni("[EXPORT]\r\nFittingType=1\r\nFittingPath=table.csv\r\nOriginType=1\r\n");
    Exporter::CDXSaveDialog save(ini, L"");
    save.options = {0, L"old.csv", 0};
    whenShown([](HWND dialog) {
        click(dialog, CDXSaveSettingDialog::kButtonRestore);
        EXPECT_TRUE(checked(dialog, CDXSaveSettingDialog::kRadioFittingTable));
        EXPECT_FALSE(checked(dialog, CDXSaveSettingDialog::kRadioOpeningsOnly));
        EXPECT_TRUE(enabled(dialog, CDXSaveSettingDialog::kEditCsvPath));
        EXPECT_EQ(GetWindowTextLengthW(GetDlgItem(dialog, CDXSaveSettingDialog::kEditCsvPath)), 9);  // table.csv
        EXPECT_TRUE(checked(dialog, CDXSaveSettingDialog::kCheckOrigin));
        click(dialog, IDCANCEL);
    });
    save.clickSettings([&](CDXSaveSettingDialog& settings) {
        Platform::runExportSettingsDialog(settings, 100, nullptr, platform);
    });
    finish();
    DeleteFileW(ini.c_str());
    EXPECT_EQ(save.options.fittingType, 0);
    EXPECT_EQ(save.options.fittingPath, L"old.csv");
    EXPECT_EQ(save.options.originType, 0);
}

TEST(ExportSettingsDialog, AtScale150TheBottomButtonsAre32PixelsHighAnd7FromTheRightEdge)
{
    QuietPlatform platform;
    CDXSaveSettingDialog settings(L"");
    whenShown([](HWND dialog) {
        RECT client{};
        GetClientRect(dialog, &client);
        RECT ok{};
        GetWindowRect(GetDlgItem(dialog, IDOK), &ok);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&ok), 2);
        EXPECT_EQ(ok.bottom - ok.top, 32);
        EXPECT_EQ(client.right - ok.right, 117);  // OK: right - 217, 100 wide
        RECT cancel{};
        GetWindowRect(GetDlgItem(dialog, IDCANCEL), &cancel);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&cancel), 2);
        EXPECT_EQ(client.right - cancel.right, 7);
        EXPECT_EQ(client.bottom - cancel.bottom, 16);
        click(dialog, IDOK);
    });
    Platform::runExportSettingsDialog(settings, 150, nullptr, platform);
    finish();
    EXPECT_EQ(settings.result(), CDXSaveSettingDialog::Result::Ok);
}

TEST(ImportSettingsDialog, TableModeEnablesThePathAndTheOriginBoxesExcludeEachOther)
{
    QuietPlatform platform;
    Importer::CDXLoadDialog load(L"", L"");
    load.options = {0, 1, 2, L""};
    whenShown([](HWND dialog) {
        EXPECT_TRUE(checked(dialog, IDC_OPENING_FRAMES));
        EXPECT_TRUE(checked(dialog, IDC_ROOF_NONE));
        EXPECT_FALSE(enabled(dialog, IDC_TABLE_PATH));
        EXPECT_FALSE(enabled(dialog, IDC_BROWSE_TABLE));
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, IDC_ORIGIN_CENTRE)));
        EXPECT_TRUE(checked(dialog, IDC_ORIGIN_CENTRE));
        EXPECT_FALSE(checked(dialog, IDC_ORIGIN_LOWER_LEFT));
        click(dialog, IDC_OPENING_TABLE);
        EXPECT_TRUE(enabled(dialog, IDC_TABLE_PATH));
        EXPECT_TRUE(enabled(dialog, IDC_BROWSE_TABLE));
        SetDlgItemTextW(dialog, IDC_TABLE_PATH, L"D:\\対応表.csv");
        click(dialog, IDC_ORIGIN_LOWER_LEFT);
        EXPECT_TRUE(checked(dialog, IDC_ORIGIN_LOWER_LEFT));
        EXPECT_FALSE(checked(dialog, IDC_ORIGIN_CENTRE));
        click(dialog, IDC_ROOF_MANUAL);
        click(dialog, IDOK);
    });
    load.clickSettings([&](CDXLoadSettingDialog& settings) {
        return Platform::runImportSettingsDialog(settings, nullptr, platform);
    });
    finish();
    EXPECT_EQ(load.options.openingType, 2);
    EXPECT_EQ(load.options.roofType, 0);
    EXPECT_EQ(load.options.originType, 1);
    EXPECT_EQ(load.options.fittingPath, L"D:\\対応表.csv");
    EXPECT_EQ(platform.errors, L"");
}

TEST(ImportSettingsDialog, CancelKeepsTheOptions)
{
    QuietPlatform platform;
    Importer::CDXLoadDialog load(L"", L"");
    load.options = {1, 0, 0, L"keep.csv"};
    whenShown([](HWND dialog) {
        click(dialog, IDC_OPENING_TABLE);
        click(dialog, IDC_ORIGIN_LOWER_LEFT);
        click(dialog, IDCANCEL);
    });
    load.clickSettings([&](CDXLoadSettingDialog& settings) {
        return Platform::runImportSettingsDialog(settings, nullptr, platform);
    });
    finish();
    EXPECT_EQ(load.options.openingType, 1);
    EXPECT_EQ(load.options.originType, 0);
    EXPECT_EQ(load.options.fittingPath, L"keep.csv");
}

TEST(FileDialogFilter, FrameworkFilterBecomesItsLines)
{
    using Platform::parseFileFilter;
    const auto types = parseFileFilter(L"CEDXM XMLファイル (*.xml)|*.xml|全てのファイル (*.*)|*.*||");
    ASSERT_EQ(types.size(), 2u);
    EXPECT_EQ(types[0].first, L"CEDXM XMLファイル (*.xml)");
    EXPECT_EQ(types[0].second, L"*.xml");
    EXPECT_EQ(types[1].second, L"*.*");
    // No closing bars; two bars end the list wherever they stand; a name
    // left without patterns is dropped.
    EXPECT_EQ(parseFileFilter(L"A|*.a|B|*.b").size(), 2u);
    EXPECT_EQ(parseFileFilter(L"A||B|*.b||").size(), 0u);
    EXPECT_EQ(parseFileFilter(L"A|*.a|B||C|*.c|").size(), 1u);
    EXPECT_EQ(parseFileFilter(L"A|*.a|B").size(), 1u);
    EXPECT_TRUE(parseFileFilter(L"").empty());
    EXPECT_TRUE(parseFileFilter(L"only a name").empty());
}

}  // namespace
