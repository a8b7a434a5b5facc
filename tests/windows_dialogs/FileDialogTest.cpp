// The platform's file dialog as the programs ask for it, shown for real: the
// added buttons reach the caller with the dialog's own window, a cancelled
// dialog gives nothing and no error, a typed name comes back as a full path
// with the default extension.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "DialogDriver.h"
#include "platform/windows/dialogs/FileDialog.h"

namespace {

HWND childWithText(HWND dialog, const std::wstring& text)
{
    struct Search {
        const std::wstring& text;
        HWND found;
    } search{text, nullptr};
    EnumChildWindows(
        dialog,
        [](HWND child, LPARAM context) -> BOOL {
            auto* s = reinterpret_cast<Search*>(context);
            wchar_t buffer[64] = {};
            GetWindowTextW(child, buffer, 64);
            if (s->text == buffer) {
                s->found = child;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring tempFolder()
{
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    std::wstring path(folder);
    while (!path.empty() && path.back() == L'\\') {
        path.pop_back();
    }
    return path;
}

Platform::FileDialogRequest saveRequest(std::vector<std::pair<HWND, DWORD>>& clicks)
{
    Platform::FileDialogRequest request;
    request.save = true;
    request.filter = L"CEDXM XMLファイル (*.xml)|*.xml|全てのファイル (*.*)|*.*||";
    request.defaultExtension = L"xml";
    request.folder = tempFolder();
    request.overwritePrompt = true;
    request.buttons = {{1, L"お読みください"}, {2, L"詳細設定"}};
    request.prominentButton = 2;
    request.onButton = [&clicks](HWND window, DWORD id) { clicks.emplace_back(window, id); };
    return request;
}

TEST(FileDialog, AddedButtonsReachTheCallerWithTheDialogWindowAndCancelGivesNothing)
{
    std::vector<std::pair<HWND, DWORD>> clicks;
    HWND shown = nullptr;
    DialogDriver::whenShown([&](HWND dialog) {
        shown = dialog;
        const HWND settings = childWithText(dialog, L"詳細設定");
        const HWND readMe = childWithText(dialog, L"お読みください");
        EXPECT_NE(settings, nullptr);
        EXPECT_NE(readMe, nullptr);
        DialogDriver::click(settings);
        DialogDriver::click(readMe);
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    });
    std::wstring error;
    const auto chosen = Platform::showFileDialog(saveRequest(clicks), nullptr, error);
    DialogDriver::finish();
    EXPECT_FALSE(chosen.has_value());
    EXPECT_EQ(error, L"");
    ASSERT_EQ(clicks.size(), 2u);
    EXPECT_EQ(clicks[0].second, 2u);
    EXPECT_EQ(clicks[1].second, 1u);
    EXPECT_NE(clicks[0].first, nullptr);
    EXPECT_EQ(clicks[0].first, shown);  // what the click opens is owned by the dialog
}

TEST(FileDialog, TypedNameComesBackAsAFullPathWithTheDefaultExtension)
{
    std::vector<std::pair<HWND, DWORD>> clicks;
    DialogDriver::whenShown([](HWND dialog) {
        // The file name box is the dialog's focused edit control.
        HWND edit = GetFocus();
        wchar_t kind[16] = {};
        GetClassNameW(edit, kind, 16);
        EXPECT_EQ(std::wstring(kind), L"Edit");
        SetWindowTextW(edit, L"山田邸");
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    });
    std::wstring error;
    const auto chosen = Platform::showFileDialog(saveRequest(clicks), nullptr, error);
    DialogDriver::finish();
    ASSERT_TRUE(chosen.has_value()) << std::string(error.begin(), error.end());
    EXPECT_EQ(*chosen, tempFolder() + L"\\山田邸.xml");
    EXPECT_TRUE(clicks.empty());
}

}  // namespace
