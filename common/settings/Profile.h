#pragma once

#include <memory>
#include <string>

namespace Common {

// Reads one text value of an ini file with the profile semantics: section and
// key names compare case-insensitively, the value is trimmed and stripped of
// one pair of surrounding quotes, and at most 1023 characters are used. A
// missing file, section or key gives the empty text. Lines starting with ';'
// are comments; only the first section of a name and the first occurrence of
// a key in it count. The file is in the locale's character set, or UTF-8 when
// it begins with a UTF-8 byte order mark; undecodable bytes become U+FFFD.
// A file too large to be an ini file (over 16 MiB) counts as missing.
std::wstring readProfileString(const std::wstring& section, const std::wstring& key, const std::wstring& iniPath);

// Reads an integer the way the platform's profile integer reader does:
// leading blanks, an optional sign, then decimal digits up to the first
// non-digit, accumulated in 32 bits with wrap-around; other text gives 0; a
// missing key or an empty value (quotes stripped) gives `defaultValue`.
int readProfileInt(const std::wstring& section, const std::wstring& key, int defaultValue, const std::wstring& iniPath);

// Keeps one ini file read and indexed for as long as it lives, so that a run
// asking for many keys reads the file once: while it lives, the two readers
// above answer every question about `iniPath` from what it read at its
// creation. The programs hold one for their whole run (the ini file is
// delivered beside them and never written); without one, every question
// reads the file afresh. Not for use from more than one thread.
class ProfileSnapshot {
public:
    explicit ProfileSnapshot(const std::wstring& iniPath);
    ~ProfileSnapshot();
    ProfileSnapshot(const ProfileSnapshot&) = delete;
    ProfileSnapshot& operator=(const ProfileSnapshot&) = delete;

    struct Index;
    const std::wstring& path() const { return path_; }
    // Why the file, though there, could not be read (a folder, a pipe or
    // device, one too large, no permission): empty when it was read or is
    // missing. Every value then is its default.
    const std::string& problem() const;
    const Index& index() const { return *index_; }
    const ProfileSnapshot* outer() const { return outer_; }

private:
    std::wstring path_;
    std::unique_ptr<const Index> index_;
    ProfileSnapshot* outer_;
};

// True when the path names something that is not a folder.
bool fileExists(const std::wstring& path);

}  // namespace Common
