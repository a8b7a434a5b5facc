#include "platform/windows/dialogs/FileDialog.h"

#include <shobjidl.h>
#include <shlobj.h>
#include <wrl/client.h>

#include <cstdint>

namespace Platform {

namespace {

using Microsoft::WRL::ComPtr;

std::wstring describe(const wchar_t* step, HRESULT hr)
{
    wchar_t code[16];
    wsprintfW(code, L"0x%08X", static_cast<unsigned>(hr));
    return std::wstring(step) + L" failed (" + code + L")";
}

// Hands the clicks on the added buttons to the request. Lives on the stack
// for the time the dialog is shown, so reference counting is not needed to
// free it.
class DialogEvents : public IFileDialogEvents, public IFileDialogControlEvents {
public:
    explicit DialogEvents(const FileDialogRequest& request) : request_(request) {}
    virtual ~DialogEvents() = default;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override
    {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IFileDialogEvents)) {
            *object = static_cast<IFileDialogEvents*>(this);
        } else if (IsEqualIID(riid, IID_IFileDialogControlEvents)) {
            *object = static_cast<IFileDialogControlEvents*>(this);
        } else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    // IFileDialogEvents: nothing but the defaults.
    HRESULT STDMETHODCALLTYPE OnFileOk(IFileDialog*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnFolderChanging(IFileDialog*, IShellItem*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnFolderChange(IFileDialog*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnSelectionChange(IFileDialog*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShareViolation(IFileDialog*, IShellItem*, FDE_SHAREVIOLATION_RESPONSE*) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE OnTypeChange(IFileDialog*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnOverwrite(IFileDialog*, IShellItem*, FDE_OVERWRITE_RESPONSE*) override
    {
        return E_NOTIMPL;
    }

    // IFileDialogControlEvents
    HRESULT STDMETHODCALLTYPE OnItemSelected(IFileDialogCustomize*, DWORD, DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnButtonClicked(IFileDialogCustomize* customize, DWORD id) override
    {
        if (!request_.onButton) {
            return S_OK;
        }
        HWND window = nullptr;
        ComPtr<IOleWindow> oleWindow;
        if (SUCCEEDED(customize->QueryInterface(IID_PPV_ARGS(&oleWindow)))) {
            oleWindow->GetWindow(&window);
        }
        request_.onButton(window, id);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnCheckButtonToggled(IFileDialogCustomize*, DWORD, BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnControlActivating(IFileDialogCustomize*, DWORD) override { return S_OK; }

private:
    const FileDialogRequest& request_;
};

// COM for this thread while the dialog is shown; the programs have set up
// their apartment already, so this only counts up and down.
class ApartmentScope {
public:
    ApartmentScope() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ApartmentScope()
    {
        if (initialised_) {
            CoUninitialize();
        }
    }
    ApartmentScope(const ApartmentScope&) = delete;
    ApartmentScope& operator=(const ApartmentScope&) = delete;

private:
    bool initialised_;
};

}  // namespace

std::vector<FileType> parseFileFilter(const std::wstring& filter)
{
    std::vector<std::wstring> parts;
    std::size_t start = 0;
    while (start <= filter.size()) {
        const std::size_t bar = filter.find(L'|', start);
        if (bar == std::wstring::npos) {
            parts.push_back(filter.substr(start));
            break;
        }
        parts.push_back(filter.substr(start, bar - start));
        start = bar + 1;
    }
    std::vector<FileType> types;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].empty() || parts[i + 1].empty()) {
            break;
        }
        types.emplace_back(parts[i], parts[i + 1]);
    }
    return types;
}

HWND windowOrNull(std::int32_t window)
{
    // Window handles are 32-bit values even in 64-bit processes; the host
    // passes them sign-extended.
    HWND handle = reinterpret_cast<HWND>(static_cast<std::intptr_t>(window));
    return window != 0 && IsWindow(handle) ? handle : nullptr;
}

std::optional<std::wstring> showFileDialog(const FileDialogRequest& request, HWND owner, std::wstring& error)
{
    ApartmentScope apartment;
    ComPtr<IFileDialog> dialog;
    HRESULT hr = CoCreateInstance(request.save ? CLSID_FileSaveDialog : CLSID_FileOpenDialog, nullptr,
                                  CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&dialog));
    if (FAILED(hr)) {
        error = describe(L"creating the file dialog", hr);
        return std::nullopt;
    }

    const std::vector<FileType> types = parseFileFilter(request.filter);
    std::vector<COMDLG_FILTERSPEC> filterTypes;
    for (const FileType& type : types) {
        filterTypes.push_back(COMDLG_FILTERSPEC{type.first.c_str(), type.second.c_str()});
    }
    if (!filterTypes.empty()) {
        dialog->SetFileTypes(static_cast<UINT>(filterTypes.size()), filterTypes.data());
        dialog->SetFileTypeIndex(1);
    }
    if (!request.defaultExtension.empty()) {
        dialog->SetDefaultExtension(request.defaultExtension.c_str());
    }
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    options |= FOS_FORCEFILESYSTEM;
    if (request.overwritePrompt) {
        options |= FOS_OVERWRITEPROMPT;
    }
    dialog->SetOptions(options);
    if (!request.folder.empty()) {
        ComPtr<IShellItem> folder;
        if (SUCCEEDED(SHCreateItemFromParsingName(request.folder.c_str(), nullptr, IID_PPV_ARGS(&folder)))) {
            dialog->SetFolder(folder.Get());
        }
    }

    DialogEvents events(request);
    DWORD cookie = 0;
    bool advised = false;
    if (!request.buttons.empty()) {
        ComPtr<IFileDialogCustomize> customize;
        hr = dialog->QueryInterface(IID_PPV_ARGS(&customize));
        if (FAILED(hr)) {
            error = describe(L"adding buttons to the file dialog", hr);
            return std::nullopt;
        }
        for (const FileDialogRequest::PushButton& button : request.buttons) {
            customize->AddPushButton(button.id, button.text.c_str());
        }
        if (request.prominentButton != 0) {
            customize->MakeProminent(request.prominentButton);
        }
        advised = SUCCEEDED(dialog->Advise(&events, &cookie));
    }

    hr = dialog->Show(owner);
    if (advised) {
        dialog->Unadvise(cookie);
    }
    if (hr == HRESULT_FROM_WIN32(ERROR_CANCELLED)) {
        return std::nullopt;
    }
    if (FAILED(hr)) {
        error = describe(L"showing the file dialog", hr);
        return std::nullopt;
    }
    ComPtr<IShellItem> result;
    hr = dialog->GetResult(&result);
    PWSTR path = nullptr;
    if (SUCCEEDED(hr)) {
        hr = result->GetDisplayName(SIGDN_FILESYSPATH, &path);
    }
    if (FAILED(hr) || path == nullptr) {
        error = describe(L"reading the chosen file", hr);
        return std::nullopt;
    }
    std::wstring chosen(path);
    CoTaskMemFree(path);
    return chosen;
}

}  // namespace Platform
