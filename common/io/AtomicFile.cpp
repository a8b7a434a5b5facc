#include "common/io/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

namespace Common {

namespace {

std::string reason(int error)
{
    return std::strerror(error);
}

std::string quoted(const std::string& path)
{
    return "\"" + path + "\"";
}

// Folder part of `path` ("." when it names no folder) and the file name.
void splitPath(const std::string& path, std::string& folder, std::string& name)
{
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        folder = ".";
        name = path;
    } else {
        folder = slash == 0 ? "/" : path.substr(0, slash);
        name = path.substr(slash + 1);
    }
}

bool writeAll(int fd, std::string_view bytes, int& error)
{
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            error = errno;
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

mode_t currentUmask()
{
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

}  // namespace

bool writeFileAtomically(const std::string& path, std::string_view bytes, std::string& error)
{
    // A symbolic link is written through, so that the link stays a link and
    // the file it points to gets the new contents.
    std::string target = path;
    struct stat link {};
    if (::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        if (char* resolved = ::realpath(path.c_str(), nullptr)) {
            target = resolved;
            std::free(resolved);
        }
    }
    std::string folder;
    std::string name;
    splitPath(target, folder, name);
    if (name.empty()) {
        error = "cannot write " + quoted(path) + ": the path names no file";
        return false;
    }

    // A new file gets the usual permissions; a replaced one keeps its own.
    mode_t mode = 0666 & ~currentUmask();
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0) {
        if (S_ISDIR(existing.st_mode)) {
            error = "cannot write " + quoted(path) + ": " + reason(EISDIR);
            return false;
        }
        mode = existing.st_mode & 07777;
    }

    std::string temporary = (folder == "/" ? "/" : folder + "/") + "." + name + ".tmp-XXXXXX";
    std::vector<char> templateBuffer(temporary.begin(), temporary.end());
    templateBuffer.push_back('\0');
    const int fd = ::mkstemp(templateBuffer.data());
    if (fd < 0) {
        error = "cannot write " + quoted(path) + ": cannot create a temporary file in " + quoted(folder) + ": " +
                reason(errno);
        return false;
    }
    temporary.assign(templateBuffer.data());

    int failure = 0;
    const char* stage = nullptr;
    if (!writeAll(fd, bytes, failure)) {
        stage = "writing";
    } else if (::fchmod(fd, mode) != 0) {
        failure = errno;
        stage = "setting the permissions of";
    } else if (::fsync(fd) != 0) {
        failure = errno;
        stage = "flushing";
    }
    if (::close(fd) != 0 && stage == nullptr) {
        failure = errno;
        stage = "closing";
    }
    if (stage == nullptr && ::rename(temporary.c_str(), target.c_str()) != 0) {
        failure = errno;
        stage = "renaming over";
    }
    if (stage != nullptr) {
        ::unlink(temporary.c_str());
        error = "cannot write " + quoted(path) + ": " + stage + " the file failed: " + reason(failure);
        return false;
    }

    // Make the rename itself durable; a failure here no longer endangers the
    // old or the new contents, so it is not reported.
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
    return true;
}

bool readWholeFile(const std::string& path, std::string& bytes, std::string& error)
{
    return readWholeFile(path, bytes, error, std::numeric_limits<std::size_t>::max());
}

bool readWholeFile(const std::string& path, std::string& bytes, std::string& error, std::size_t maxBytes)
{
    bytes.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = "cannot read " + quoted(path) + ": " + reason(errno);
        return false;
    }
    char buffer[65536];
    while (true) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            error = "cannot read " + quoted(path) + ": " + reason(errno);
            ::close(fd);
            bytes.clear();
            return false;
        }
        if (n == 0) {
            break;
        }
        if (static_cast<std::size_t>(n) > maxBytes - bytes.size()) {
            error = "cannot read " + quoted(path) + ": the file is larger than " + std::to_string(maxBytes) +
                    " bytes";
            ::close(fd);
            bytes.clear();
            return false;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return true;
}

}  // namespace Common
