#pragma once

#include <cstdint>
#include <string>
#include <memory>
#include <vector>

#include "common/host/Binding.h"
#include "common/host/HostApplication.h"
#include "common/host/HostDocument.h"
#include "common/platform/Platform.h"
#include "common/report/ConversionReport.h"
#include "importer/app/ImportCommandLine.h"
#include "importer/dialogs/CDXLoadDialog.h"

namespace Importer {

// Exit status of one run.
enum ImportStatus : int {
    kImportDone = 0,
    kImportFailed = 1,
    kImportUsage = 2,
    kImportAnotherInstance = 3,
    kImportRefused = 4,
};

// How the program reaches the host it is started from.
class HostConnector {
public:
    virtual ~HostConnector() = default;
    // The running object table in which the host named on the command line
    // is registered; null when there is none. May throw (a plan that cannot
    // be loaded): the run then fails with that message.
    virtual Common::RunningObjectTable* connect(const ImportCommandLine& commandLine) = 0;
    // Keeps what the import built (the simulated host saves its plan). False
    // with `error` set when that failed.
    virtual bool keepImport(std::wstring& error) = 0;
};

// The open dialog and its detailed settings as a user answers them: true
// with the chosen file handed to `dialog`, false when the user cancelled.
class OpenDialogFrontEnd {
public:
    virtual ~OpenDialogFrontEnd() = default;
    virtual bool showOpenDialog(CDXLoadDialog& dialog, std::int32_t hostWindow) = 0;
};

// The importer: one start imports one CEDXM file into the host's empty plan.
class CCDX2DMApp {
public:
    static constexpr const wchar_t* kMutexName = L"DomoriaCEDXMImport";
    static constexpr const wchar_t* kCaption = L"CEDXM入力";
    static constexpr const wchar_t* kRefusal =
        L"画面に作業中のデータがあります。\nCEDXMの入力は、画面に何も描いていない状態で実行してください。";
    static constexpr const wchar_t* kCompletion = L"CEDXMの入力が完了しました";

    // Where the platform has dialogs a user answers (`userDialogs`), a start
    // with nothing but the host's window handle, as the host starts the
    // program, shows them; any option makes the command line stand in for
    // them.
    CCDX2DMApp(Common::Platform& platform, HostConnector& connector, OpenDialogFrontEnd* userDialogs = nullptr);

    // The start-up routine: the whole run. `arguments` are those after the
    // program name. Returns the exit status.
    int initInstance(const std::vector<std::wstring>& arguments);

    // Kept for the run.
    std::wstring programDirectory;  // with its trailing separator
    std::wstring programBaseName;
    int screenScale = 100;
    Common::HostApplication application;
    Common::HostDocument document;

private:
    int run(const std::vector<std::wstring>& arguments);
    int runCaught(const std::vector<std::wstring>& arguments);
    int finishReport(int status);
    bool drawingIsEmpty();
    void releaseHost();

    Common::Platform& platform_;
    HostConnector& connector_;
    OpenDialogFrontEnd* userDialogs_;
    // With --report: what the run built, left out and changed.
    std::unique_ptr<Common::ConversionReport> report_;
    std::wstring reportPath_;
    std::int32_t hostWindow_ = 0;
};

}  // namespace Importer
