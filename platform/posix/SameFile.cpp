#include <sys/stat.h>

#include <string>

#include "common/platform/Files.h"
#include "platform/posix/SystemPath.h"

namespace Common {

namespace {

bool identity(const std::string& path, struct stat& info)
{
    const std::optional<std::string> bytes = Platform::pathBytes(path);
    return !path.empty() && bytes && ::stat(bytes->c_str(), &info) == 0;
}

// The folder part of a path ("." for a bare name) and the name in it.
std::string folderOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool sameIdentity(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

bool sameFile(const std::string& a, const std::string& b)
{
    struct stat first {};
    struct stat second {};
    const bool firstExists = identity(a, first);
    const bool secondExists = identity(b, second);
    if (firstExists || secondExists) {
        return firstExists && secondExists && sameIdentity(first, second);
    }
    const std::string nameA = nameOf(a);
    if (nameA.empty() || nameA != nameOf(b)) {
        return false;
    }
    return identity(folderOf(a), first) && identity(folderOf(b), second) && sameIdentity(first, second);
}

}  // namespace Common
