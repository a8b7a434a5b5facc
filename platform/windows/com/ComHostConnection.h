#pragma once

// How the Windows programs reach the host that started them: COM for this
// thread (a single-threaded apartment, initialised once for the run) and the
// system's running object table. Lives for the whole run; every host
// reference taken from it must be released before it is destroyed.

#include "common/app/ProgramRun.h"
#include "common/host/Binding.h"
#include "platform/windows/com/ComApartment.h"
#include "platform/windows/com/ComObjectTable.h"

namespace WinCom {

class ComHostConnection : public Common::HostConnector {
public:
    // The table to bind the host from. A command line with options of the
    // simulated host of the Linux build (--host, --trace), and a run where
    // COM could not be initialised, throw std::runtime_error with the
    // reason. What an import built stays in the host's drawing; saving it
    // is the user's choice there (keepImport keeps its default).
    Common::RunningObjectTable* connect(const Common::ProgramOptions& options) override;

private:
    ComApartment apartment_;
    ComObjectTable table_;
};

}  // namespace WinCom
