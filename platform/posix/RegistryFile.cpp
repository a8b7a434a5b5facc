#include "platform/posix/RegistryFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cwctype>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <thread>
#include <vector>

#include "common/platform/Files.h"
#include "common/text/Compare.h"
#include "common/text/Encoding.h"
#include "platform/posix/SystemPath.h"

namespace Platform {

namespace {

constexpr std::wstring_view kHeader = L"Windows Registry Editor Version 5.00";
constexpr std::wstring_view kRoot = L"HKEY_CURRENT_USER\\";
// Far beyond what the programs ever store; a larger file is not read.
constexpr std::size_t kMaxFileBytes = 16u * 1024u * 1024u;

std::wstring_view trim(std::wstring_view s)
{
    while (!s.empty() && std::iswspace(static_cast<wint_t>(s.front()))) {
        s.remove_prefix(1);
    }
    while (!s.empty() && std::iswspace(static_cast<wint_t>(s.back()))) {
        s.remove_suffix(1);
    }
    return s;
}

enum class Kind { Dword, String, Other, Deleted, Line };

// One line (or continued lines) of a key: a value, or text kept as it was.
struct Entry {
    Kind kind = Kind::Line;
    std::wstring name;
    std::uint32_t dword = 0;
    std::wstring text;  // string value, or the raw line(s) for Other / Line
};

struct Key {
    std::wstring path;  // below HKEY_CURRENT_USER, or the full raw name
    bool underCurrentUser = true;
    std::vector<Entry> entries;
};

struct Document {
    std::vector<std::wstring> preamble;  // lines before the first key
    std::vector<Key> keys;

    Key* find(const std::wstring& path)
    {
        for (Key& key : keys) {
            if (key.underCurrentUser && Common::equalsIgnoringCase(key.path, path)) {
                return &key;
            }
        }
        return nullptr;
    }
};

// Reads a quoted name or string starting at s[pos] == '"'; moves pos past
// the closing quote. Nothing when the quote is not closed.
std::optional<std::wstring> readQuoted(std::wstring_view s, std::size_t& pos)
{
    std::wstring out;
    for (std::size_t i = pos + 1; i < s.size(); ++i) {
        if (s[i] == L'\\' && i + 1 < s.size()) {
            out += s[++i];
        } else if (s[i] == L'"') {
            pos = i + 1;
            return out;
        } else {
            out += s[i];
        }
    }
    return std::nullopt;
}

std::optional<std::uint32_t> parseDword(std::wstring_view digits)
{
    if (digits.empty() || digits.size() > 8) {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    for (const wchar_t c : digits) {
        std::uint32_t d;
        if (c >= L'0' && c <= L'9') {
            d = static_cast<std::uint32_t>(c - L'0');
        } else if (c >= L'a' && c <= L'f') {
            d = static_cast<std::uint32_t>(c - L'a' + 10);
        } else if (c >= L'A' && c <= L'F') {
            d = static_cast<std::uint32_t>(c - L'A' + 10);
        } else {
            return std::nullopt;
        }
        value = value * 16 + d;
    }
    return value;
}

// "hex(1):41,00,42,00,00,00" (possibly over continued lines) as a string.
std::optional<std::wstring> parseHexString(std::wstring_view data)
{
    std::string bytes;
    std::size_t i = 0;
    while (i < data.size()) {
        const wchar_t c = data[i];
        if (c == L',' || c == L'\\' || std::iswspace(static_cast<wint_t>(c))) {
            ++i;
            continue;
        }
        if (i + 1 >= data.size()) {
            return std::nullopt;
        }
        const std::optional<std::uint32_t> byte = parseDword(data.substr(i, 2));
        if (!byte) {
            return std::nullopt;
        }
        bytes += static_cast<char>(*byte);
        i += 2;
    }
    std::wstring text = Common::fromUtf16Le(bytes);
    // The stored form ends with a zero; the text ends at the first one.
    text.resize(std::min(text.size(), text.find(L'\0')));
    return text;
}

// Classifies the text of one value line (continued lines joined); other
// than a string, the entry keeps the text as it stands in the file.
Entry parseValue(std::wstring_view raw)
{
    Entry entry;
    entry.text = std::wstring(raw);
    const std::wstring_view line = trim(raw);
    std::size_t pos = 0;
    if (line.starts_with(L'@')) {
        pos = 1;
    } else {
        const std::optional<std::wstring> name = readQuoted(line, pos);
        if (!name) {
            return entry;
        }
        entry.name = *name;
    }
    std::wstring_view rest = trim(line.substr(pos));
    if (!rest.starts_with(L'=')) {
        return entry;
    }
    rest = trim(rest.substr(1));
    if (rest == L"-") {
        entry.kind = Kind::Deleted;
    } else if (rest.starts_with(L'"')) {
        std::size_t end = 0;
        const std::optional<std::wstring> value = readQuoted(rest, end);
        if (value && trim(rest.substr(end)).empty()) {
            entry.kind = Kind::String;
            entry.text = *value;
        }
    } else if (rest.size() > 6 && Common::equalsIgnoringCase(rest.substr(0, 6), L"dword:")) {
        if (const std::optional<std::uint32_t> v = parseDword(rest.substr(6))) {
            entry.kind = Kind::Dword;
            entry.dword = *v;
        }
    } else if (rest.size() > 7 && Common::equalsIgnoringCase(rest.substr(0, 7), L"hex(1):")) {
        if (const std::optional<std::wstring> v = parseHexString(rest.substr(7))) {
            entry.kind = Kind::String;
            entry.text = *v;
        } else {
            entry.kind = Kind::Other;
        }
    } else {
        entry.kind = Kind::Other;
    }
    return entry;
}

Document parse(const std::wstring& text)
{
    std::vector<std::wstring_view> lines;
    for (std::size_t pos = 0; pos <= text.size();) {
        std::size_t end = text.find(L'\n', pos);
        if (end == std::wstring::npos) {
            end = text.size();
        }
        std::wstring_view line = std::wstring_view(text).substr(pos, end - pos);
        if (line.ends_with(L'\r')) {
            line.remove_suffix(1);
        }
        lines.push_back(line);
        pos = end + 1;
    }
    while (!lines.empty() && trim(lines.back()).empty()) {
        lines.pop_back();
    }

    Document doc;
    Key* current = nullptr;
    bool headerSeen = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::wstring_view line = trim(lines[i]);
        if (current == nullptr && !headerSeen && (line == kHeader || line == L"REGEDIT4")) {
            headerSeen = true;
            continue;
        }
        if (line.size() >= 2 && line.front() == L'[' && line.back() == L']' && line[1] != L'-') {
            const std::wstring_view name = trim(line.substr(1, line.size() - 2));
            Key key;
            key.underCurrentUser =
                name.size() > kRoot.size() && Common::equalsIgnoringCase(name.substr(0, kRoot.size()), kRoot);
            key.path = std::wstring(key.underCurrentUser ? name.substr(kRoot.size()) : name);
            // A key named twice is one key; its later lines add to it.
            current = key.underCurrentUser ? doc.find(key.path) : nullptr;
            if (current == nullptr) {
                doc.keys.push_back(std::move(key));
                current = &doc.keys.back();
            }
            continue;
        }
        if (current == nullptr) {
            if (!line.empty()) {
                doc.preamble.emplace_back(lines[i]);
            }
            continue;
        }
        if (line.empty()) {
            continue;
        }
        if (!line.starts_with(L'"') && !line.starts_with(L'@')) {
            Entry raw;
            raw.text = std::wstring(lines[i]);
            current->entries.push_back(std::move(raw));
            continue;
        }
        Entry entry = parseValue(lines[i]);
        // Binary values may go on over lines ending with a backslash. A blank
        // line ends them, so that a broken value cannot swallow the lines and
        // keys after it.
        if (entry.kind == Kind::Other && line.ends_with(L'\\')) {
            std::wstring joined(lines[i]);
            while (trim(joined).ends_with(L'\\') && i + 1 < lines.size() && !trim(lines[i + 1]).empty()) {
                joined += L'\n';
                joined += lines[++i];
            }
            entry = parseValue(joined);
        }
        current->entries.push_back(std::move(entry));
    }
    return doc;
}

std::wstring escaped(const std::wstring& s)
{
    std::wstring out;
    for (const wchar_t c : s) {
        if (c == L'\\' || c == L'"') {
            out += L'\\';
        }
        out += c;
    }
    return out;
}

std::wstring valueLine(const Entry& entry)
{
    const std::wstring name = entry.name.empty() ? L"@" : L"\"" + escaped(entry.name) + L"\"";
    if (entry.kind == Kind::Dword) {
        wchar_t digits[9];
        std::swprintf(digits, 9, L"%08x", static_cast<unsigned>(entry.dword));
        return name + L"=dword:" + digits;
    }
    if (entry.text.find_first_of(std::wstring(L"\r\n\0", 3)) == std::wstring::npos) {
        return name + L"=\"" + escaped(entry.text) + L"\"";
    }
    // Text that cannot stand on one line goes as its UTF-16LE bytes.
    const std::string bytes = Common::toUtf16Le(entry.text) + std::string(2, '\0');
    std::wstring line = name + L"=hex(1):";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        wchar_t hex[4];
        std::swprintf(hex, 4, L"%02x", static_cast<unsigned>(static_cast<unsigned char>(bytes[i])));
        line += (i == 0 ? L"" : L",");
        line += hex;
    }
    return line;
}

std::wstring render(const Document& doc)
{
    std::wstring out(kHeader);
    out += L"\n";
    for (const std::wstring& line : doc.preamble) {
        out += line + L"\n";
    }
    for (const Key& key : doc.keys) {
        out += L"\n[";
        out += key.underCurrentUser ? std::wstring(kRoot) + key.path : key.path;
        out += L"]\n";
        for (const Entry& entry : key.entries) {
            const bool value = entry.kind == Kind::Dword || entry.kind == Kind::String;
            out += (value ? valueLine(entry) : entry.text) + L"\n";
            if (!value && trim(entry.text).ends_with(L'\\')) {
                out += L"\n";  // a kept line left continued must not take in the next one
            }
        }
    }
    return out;
}

enum class LoadResult { Loaded, Missing, Unreadable };

}  // namespace

// Tells, once per registry file, why an existing file cannot be used.
struct RegistryFile::Notice {
    std::function<void(const std::string&)> tell;
    bool told = false;
    std::string unusablePath;  // why a file named has no usable path

    void unreadable(const std::string& error)
    {
        if (tell && !told) {
            told = true;
            tell(error + "; the settings are neither read from it nor remembered in it");
        }
    }
};

namespace {

// `bytesRead`, when given, receives the file as read.
LoadResult load(const std::string& filePath, Document& doc, RegistryFile::Notice& notice,
                std::string* bytesRead = nullptr)
{
    doc = Document{};
    if (filePath.empty()) {
        if (!notice.unusablePath.empty()) {
            notice.unreadable(notice.unusablePath);
        }
        return LoadResult::Unreadable;
    }
    std::error_code ec;
    if (!std::filesystem::exists(Common::fileSystemPath(filePath), ec) && !ec) {
        return LoadResult::Missing;
    }
    std::string bytes;
    std::string error;
    if (!Common::readWholeFile(filePath, bytes, error, kMaxFileBytes)) {
        notice.unreadable(error);
        return LoadResult::Unreadable;
    }
    std::wstring text;
    if (bytes.starts_with("\xFF\xFE")) {
        text = Common::fromUtf16Le(std::string_view(bytes).substr(2));
    } else if (bytes.starts_with("\xEF\xBB\xBF")) {
        text = Common::fromUtf8(std::string_view(bytes).substr(3));
    } else {
        text = Common::fromUtf8(bytes);
    }
    doc = parse(text);
    if (bytesRead != nullptr) {
        *bytesRead = std::move(bytes);
    }
    return LoadResult::Loaded;
}

void makeFolderOf(const std::string& filePath)
{
    const std::filesystem::path folder = Common::fileSystemPath(filePath).parent_path();
    std::error_code ec;
    if (!folder.empty()) {
        std::filesystem::create_directories(folder, ec);
    }
}

// Held around every read-modify-write of the file, so that two programs
// writing their settings at the same time do not lose each other's values.
// The lock is on a file of its own beside the registry file: the registry
// file itself is replaced by every write, and a lock on the replaced file
// would no longer keep anybody out.
class WriteLock {
public:
    explicit WriteLock(const std::string& filePath)
    {
        const std::filesystem::path path = Common::fileSystemPath(filePath);
        std::string lockName = path.filename().string();
        lockName.insert(lockName.begin(), '.');
        lockName += ".lock";
        const std::string lockPath = path.empty() ? std::string() : (path.parent_path() / lockName).string();
        fd_ = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
        if (fd_ < 0) {
            return;
        }
        // Another program holds it only for one write; a holder that never
        // lets go must not hang this one, so the wait is bounded.
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
            if ((errno != EWOULDBLOCK && errno != EINTR) || std::chrono::steady_clock::now() > giveUp) {
                ::close(fd_);
                fd_ = -1;
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    ~WriteLock()
    {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    WriteLock(const WriteLock&) = delete;
    WriteLock& operator=(const WriteLock&) = delete;

    bool held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

bool save(const std::string& filePath, const Document& doc)
{
    std::string error;
    return Common::writeFileAtomically(filePath, Common::toUtf8(render(doc)), error);
}

// The value of `name` in the key: the last line that names it wins, as when
// the file is applied line by line.
const Entry* findValue(const Key& key, const std::wstring& name)
{
    const Entry* found = nullptr;
    for (const Entry& entry : key.entries) {
        if (entry.kind != Kind::Line && Common::equalsIgnoringCase(entry.name, name)) {
            found = &entry;
        }
    }
    return found;
}

class FileKey : public Common::RegistryKey {
public:
    FileKey(std::string filePath, std::wstring path, std::shared_ptr<RegistryFile::Notice> notice)
        : filePath_(std::move(filePath)), path_(std::move(path)), notice_(std::move(notice))
    {
    }

    std::optional<std::uint32_t> queryDword(const std::wstring& name) override
    {
        const Entry* entry = lookup(name);
        if (entry == nullptr || entry->kind != Kind::Dword) {
            return std::nullopt;
        }
        return entry->dword;
    }

    std::optional<std::wstring> queryString(const std::wstring& name) override
    {
        const Entry* entry = lookup(name);
        if (entry == nullptr || entry->kind != Kind::String) {
            return std::nullopt;
        }
        return entry->text;
    }

    bool setDword(const std::wstring& name, std::uint32_t value) override
    {
        Entry entry;
        entry.kind = Kind::Dword;
        entry.name = name;
        entry.dword = value;
        return set(std::move(entry));
    }

    bool setString(const std::wstring& name, const std::wstring& value) override
    {
        Entry entry;
        entry.kind = Kind::String;
        entry.name = name;
        entry.text = value;
        return set(std::move(entry));
    }

private:
    const Entry* lookup(const std::wstring& name)
    {
        if (load(filePath_, doc_, *notice_) != LoadResult::Loaded) {
            return nullptr;
        }
        const Key* key = doc_.find(path_);
        return key == nullptr ? nullptr : findValue(*key, name);
    }

    bool set(Entry entry)
    {
        makeFolderOf(filePath_);
        const WriteLock lock(filePath_);
        std::string before;
        const LoadResult loaded = lock.held() ? load(filePath_, doc_, *notice_, &before) : LoadResult::Unreadable;
        if (loaded == LoadResult::Unreadable) {
            return false;
        }
        Key* key = doc_.find(path_);
        if (key == nullptr) {
            doc_.keys.push_back(Key{path_, true, {}});
            key = &doc_.keys.back();
        }
        // The first line naming the value takes the new one; later lines
        // naming it would override it, so they go.
        bool placed = false;
        std::vector<Entry> kept;
        for (Entry& existing : key->entries) {
            if (existing.kind != Kind::Line && Common::equalsIgnoringCase(existing.name, entry.name)) {
                if (!placed) {
                    entry.name = existing.name;
                    kept.push_back(entry);
                    placed = true;
                }
                continue;
            }
            kept.push_back(std::move(existing));
        }
        if (!placed) {
            kept.push_back(std::move(entry));
        }
        key->entries = std::move(kept);
        // Every export stores its choices, mostly the very ones stored last
        // time: a file that would come out the same is left as it is, which
        // spares rewriting and flushing it to the disk.
        const std::string after = Common::toUtf8(render(doc_));
        if (loaded == LoadResult::Loaded && after == before) {
            return true;
        }
        std::string error;
        return Common::writeFileAtomically(filePath_, after, error);
    }

    std::string filePath_;
    std::wstring path_;
    std::shared_ptr<RegistryFile::Notice> notice_;
    Document doc_;
};

}  // namespace

RegistryFile::RegistryFile(std::string filePath, std::function<void(const std::string&)> tellUnreadable)
    : filePath_(std::move(filePath)),
      notice_(std::make_shared<Notice>(Notice{std::move(tellUnreadable), false, std::string()}))
{
}

void RegistryFile::setUnusablePath(const std::string& why)
{
    notice_->unusablePath = why;
}

std::string RegistryFile::defaultPath(std::string* problem)
{
    const auto env = [](const char* name) -> std::string {
        const char* value = std::getenv(name);
        return value == nullptr ? std::string() : std::string(value);
    };
    // The variables hold the system's bytes; the path is kept as text.
    const auto text = [problem](const char* variable, const std::string& bytes) {
        std::optional<std::string> path = pathTextOf(bytes);
        if (!path && problem != nullptr) {
            *problem = std::string("the settings file named by $") + variable +
                       " cannot be used: its path is not text in the character set of the locale (" +
                       Common::localeCharsetName() + ")";
        }
        return path.value_or(std::string());
    };
    if (const std::string explicitPath = env("CEDXM_REGISTRY"); !explicitPath.empty()) {
        return text("CEDXM_REGISTRY", explicitPath);
    }
    // Relative settings folders are not valid; they would depend on the
    // current directory.
    if (const std::string config = env("XDG_CONFIG_HOME"); config.starts_with('/')) {
        return text("XDG_CONFIG_HOME", config + "/Tavrel/CEDXM.reg");
    }
    if (const std::string home = env("HOME"); !home.empty()) {
        return text("HOME", home + "/.config/Tavrel/CEDXM.reg");
    }
    return std::string();
}

std::unique_ptr<Common::RegistryKey> RegistryFile::openKey(const std::wstring& path)
{
    Document doc;
    if (load(filePath_, doc, *notice_) != LoadResult::Loaded || doc.find(path) == nullptr) {
        return nullptr;
    }
    return std::make_unique<FileKey>(filePath_, path, notice_);
}

std::unique_ptr<Common::RegistryKey> RegistryFile::createKey(const std::wstring& path)
{
    if (filePath_.empty()) {
        return nullptr;
    }
    makeFolderOf(filePath_);
    const WriteLock lock(filePath_);
    Document doc;
    const LoadResult result = load(filePath_, doc, *notice_);
    if (!lock.held() || result == LoadResult::Unreadable) {
        return nullptr;
    }
    if (result == LoadResult::Missing || doc.find(path) == nullptr) {
        doc.keys.push_back(Key{path, true, {}});
        if (!save(filePath_, doc)) {
            return nullptr;
        }
    }
    return std::make_unique<FileKey>(filePath_, path, notice_);
}

}  // namespace Platform
