#include "common/platform/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/posix/SystemPath.h"

namespace Common {

namespace {

std::string reason(int error)
{
    return std::strerror(error);
}

std::string inQuotes(const std::string& path)
{
    return "\"" + path + "\"";
}

// Folder part of `path` ("." when it names no folder) and the file name.
// Both are made anew (not assigned into existing strings), which also keeps
// GCC 12's optimiser from a false overlap warning.
std::pair<std::string, std::string> splitPath(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return {std::string("."), path};
    }
    return {slash == 0 ? std::string("/") : path.substr(0, slash), path.substr(slash + 1)};
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

constexpr std::size_t kWriteBuffer = 1 << 16;

// Bytes handed to the system after which it is asked to start putting them
// on the disk. A long file is then mostly on the disk when it is written to
// the end, and the flush before the rename waits only for the last part.
constexpr off_t kWriteBehind = off_t{1} << 20;

constexpr const char* kFolderNamed = "that is a folder; name a file in it instead";
constexpr const char* kNotRegular = "that is not a regular file (a device, pipe or socket) and is never replaced";

// The start of the target's name that the temporary file's name carries, so
// that a left-over temporary file shows what it was meant for. Kept short:
// any name the file system takes for the target must leave room for it.
// Cut only before the first byte of a character.
std::string temporaryStem(const std::string& name)
{
    constexpr std::size_t kStemBytes = 40;
    if (name.size() <= kStemBytes) {
        return name;
    }
    // `name` is spelled as the system takes it; the cut is made in its text.
    const std::optional<std::string> text = Platform::pathTextOf(name);
    const std::string& utf8 = text ? *text : name;
    std::size_t end = std::min(kStemBytes, utf8.size());
    while (end > 0 && end < utf8.size() && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80) {
        --end;
    }
    const std::string stem = utf8.substr(0, end);
    if (!text) {
        return stem;
    }
    return Platform::pathBytes(stem).value_or(std::string());
}

}  // namespace

PathKind pathKind(const std::string& path)
{
    struct stat info {};
    const std::optional<std::string> bytes = Platform::pathBytes(path);
    if (path.empty() || !bytes || ::stat(bytes->c_str(), &info) != 0) {
        return PathKind::Missing;
    }
    if (S_ISREG(info.st_mode)) {
        return PathKind::File;
    }
    return S_ISDIR(info.st_mode) ? PathKind::Folder : PathKind::Other;
}

FileRead readRegularFile(const std::string& path, std::size_t maxBytes, std::string& bytes)
{
    bytes.clear();
    FileRead result;
    const std::optional<std::string> name = Platform::pathBytes(path);
    if (!name) {
        result.status = ReadStatus::CannotOpen;
        result.reason = Platform::unspellablePathReason();
        return result;
    }
    const int fd = ::open(name->c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        result.status = ReadStatus::CannotOpen;
        result.reason = reason(errno);
        return result;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        result.status = ReadStatus::Failed;
        result.reason = reason(errno);
    } else if (S_ISDIR(info.st_mode)) {
        result.status = ReadStatus::Folder;
    } else if (!S_ISREG(info.st_mode)) {
        result.status = ReadStatus::NotRegular;
    } else if (static_cast<std::uint64_t>(info.st_size) > maxBytes) {
        result.status = ReadStatus::TooLarge;
        result.size = static_cast<std::uint64_t>(info.st_size);
    }
    if (!result.ok()) {
        ::close(fd);
        return result;
    }
    bytes.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    while (true) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            result.status = ReadStatus::Failed;
            result.reason = reason(errno);
            break;
        }
        if (n == 0) {
            break;
        }
        if (static_cast<std::size_t>(n) > maxBytes - bytes.size()) {
            result.status = ReadStatus::TooLarge;  // the file grew while being read
            break;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    if (!result.ok()) {
        bytes.clear();
    }
    return result;
}

bool readWholeFile(const std::string& path, std::string& bytes, std::string& error, std::size_t maxBytes)
{
    const FileRead read = readRegularFile(path, maxBytes, bytes);
    switch (read.status) {
    case ReadStatus::Read:
        return true;
    case ReadStatus::CannotOpen:
    case ReadStatus::Failed:
        error = "cannot read " + inQuotes(path) + ": " + read.reason;
        break;
    case ReadStatus::Folder:
        error = "cannot read " + inQuotes(path) + ": " + reason(EISDIR);
        break;
    case ReadStatus::NotRegular:
        error = "cannot read " + inQuotes(path) + ": not a regular file";
        break;
    case ReadStatus::TooLarge:
        error = "cannot read " + inQuotes(path) + ": the file is larger than " + std::to_string(maxBytes) + " bytes";
        break;
    }
    return false;
}

// The paths of a replacement are the system's bytes.
struct ReplacementFile::Temporary {
    int fd = -1;
    std::string path;    // the temporary file
    std::string target;  // what it replaces, links resolved
    std::string folder;
    mode_t mode = 0;
    std::string buffer;
    off_t written = 0;  // bytes handed to the system
    off_t kicked = 0;   // of which the system was asked to start writing out

    // Starts (does not wait for) the writing out of what was handed over
    // since the last call, once that is a large piece. Only a head start:
    // whether it all reached the disk is found out by the flush at the end.
    void writeBehind()
    {
#if defined(SYNC_FILE_RANGE_WRITE)
        if (written - kicked >= kWriteBehind) {
            ::sync_file_range(fd, kicked, written - kicked, SYNC_FILE_RANGE_WRITE);
            kicked = written;
        }
#endif
    }
};

ReplacementFile::ReplacementFile() = default;

ReplacementFile::~ReplacementFile()
{
    abandon();
}

bool ReplacementFile::isOpen() const
{
    return temporary_ != nullptr;
}

void ReplacementFile::abandon()
{
    if (temporary_ != nullptr) {
        ::close(temporary_->fd);
        ::unlink(temporary_->path.c_str());
        temporary_.reset();
    }
}

bool ReplacementFile::begin(const std::string& path)
{
    abandon();
    path_ = path;
    error_.clear();

    // A symbolic link is written through, so that the link stays a link and
    // the file it points to gets the new contents.
    std::optional<std::string> bytes = Platform::pathBytes(path);
    if (!bytes) {
        error_ = "cannot write " + inQuotes(path) + ": " + Platform::unspellablePathReason();
        return false;
    }
    auto temporary = std::make_unique<Temporary>();
    temporary->target = std::move(*bytes);
    struct stat link {};
    if (::lstat(temporary->target.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        if (char* resolved = ::realpath(temporary->target.c_str(), nullptr)) {
            temporary->target = resolved;
            std::free(resolved);
        }
    }
    std::string name;
    std::tie(temporary->folder, name) = splitPath(temporary->target);
    struct stat existing {};
    const bool exists = ::stat(temporary->target.c_str(), &existing) == 0;
    if ((exists && S_ISDIR(existing.st_mode)) || name.empty() || name == "." || name == "..") {
        error_ = "cannot write " + inQuotes(path) + ": " + kFolderNamed;
        return false;
    }
    // A device or a pipe is never replaced by a regular file: the system's
    // own nodes would be lost, and whoever reads the pipe gets nothing.
    if (exists && !S_ISREG(existing.st_mode)) {
        error_ = "cannot write " + inQuotes(path) + ": " + kNotRegular;
        return false;
    }

    // A new file gets the usual permissions; a replaced one keeps its own.
    temporary->mode = exists ? existing.st_mode & 07777 : 0666 & ~currentUmask();

    // The temporary file lives in the target's folder so that the final
    // rename stays within one file system.
    const std::string& folder = temporary->folder;
    std::string pattern = (folder == "/" ? "/" : folder + "/") + "." + temporaryStem(name) + ".tmp-XXXXXX";
    std::vector<char> templateBuffer(pattern.begin(), pattern.end());
    templateBuffer.push_back('\0');
    temporary->fd = ::mkostemp(templateBuffer.data(), O_CLOEXEC);
    if (temporary->fd < 0) {
        const int error = errno;
        error_ = "cannot write " + inQuotes(path) + ": cannot create a temporary file in " +
                 inQuotes(Platform::pathTextOf(folder).value_or(folder)) + ": " + reason(error);
        return false;
    }
    temporary->path.assign(templateBuffer.data());
    temporary->buffer.reserve(kWriteBuffer);
    temporary_ = std::move(temporary);
    return true;
}

bool ReplacementFile::write(std::string_view bytes)
{
    if (temporary_ == nullptr || failed()) {
        return false;
    }
    std::string& buffer = temporary_->buffer;
    if (buffer.size() + bytes.size() <= kWriteBuffer) {
        buffer.append(bytes);
        return true;
    }
    int failure = 0;
    if (!writeAll(temporary_->fd, buffer, failure) || !writeAll(temporary_->fd, bytes, failure)) {
        error_ = "cannot write " + inQuotes(path_) + ": writing the file failed: " + reason(failure);
        abandon();
        return false;
    }
    temporary_->written += static_cast<off_t>(buffer.size() + bytes.size());
    temporary_->writeBehind();
    buffer.clear();
    return true;
}

bool ReplacementFile::commit()
{
    if (temporary_ == nullptr) {
        if (!failed()) {
            error_ = "cannot write " + inQuotes(path_) + ": the file was never opened";
        }
        return false;
    }
    Temporary& t = *temporary_;
    int failure = 0;
    const char* stage = nullptr;
    if (!writeAll(t.fd, t.buffer, failure)) {
        stage = "writing";
    } else if (::fchmod(t.fd, t.mode) != 0) {
        failure = errno;
        stage = "setting the permissions of";
    } else if (::fsync(t.fd) != 0 && errno != EINVAL && errno != EROFS) {
        // Some file systems cannot flush (EINVAL, EROFS); that endangers
        // nothing that a rename would not.
        failure = errno;
        stage = "flushing";
    }
    const int closed = ::close(t.fd);
    t.fd = -1;
    if (closed != 0 && stage == nullptr) {
        failure = errno;
        stage = "closing";
    }
    if (stage == nullptr && ::rename(t.path.c_str(), t.target.c_str()) != 0) {
        failure = errno;
        stage = "renaming over";
    }
    if (stage != nullptr) {
        ::unlink(t.path.c_str());
        temporary_.reset();
        error_ = "cannot write " + inQuotes(path_) + ": " + stage + " the file failed: " + reason(failure);
        return false;
    }

    // Make the rename itself durable; a failure here no longer endangers the
    // old or the new contents, so it is not reported.
    const int folderFd = ::open(t.folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
    temporary_.reset();
    return true;
}

bool writeFileAtomically(const std::string& path, std::string_view bytes, std::string& error)
{
    ReplacementFile file;
    if (!file.begin(path) || !file.write(bytes) || !file.commit()) {
        error = file.error();
        return false;
    }
    return true;
}

std::filesystem::path fileSystemPath(const std::string& path)
{
    return std::filesystem::path(Platform::pathBytes(path).value_or(std::string()));
}

std::optional<std::string> textOfFileSystemPath(const std::filesystem::path& path)
{
    return Platform::pathTextOf(path.native());
}

}  // namespace Common
