#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// How both programs reach the file system. Paths are text, held as UTF-8;
// each platform spells them for its own system calls (on POSIX in the
// character set of the user's locale, so that a name is opened as the bytes
// the user typed, on Windows as wide names). Messages show the text.

namespace Common {

enum class PathKind { Missing, File, Folder, Other };

// What `path` names, symbolic links followed: a regular file, a folder,
// something else (device, pipe, socket) or nothing reachable.
PathKind pathKind(const std::string& path);

// Why a whole-file read did not deliver the file.
enum class ReadStatus {
    Read,        // `bytes` holds the whole file
    CannotOpen,  // missing, no permission ...; `reason` says which
    Folder,      // the path names a folder
    NotRegular,  // a device, pipe or socket: nothing is read from it
    TooLarge,    // more than the limit; `size` is the size when known beforehand, else 0
    Failed,      // reading stopped with an error; `reason` says which
};

struct FileRead {
    ReadStatus status = ReadStatus::Read;
    std::string reason;      // the system's own words for CannotOpen and Failed
    std::uint64_t size = 0;  // for TooLarge
    bool ok() const { return status == ReadStatus::Read; }
};

// Reads a whole regular file of at most `maxBytes` bytes. On any failure
// `bytes` is left empty, so a hostile file (an endless device, a file that
// grows while read, a huge one) can neither hang nor exhaust memory.
FileRead readRegularFile(const std::string& path, std::size_t maxBytes, std::string& bytes);

// The same with one message: false with `error` set ("cannot read" with the
// path and the reason) when the file could not be read whole.
bool readWholeFile(const std::string& path, std::string& bytes, std::string& error, std::size_t maxBytes);

// A file replaced atomically, written piece by piece: the bytes go to a
// temporary file in the target's folder, which is renamed over the target
// only by commit(), when everything was written and flushed. A failed,
// abandoned or destroyed replacement leaves the target untouched and no
// temporary file behind. A symbolic link is written through (the link stays,
// the file it points to gets the new contents); a replaced file keeps its
// permissions, a new one gets the usual ones.
class ReplacementFile {
public:
    ReplacementFile();
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // Creates the temporary file; false with error() set when the target
    // cannot be replaced: no file name or a folder, an existing target that
    // is not a regular file (a device or pipe is never replaced, also not
    // through a link), no temporary file. The temporary file's name is
    // short, so that any name the file system takes for the target works.
    bool begin(const std::string& path);
    // False once anything failed; the first failure is kept in error().
    bool write(std::string_view bytes);
    // Flushes and renames over the target; false with error() set, the
    // target then untouched.
    bool commit();
    // Throws the temporary file away.
    void abandon();

    bool isOpen() const;
    bool failed() const { return !error_.empty(); }
    // What went wrong: "cannot write" with the target's path and the reason.
    const std::string& error() const { return error_; }

private:
    struct Temporary;
    std::unique_ptr<Temporary> temporary_;
    std::string path_;
    std::string error_;
};

// One replacement in one call; false with `error` set as above.
bool writeFileAtomically(const std::string& path, std::string_view bytes, std::string& error);

// Whether two paths name the same file: existing files by identity (the
// same file reached through a link or another spelling of its path), files
// not there yet by the same name in the same folder. Paths that cannot be
// looked at name different files.
bool sameFile(const std::string& a, const std::string& b);

// A path as std::filesystem and the file streams take it, spelled as the
// functions above spell it. An empty path (which names no file) when the
// platform cannot spell the text.
std::filesystem::path fileSystemPath(const std::string& path);
// The text of a path std::filesystem gave (the current folder made part of
// it); empty when the platform's spelling is not text the programs can hold
// without changing the name.
std::optional<std::string> textOfFileSystemPath(const std::filesystem::path& path);

}  // namespace Common
