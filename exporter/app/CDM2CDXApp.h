#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/host/Binding.h"
#include "common/host/HostApplication.h"
#include "common/host/HostDocument.h"
#include "common/platform/Platform.h"
#include "common/report/ConversionReport.h"
#include "exporter/dialogs/CDXSaveDialog.h"

namespace Exporter {

// Exit statuses of DM2CDX.
enum ExitStatus : int {
    kExitDone = 0,
    kExitFailed = 1,
    kExitUsage = 2,
    kExitAnotherInstance = 3,
};

// Shows the save dialog modally: acts as the user on it and tells whether it
// ended with OK (a file chosen) or not.
class SaveDialogFrontEnd {
public:
    virtual ~SaveDialogFrontEnd() = default;
    virtual bool showSaveDialog(CDXSaveDialog& dialog, int screenScale) = 0;
};

// The table of running host objects, asked for when the run binds the host.
// Null means no host is running. May throw (a plan file that cannot be
// loaded); the run reports that and ends.
using HostConnector = std::function<Common::RunningObjectTable*()>;

// The exporter's application object: one export per start, all of it in
// run(), which returns the process exit status.
class CDM2CDXApp {
public:
    static constexpr const wchar_t* kMutexName = L"DomoriaCEDXMExport";
    static constexpr const wchar_t* kCompletionText = L"CEDXMの出力が完了しました";
    static constexpr const wchar_t* kCompletionCaption = L"CEDXM出力";

    // `arguments` are the command-line arguments after the program name.
    CDM2CDXApp(Common::Platform& platform, HostConnector connector, std::vector<std::wstring> arguments,
               SaveDialogFrontEnd& dialogs);

    int run();

    // Writes the conversion report to `path` at the end of a run that got as
    // far as reading the plan, and prints its summary after the completion
    // message.
    void requestReport(std::wstring path) { reportPath_ = std::move(path); }

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
    void preparePaths();

    Common::Platform& platform_;
    HostConnector connector_;
    std::vector<std::wstring> arguments_;
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
    std::wstring reportPath_;
    std::unique_ptr<Common::ConversionReport> report_;
};

}  // namespace Exporter
