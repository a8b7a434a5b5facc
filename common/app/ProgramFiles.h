#pragma once

#include <string>
#include <vector>

// The files one command line names, checked together before a run touches
// any of them.

namespace Common {

struct NamedFile {
    std::wstring option;  // "--output", as the user wrote it
    std::wstring path;
    bool read = false;     // the run reads it
    bool written = false;  // the run writes or appends to it
};

// kRunDone when the files can be used as named. A file written that is also
// one read or another one written (by any spelling, also through a link) is
// a usage error (kRunUsage): the run would destroy its own input. A file
// written whose folder does not exist or is no folder, or that is itself a
// folder, a device or a pipe, fails (kRunFailed) before anything is done,
// not after the whole conversion. `problem` says
// which options and files.
int checkNamedFiles(const std::vector<NamedFile>& files, std::wstring& problem);

}  // namespace Common
