#include "platform/posix/PosixPlatform.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <optional>
#include <string_view>
#include <stdexcept>
#include <vector>

#include "common/text/Encoding.h"
#include "platform/posix/SystemPath.h"

namespace Platform {

namespace {

class FileLock : public Common::NamedMutex {
public:
    explicit FileLock(int fd) : fd_(fd) {}
    ~FileLock() override
    {
        // Closing the descriptor drops the lock. The file stays: removing
        // it would race with a process that has just opened it.
        ::close(fd_);
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    int fd_;
};

bool isFolder(const std::string& path)
{
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string envValue(const char* name)
{
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

// A mutex name may hold characters a file name cannot.
std::string lockFileName(const std::wstring& name)
{
    const std::string text = Common::toUtf8(name);
    std::string file = Platform::pathBytes(text).value_or(text);
    for (char& c : file) {
        if (c == '/' || c == '\0') {
            c = '_';
        }
    }
    if (file.empty() || file == "." || file == "..") {
        file = "_" + file;
    }
    return file;
}

}  // namespace

// A settings file that cannot be read is told on standard error, as every
// failure is: the run goes on, but the user's choices are not remembered.
PosixPlatform::PosixPlatform() : PosixPlatform(RegistryFile::defaultPath())
{
    if (registry_.filePath().empty()) {
        std::string problem;
        RegistryFile::defaultPath(&problem);
        if (!problem.empty()) {
            registry_.setUnusablePath(problem);
        }
    }
}

PosixPlatform::PosixPlatform(std::string registryPath)
    : registry_(std::move(registryPath), [](const std::string& problem) { std::cerr << "settings: " << problem << std::endl; })
{
}

std::string PosixPlatform::lockFolder()
{
    const std::string runtime = envValue("XDG_RUNTIME_DIR");
    if (!runtime.empty() && runtime.front() == '/' && isFolder(runtime)) {
        return runtime;
    }
    // A folder of the user's own: in a shared folder another user's lock
    // file would keep everybody else out.
    const std::string folder = "/tmp/cedxm-" + std::to_string(::getuid());
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        throw std::runtime_error("cannot make the lock folder \"" + folder + "\": " + std::strerror(errno));
    }
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0) {
        throw std::runtime_error("cannot use the lock folder \"" + folder + "\": " + std::strerror(errno));
    }
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::getuid() || (st.st_mode & 077) != 0) {
        throw std::runtime_error("the lock folder \"" + folder +
                                 "\" is not a private folder of this user; remove it or set XDG_RUNTIME_DIR");
    }
    return folder;
}

std::unique_ptr<Common::NamedMutex> PosixPlatform::createNamedMutex(const std::wstring& name)
{
    const std::string path = lockFolder() + "/" + lockFileName(name);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (fd < 0) {
        throw std::runtime_error("cannot open the lock file \"" + path + "\": " + std::strerror(errno));
    }
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        if (error == EINTR) {
            continue;
        }
        ::close(fd);
        if (error == EWOULDBLOCK) {
            return nullptr;
        }
        throw std::runtime_error("cannot lock \"" + path + "\": " + std::strerror(error));
    }
    return std::make_unique<FileLock>(fd);
}

int PosixPlatform::screenPixelsPerInch()
{
    return 96;
}

void PosixPlatform::setUserLocale()
{
    // The character type category decides the user's locale; the others
    // follow it. An environment naming a locale that is not installed
    // leaves the locale as it was.
    const char* ctype = std::setlocale(LC_CTYPE, "");
    if (ctype != nullptr) {
        const std::string name = ctype;
        std::setlocale(LC_ALL, name.c_str());
    }
    std::setlocale(LC_NUMERIC, "C");
}

namespace {

// The bytes of an argument as a user can read them back: text where it
// decodes as UTF-8, every other byte as \xNN.
std::string shownBytes(std::string_view bytes)
{
    std::string shown;
    std::size_t i = 0;
    while (i < bytes.size()) {
        std::size_t length = 1;
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead >= 0xC0) {
            length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        }
        if (lead >= 0x20 && lead != 0x7F && i + length <= bytes.size() &&
            (lead < 0x80 || Common::fromUtf8Strict(bytes.substr(i, length)))) {
            shown.append(bytes.substr(i, length));
            i += length;
            continue;
        }
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02X", lead);
        shown += hex;
        ++i;
    }
    return shown;
}

}  // namespace

LocaleArguments localeArguments(int argc, char** argv)
{
    // The locale the run later sets for good is taken now, before any
    // argument is decoded.
    const char* ctype = std::setlocale(LC_CTYPE, "");
    (void)ctype;
    LocaleArguments result;
    for (int i = 1; i < argc; ++i) {
        const std::string_view bytes(argv[i]);
        const std::optional<std::string> text = pathTextOf(bytes);
        if (!text) {
            // Read some other way, the name would open a file the user did
            // not name, or two such names would become one.
            result.problem = "argument " + std::to_string(i) +
                             (i > 1 && result.arguments.back().starts_with(L"--")
                                  ? " (the value of " + Common::toUtf8(result.arguments.back()) + ")"
                                  : std::string()) +
                             " \"" + shownBytes(bytes) + "\" is not text in the character set of the locale (" +
                             Common::localeCharsetName() +
                             "); file names are opened as the bytes given, so type the name in that character set "
                             "or run under a locale that reads it";
            result.arguments.clear();
            return result;
        }
        result.arguments.push_back(Common::fromUtf8(*text));
    }
    return result;
}

std::wstring PosixPlatform::moduleFileName()
{
    std::vector<char> buffer(4096);
    while (true) {
        const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0) {
            return std::wstring();
        }
        if (static_cast<std::size_t>(n) < buffer.size()) {
            const std::string_view bytes(buffer.data(), static_cast<std::size_t>(n));
            const std::optional<std::string> text = pathTextOf(bytes);
            return text ? Common::fromUtf8(*text) : std::wstring();
        }
        if (buffer.size() >= (1u << 20)) {
            return std::wstring();
        }
        buffer.resize(buffer.size() * 2);
    }
}

bool PosixPlatform::isDirectory(const std::wstring& path)
{
    const std::optional<std::string> bytes = pathBytes(Common::toUtf8(path));
    return bytes && isFolder(*bytes);
}

std::wstring PosixPlatform::documentsFolder(std::int32_t)
{
    const std::string home = envValue("HOME");
    if (home.empty()) {
        return std::wstring();
    }
    const std::string documents = home + "/Documents";
    const std::optional<std::string> text = pathTextOf(isFolder(documents) ? documents : home);
    return text ? Common::fromUtf8(*text) : std::wstring();
}

bool PosixPlatform::shellOpen(const std::wstring& path)
{
    struct stat st {};
    const std::optional<std::string> bytes = pathBytes(Common::toUtf8(path));
    if (path.empty() || !bytes || ::stat(bytes->c_str(), &st) != 0) {
        return false;
    }
    std::cout << "open: " << Common::toUtf8(path) << std::endl;
    return true;
}

void PosixPlatform::messageBox(const std::wstring& text, const std::wstring&, std::int32_t)
{
    std::cout << Common::toUtf8(text) << std::endl;
}

void PosixPlatform::reportError(const std::wstring& text)
{
    std::cerr << Common::toUtf8(text) << std::endl;
}

bool PosixPlatform::isWindowMinimized(std::int32_t window)
{
    return isMinimized_ && isMinimized_(window);
}

Common::Registry& PosixPlatform::registry()
{
    return registry_;
}

}  // namespace Platform
