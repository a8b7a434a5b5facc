#include "common/platform/Files.h"

#include <windows.h>

#include <cerrno>
#include <cstring>
#include <random>

#include "common/text/Encoding.h"

namespace Common {

namespace {

std::wstring widePath(const std::string& path)
{
    return fromUtf8(path);
}

// The C runtime's error number for the usual errors of file access, so that
// both builds give them in the same words; 0 for the others.
int errnoOf(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND: case ERROR_PATH_NOT_FOUND: case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH: case ERROR_BAD_NET_NAME: case ERROR_INVALID_NAME:
        return ENOENT;
    case ERROR_ACCESS_DENIED: case ERROR_SHARING_VIOLATION: case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
        return EACCES;
    case ERROR_DISK_FULL: case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_FILE_EXISTS: case ERROR_ALREADY_EXISTS:
        return EEXIST;
    default:
        return 0;
    }
}

// Why a file operation failed: the usual errors in the C runtime's words,
// the others in the system's own.
std::string reason(DWORD error)
{
    if (const int number = errnoOf(error); number != 0) {
        return std::strerror(number);
    }
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
        0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = length > 0 && text != nullptr ? std::wstring(text, length) : std::wstring();
    LocalFree(text);
    while (!message.empty() && (message.back() == L'\r' || message.back() == L'\n' || message.back() == L' ' ||
                                message.back() == L'.')) {
        message.pop_back();
    }
    return message.empty() ? "error " + std::to_string(error) : toUtf8(message);
}

std::string inQuotes(const std::string& path)
{
    return "\"" + path + "\"";
}

// Folder part of `path` ("." when it names no folder) and the file name;
// both separators count.
void splitPath(const std::wstring& path, std::wstring& folder, std::wstring& name)
{
    const std::size_t slash = path.find_last_of(L"/\\");
    if (slash == std::wstring::npos) {
        const std::size_t colon = path.size() >= 2 && path[1] == L':' ? 2 : 0;
        folder = colon > 0 ? path.substr(0, 2) : L".";
        name = path.substr(colon);
    } else {
        folder = path.substr(0, slash + 1);
        name = path.substr(slash + 1);
    }
}

class Handle {
public:
    explicit Handle(HANDLE h = INVALID_HANDLE_VALUE) : h_(h) {}
    ~Handle() { close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return h_; }
    bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
    void reset(HANDLE h)
    {
        close();
        h_ = h;
    }
    bool close()
    {
        const bool ok = !valid() || CloseHandle(h_);
        h_ = INVALID_HANDLE_VALUE;
        return ok;
    }

private:
    HANDLE h_;
};

// Opens anything that `path` names for `access`, folders included.
HANDLE openExisting(const std::wstring& path, DWORD access)
{
    return CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

PathKind kindOf(HANDLE handle)
{
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        return PathKind::Other;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle, &info)) {
        return PathKind::Other;
    }
    return (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? PathKind::Folder : PathKind::File;
}

bool writeAll(HANDLE handle, std::string_view bytes, DWORD& error)
{
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!WriteFile(handle, bytes.data(), chunk, &written, nullptr) || written == 0) {
            error = GetLastError();
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

constexpr std::size_t kWriteBuffer = 1 << 16;

}  // namespace

PathKind pathKind(const std::string& path)
{
    if (path.empty()) {
        return PathKind::Missing;
    }
    Handle handle(openExisting(widePath(path), 0));
    if (!handle.valid()) {
        return PathKind::Missing;
    }
    return kindOf(handle.get());
}

FileRead readRegularFile(const std::string& path, std::size_t maxBytes, std::string& bytes)
{
    bytes.clear();
    FileRead result;
    Handle handle(openExisting(widePath(path), GENERIC_READ));
    if (!handle.valid()) {
        result.status = ReadStatus::CannotOpen;
        result.reason = reason(GetLastError());
        return result;
    }
    const PathKind kind = kindOf(handle.get());
    LARGE_INTEGER size{};
    if (kind == PathKind::Folder) {
        result.status = ReadStatus::Folder;
    } else if (kind != PathKind::File) {
        result.status = ReadStatus::NotRegular;
    } else if (!GetFileSizeEx(handle.get(), &size)) {
        result.status = ReadStatus::Failed;
        result.reason = reason(GetLastError());
    } else if (static_cast<std::uint64_t>(size.QuadPart) > maxBytes) {
        result.status = ReadStatus::TooLarge;
        result.size = static_cast<std::uint64_t>(size.QuadPart);
    }
    if (!result.ok()) {
        return result;
    }
    bytes.reserve(static_cast<std::size_t>(size.QuadPart));
    char buffer[65536];
    while (true) {
        DWORD n = 0;
        if (!ReadFile(handle.get(), buffer, sizeof buffer, &n, nullptr)) {
            result.status = ReadStatus::Failed;
            result.reason = reason(GetLastError());
            break;
        }
        if (n == 0) {
            break;
        }
        if (n > maxBytes - bytes.size()) {
            result.status = ReadStatus::TooLarge;  // the file grew while being read
            break;
        }
        bytes.append(buffer, n);
    }
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
        error = "cannot read " + inQuotes(path) + ": " + std::strerror(EISDIR);
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

struct ReplacementFile::Temporary {
    Handle handle;
    std::wstring path;    // the temporary file
    std::wstring target;  // what it replaces, links resolved
    DWORD keptAttributes = 0;
    std::string buffer;
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
        temporary_->handle.close();
        DeleteFileW(temporary_->path.c_str());
        temporary_.reset();
    }
}

bool ReplacementFile::begin(const std::string& path)
{
    abandon();
    path_ = path;
    error_.clear();

    auto temporary = std::make_unique<Temporary>();
    temporary->target = widePath(path);
    const DWORD attributes = GetFileAttributesW(temporary->target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        error_ = "cannot write " + inQuotes(path) + ": that is a folder; name a file in it instead";
        return false;
    }
    // A device (NUL, CON, COM1) or a pipe is never replaced by a file, and
    // never written to as if it were one.
    {
        const Handle existing(openExisting(temporary->target, 0));
        if (existing.valid() && kindOf(existing.get()) != PathKind::File) {
            error_ = "cannot write " + inQuotes(path) +
                     ": that is not a regular file (a device or pipe) and is never replaced";
            return false;
        }
    }
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        // A symbolic link is written through: the link stays, the file it
        // points to gets the new contents.
        Handle target(openExisting(temporary->target, 0));
        wchar_t resolved[32768];
        const DWORD length = target.valid() ? GetFinalPathNameByHandleW(target.get(), resolved, 32768, 0) : 0;
        if (length > 0 && length < 32768) {
            temporary->target.assign(resolved, length);
        }
    }
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        // A replaced file keeps what marks it (hidden, system, archive).
        temporary->keptAttributes =
            attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                          FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    }
    std::wstring folder;
    std::wstring name;
    splitPath(temporary->target, folder, name);
    if (name.empty()) {
        error_ = "cannot write " + inQuotes(path) + ": the path names no file";
        return false;
    }

    // The temporary file lives in the target's folder so that the final
    // move stays within one volume.
    std::random_device random;
    // Its name carries the target's first 40 characters, so that a left-over
    // file shows what it was meant for and any name the file system takes
    // for the target leaves room for it (cut between whole characters).
    std::wstring stem = name.substr(0, 40);
    if (!stem.empty() && stem.size() < name.size() && stem.back() >= 0xD800 && stem.back() <= 0xDBFF) {
        stem.pop_back();
    }
    const std::wstring prefix = (folder == L"." ? L"" : folder) + L"." + stem + L".tmp-";
    DWORD error = ERROR_FILE_EXISTS;
    for (int attempt = 0; attempt < 100 && !temporary->handle.valid(); ++attempt) {
        wchar_t suffix[16];
        swprintf(suffix, 16, L"%06x", static_cast<unsigned>(random() & 0xFFFFFF));
        temporary->path = prefix + suffix;
        temporary->handle.reset(CreateFileW(temporary->path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
        if (temporary->handle.valid()) {
            break;
        }
        error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
            break;
        }
    }
    if (!temporary->handle.valid()) {
        error_ = "cannot write " + inQuotes(path) + ": cannot create a temporary file in " +
                 inQuotes(toUtf8(folder)) + ": " + reason(error);
        return false;
    }
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
    DWORD failure = 0;
    if (!writeAll(temporary_->handle.get(), buffer, failure) || !writeAll(temporary_->handle.get(), bytes, failure)) {
        error_ = "cannot write " + inQuotes(path_) + ": writing the file failed: " + reason(failure);
        abandon();
        return false;
    }
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
    DWORD failure = 0;
    const char* stage = nullptr;
    if (!writeAll(t.handle.get(), t.buffer, failure)) {
        stage = "writing";
    } else if (!FlushFileBuffers(t.handle.get())) {
        failure = GetLastError();
        stage = "flushing";
    }
    if (!t.handle.close() && stage == nullptr) {
        failure = GetLastError();
        stage = "closing";
    }
    if (stage == nullptr && t.keptAttributes != 0 && !SetFileAttributesW(t.path.c_str(), t.keptAttributes)) {
        failure = GetLastError();
        stage = "setting the attributes of";
    }
    if (stage == nullptr &&
        !MoveFileExW(t.path.c_str(), t.target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        failure = GetLastError();
        stage = "renaming over";
    }
    if (stage != nullptr) {
        SetFileAttributesW(t.path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(t.path.c_str());
        temporary_.reset();
        error_ = "cannot write " + inQuotes(path_) + ": " + stage + " the file failed: " + reason(failure);
        return false;
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
    return std::filesystem::path(widePath(path));
}

std::optional<std::string> textOfFileSystemPath(const std::filesystem::path& path)
{
    // A wide name with a lone surrogate has no UTF-8 text of its own.
    const std::wstring& wide = path.native();
    std::string text = toUtf8(wide);
    if (fromUtf8(text) != wide) {
        return std::nullopt;
    }
    return text;
}

}  // namespace Common
