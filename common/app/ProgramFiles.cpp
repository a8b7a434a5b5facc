#include "common/app/ProgramFiles.h"

#include <filesystem>

#include "common/app/ProgramRun.h"
#include "common/platform/Files.h"
#include "common/text/Encoding.h"

namespace Common {

namespace {

std::string folderOf(const std::wstring& path)
{
    const std::string utf8 = toUtf8(path);
    const std::filesystem::path parent = std::filesystem::path(std::u8string(utf8.begin(), utf8.end())).parent_path();
    const std::u8string folder = parent.u8string();
    return folder.empty() ? std::string(".") : std::string(folder.begin(), folder.end());
}

}  // namespace

int checkNamedFiles(const std::vector<NamedFile>& files, std::wstring& problem)
{
    for (std::size_t i = 0; i < files.size(); ++i) {
        const NamedFile& written = files[i];
        if (!written.written || written.path.empty()) {
            continue;
        }
        for (std::size_t j = 0; j < files.size(); ++j) {
            const NamedFile& other = files[j];
            if (j == i || other.path.empty() || (!other.read && !(other.written && j < i))) {
                continue;
            }
            if (sameFile(toUtf8(written.path), toUtf8(other.path))) {
                problem = written.option + L" and " + other.option + L" name the same file \"" + written.path +
                          L"\"; " + (other.read ? L"it would be overwritten while it is read" : L"it would be written twice") +
                          L". Nothing was touched.";
                return kRunUsage;
            }
        }
        const std::string folder = folderOf(written.path);
        const PathKind kind = pathKind(folder);
        if (kind != PathKind::Folder) {
            problem = written.option + L" \"" + written.path + L"\" cannot be written: its folder \"" + fromUtf8(folder) +
                      L"\" " + (kind == PathKind::Missing ? L"does not exist" : L"is not a folder") +
                      L". Nothing was done.";
            return kRunFailed;
        }
        // Told before the conversion, not after it: a folder or a device or
        // pipe is never written over (the file seam refuses it too).
        const PathKind target = pathKind(toUtf8(written.path));
        if (target == PathKind::Folder || target == PathKind::Other) {
            problem = written.option + L" \"" + written.path + L"\" cannot be written: " +
                      (target == PathKind::Folder
                           ? L"that is a folder; name a file in it instead"
                           : L"that is not a regular file (a device, pipe or socket) and is never written over") +
                      L". Nothing was done.";
            return kRunFailed;
        }
    }
    return kRunDone;
}

}  // namespace Common
