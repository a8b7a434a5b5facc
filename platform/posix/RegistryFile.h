#pragma once

#include <functional>
#include <memory>
#include <string>

#include "common/platform/Registry.h"

namespace Platform {

// The current user's registry kept in a text file of the Windows .reg form:
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_CURRENT_USER\Software\Tavrel\CEDXM]
//   "ExportFittingType"=dword:00000001
//   "ExportFittingPath"="C:\\data\\fitting.csv"
//
// Key paths are relative to HKEY_CURRENT_USER; key and value names compare
// case-insensitively. Strings escape "\" and '"' with a backslash; a string
// holding a line break or a zero is written as hex(1): (UTF-16LE bytes), as
// the registry editor does, and read back from that form. Every write reads
// the file again, changes the one value and rewrites the whole file
// atomically, so values written meanwhile by the other program are kept.
// Lines that cannot be understood are ignored when reading and written back
// unchanged; values of other types (hex:, qword ...) are kept the same way
// and read as absent. A missing file holds no key; a file that cannot be
// read (a folder, a pipe or device, one too large) is never overwritten and
// never waited on, and `tellUnreadable` (when given) is told so once, with
// the file and the reason.
class RegistryFile : public Common::Registry {
public:
    explicit RegistryFile(std::string filePath, std::function<void(const std::string&)> tellUnreadable = {});

    // $CEDXM_REGISTRY, else $XDG_CONFIG_HOME/Tavrel/CEDXM.reg, else
    // $HOME/.config/Tavrel/CEDXM.reg; empty when none of them is set or
    // when it is not text in the locale's character set (`problem`, when
    // given, then says which variable). The path is text, read in the
    // locale the program runs under: ask after the locale is set.
    static std::string defaultPath(std::string* problem = nullptr);

    // Why there is no file although one was named: told on first use, as
    // an unreadable file is.
    void setUnusablePath(const std::string& why);

    const std::string& filePath() const { return filePath_; }

    std::unique_ptr<Common::RegistryKey> openKey(const std::wstring& path) override;
    std::unique_ptr<Common::RegistryKey> createKey(const std::wstring& path) override;

    struct Notice;

private:
    std::string filePath_;
    std::shared_ptr<Notice> notice_;
};

}  // namespace Platform
