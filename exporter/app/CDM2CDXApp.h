#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/app/ProgramRun.h"
#include "common/host/Binding.h"
#include "common/host/HostApplication.h"
#include "common/host/HostDocument.h"
#include "common/platform/Platform.h"
#include "common/report/ConversionReport.h"
#include "exporter/dialogs/CDXSaveDialog.h"

namespace Exporter {

// Exit statuses of DM2CDX.
enum ExitStatus : int {
    kExitDone = Common::kRunDone,
    kExitFailed = Common::kRunFailed,
    kExitUsage = Common::kRunUsage,
    kExitAnotherInstance = Common::kRunAnotherInstance,
};

// Shows the save dialog modally: acts as the user on it and tells how it
// ended: OK with a file chosen, cancelled, or not shown at all (`failure`
// then says why).
class SaveDialogFrontEnd {
public:
    virtual ~SaveDialogFrontEnd() = default;
    virtual Common::DialogAnswer showSaveDialog(CDXSaveDialog& dialog, int screenScale, std::wstring& failure) = 0;
};

// The exporter's application object: one export per start, all of it in
// run(), which returns the process exit status.
class CDM2CDXApp {
public:
    static constexpr const wchar_t* kMutexName = L"DomoriaCEDXMExport";
    static constexpr const wchar_t* kCompletionText = L"CEDXMの出力が完了しました";
    static constexpr const wchar_t* kCompletionCaption = L"CEDXM出力";

    // `options` are what the command line said besides the dialogs'
    // choices; with a report named there, the report is written at the end
    // of a run that got as far as reading the plan, and its summary printed
    // after the completion message.
    CDM2CDXApp(Common::Platform& platform, Common::HostConnector& connector, Common::ProgramOptions options,
               SaveDialogFrontEnd& dialogs);

    int run();

    // What the run prepared, for inspection after run().
    const std::wstring& programDirectory() const { return programDirectory_; }
    const std::wstring& programBaseName() const { return programBaseName_; }
    const std::wstring& iniPath() const { return iniPath_; }
    const std::wstring& readMePath() const { return readMePath_; }
    int screenScale() const { return screenScale_; }
    std::int32_t hostWindow() const { return hostWindow_; }
    int openingExtendType() const { return openingExtendType_; }

private:
    int export_();
    int finishReport(int status);
    void releaseHost();
    void preparePaths();

    Common::Platform& platform_;
    Common::HostConnector& connector_;
    Common::ProgramOptions options_;
    SaveDialogFrontEnd& dialogs_;

    std::wstring programDirectory_;
    std::wstring programBaseName_;
    std::wstring iniPath_;
    std::wstring readMePath_;
    Common::HostApplication application_;
    Common::HostDocument document_;
    int screenScale_ = 100;
    std::int32_t hostWindow_ = 0;
    int openingExtendType_ = 0;
    std::unique_ptr<Common::ConversionReport> report_;
};

}  // namespace Exporter
