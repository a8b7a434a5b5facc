#pragma once

#include <cstdint>
#include <string>
#include <memory>
#include <vector>

#include "common/app/ProgramRun.h"
#include "common/host/Binding.h"
#include "common/host/HostApplication.h"
#include "common/host/HostDocument.h"
#include "common/platform/Platform.h"
#include "common/report/ConversionReport.h"
#include "importer/dialogs/CDXLoadDialog.h"

namespace Importer {

// Exit status of one run.
enum ImportStatus : int {
    kImportDone = Common::kRunDone,
    kImportFailed = Common::kRunFailed,
    kImportUsage = Common::kRunUsage,
    kImportAnotherInstance = Common::kRunAnotherInstance,
    kImportRefused = Common::kRunRefused,
};

// The open dialog and its detailed settings as a user answers them: Chosen
// with the chosen file handed to `dialog`, Cancelled when the user closed
// it, Failed or NotAllowed with `failure` saying why.
class OpenDialogFrontEnd {
public:
    virtual ~OpenDialogFrontEnd() = default;
    virtual Common::DialogAnswer showOpenDialog(CDXLoadDialog& dialog, std::int32_t hostWindow,
                                                std::wstring& failure) = 0;
};

// The importer: one start imports one CEDXM file into the host's empty plan.
class CCDX2DMApp {
public:
    static constexpr const wchar_t* kMutexName = L"DomoriaCEDXMImport";
    static constexpr const wchar_t* kCaption = L"CEDXM入力";
    static constexpr const wchar_t* kRefusal =
        L"画面に作業中のデータがあります。\nCEDXMの入力は、画面に何も描いていない状態で実行してください。";
    static constexpr const wchar_t* kCompletion = L"CEDXMの入力が完了しました";

    // `options` are what the command line said besides the dialogs'
    // choices; `dialogs` are the user's or the command line's.
    CCDX2DMApp(Common::Platform& platform, Common::HostConnector& connector, Common::ProgramOptions options,
               OpenDialogFrontEnd& dialogs);

    // The whole run; returns the exit status.
    int run();

    // Kept for the run.
    std::wstring programDirectory;  // with its trailing separator
    std::wstring programBaseName;
    int screenScale = 100;
    Common::HostApplication application;
    Common::HostDocument document;

private:
    int import_();
    int finishReport(int status);
    bool drawingIsEmpty();
    void releaseHost();

    Common::Platform& platform_;
    Common::HostConnector& connector_;
    Common::ProgramOptions options_;
    OpenDialogFrontEnd& dialogs_;
    // With --report: what the run built, left out and changed.
    std::unique_ptr<Common::ConversionReport> report_;
};

}  // namespace Importer
