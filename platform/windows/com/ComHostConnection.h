#pragma once

// How the Windows programs reach the host that started them: COM for this
// thread (a single-threaded apartment, initialised once for the run) and the
// system's running object table. Lives for the whole run; every host
// reference taken from it must be released before it is destroyed.

#include "common/host/Binding.h"
#include "platform/windows/com/ComApartment.h"
#include "platform/windows/com/ComObjectTable.h"

namespace WinCom {

class ComHostConnection {
public:
    // The table to bind the host from. `simulatedHostOptions` names what the
    // command line gave that belongs to the simulated host of the Linux
    // build (--host, --trace), "" for nothing; such a run, and one where COM
    // could not be initialised, throws std::runtime_error with the reason.
    Common::RunningObjectTable* connect(const std::wstring& simulatedHostOptions);

private:
    ComApartment apartment_;
    ComObjectTable table_;
};

}  // namespace WinCom
