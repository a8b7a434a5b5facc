#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "common/text/Encoding.h"
#include "platform/posix/RegistryFile.h"
#include "support/TempFolder.h"

using Platform::RegistryFile;
using TestSupport::TempFolder;

namespace {

const std::wstring kKey = L"Software\\Tavrel\\CEDXM";

}  // namespace

TEST(RegistryFile, MissingFileHasNoKeyUntilCreated)
{
    TempFolder folder;
    const std::string path = folder.file("config/Tavrel/CEDXM.reg");
    RegistryFile registry(path);
    EXPECT_EQ(registry.openKey(kKey), nullptr);

    auto created = registry.createKey(kKey);
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(TempFolder::read(path), "Windows Registry Editor Version 5.00\n\n"
                                      "[HKEY_CURRENT_USER\\Software\\Tavrel\\CEDXM]\n");
    auto opened = registry.openKey(kKey);
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->queryDword(L"ExportFittingType"), std::nullopt);
    EXPECT_EQ(opened->queryString(L"ExportFittingPath"), std::nullopt);
    EXPECT_EQ(registry.openKey(L"Software\\Other"), nullptr);
}

TEST(RegistryFile, TypedValuesRoundTripInRegEditForm)
{
    TempFolder folder;
    const std::string path = folder.file("CEDXM.reg");
    RegistryFile registry(path);
    auto key = registry.createKey(kKey);
    ASSERT_NE(key, nullptr);
    EXPECT_TRUE(key->setDword(L"ExportFittingType", 10));
    EXPECT_TRUE(key->setString(L"ExportFittingPath", L"C:\\data\\a \"b\" 表.csv"));
    EXPECT_TRUE(key->setDword(L"ImportOriginType", 0xFFFFFFFFu));
    EXPECT_TRUE(key->setDword(L"ExportFittingType", 1));
    EXPECT_EQ(TempFolder::read(path), "Windows Registry Editor Version 5.00\n\n"
                                      "[HKEY_CURRENT_USER\\Software\\Tavrel\\CEDXM]\n"
                                      "\"ExportFittingType\"=dword:00000001\n"
                                      "\"ExportFittingPath\"=\"C:\\\\data\\\\a \\\"b\\\" \xE8\xA1\xA8.csv\"\n"
                                      "\"ImportOriginType\"=dword:ffffffff\n");

    RegistryFile again(path);
    auto reopened = again.openKey(L"software\\tavrel\\cedxm");
    ASSERT_NE(reopened, nullptr);
    EXPECT_EQ(reopened->queryDword(L"exportfittingtype"), 1u);
    EXPECT_EQ(reopened->queryString(L"ExportFittingPath"), L"C:\\data\\a \"b\" 表.csv");
    EXPECT_EQ(reopened->queryDword(L"ImportOriginType"), 0xFFFFFFFFu);
    // The wrong type reads as absent, both ways.
    EXPECT_EQ(reopened->queryString(L"ExportFittingType"), std::nullopt);
    EXPECT_EQ(reopened->queryDword(L"ExportFittingPath"), std::nullopt);

    // Empty text, and text that cannot stand on one line.
    EXPECT_TRUE(reopened->setString(L"Empty", L""));
    const std::wstring multi(L"line 1\nline 2\0tail", 18);
    EXPECT_TRUE(reopened->setString(L"Multi", multi));
    EXPECT_EQ(reopened->queryString(L"Empty"), L"");
    EXPECT_EQ(reopened->queryString(L"Multi"), L"line 1\nline 2");
    EXPECT_NE(TempFolder::read(path).find("\"Multi\"=hex(1):6c,00,69,00"), std::string::npos);
}

TEST(RegistryFile, HandWrittenFileIsReadAndEverythingElseKept)
{
    TempFolder folder;
    const std::string original = "Windows Registry Editor Version 5.00\r\n"
                                 "\r\n"
                                 "[HKEY_LOCAL_MACHINE\\Software\\Else]\r\n"
                                 "\"Machine\"=dword:00000005\r\n"
                                 "\r\n"
                                 "[HKEY_CURRENT_USER\\SOFTWARE\\Tavrel\\CEDXM]\r\n"
                                 "; remembered choices\r\n"
                                 "\"ImportRoofType\"=dword:2\r\n"
                                 "\"Binary\"=hex:01,02,\\\r\n"
                                 "  03,04\r\n"
                                 "\"ImportFittingPath\"=\"old.csv\"\r\n"
                                 "\"broken=\"\r\n"
                                 "\"Bad\"=dword:xyz\r\n"
                                 "\"Gone\"=-\r\n"
                                 "\"ImportFittingPath\"=\"D:\\\\new.csv\"\r\n"
                                 "\"Wide\"=hex(1):41,00,42,00,00,00\r\n"
                                 "@=\"default\"\r\n";
    const std::string path = folder.write("CEDXM.reg", original);
    RegistryFile registry(path);
    auto key = registry.openKey(kKey);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->queryDword(L"ImportRoofType"), 2u);
    EXPECT_EQ(key->queryString(L"ImportFittingPath"), L"D:\\new.csv");
    EXPECT_EQ(key->queryString(L"Wide"), L"AB");
    EXPECT_EQ(key->queryString(L""), L"default");
    EXPECT_EQ(key->queryDword(L"Binary"), std::nullopt);
    EXPECT_EQ(key->queryString(L"Binary"), std::nullopt);
    EXPECT_EQ(key->queryDword(L"Bad"), std::nullopt);
    EXPECT_EQ(key->queryString(L"Gone"), std::nullopt);
    EXPECT_EQ(key->queryDword(L"Machine"), std::nullopt);

    ASSERT_TRUE(key->setDword(L"ImportRoofType", 1));
    ASSERT_TRUE(key->setString(L"Gone", L"back"));
    const std::string rewritten = TempFolder::read(path);
    EXPECT_NE(rewritten.find("[HKEY_LOCAL_MACHINE\\Software\\Else]\n\"Machine\"=dword:00000005\n"), std::string::npos);
    EXPECT_NE(rewritten.find("; remembered choices\n\"ImportRoofType\"=dword:00000001\n"
                             "\"Binary\"=hex:01,02,\\\n  03,04\n"),
              std::string::npos)
        << rewritten;
    EXPECT_NE(rewritten.find("\"broken=\"\n\"Bad\"=dword:xyz\n\"Gone\"=\"back\"\n"), std::string::npos) << rewritten;
    // The later line that overrode the path is still what is read.
    EXPECT_EQ(RegistryFile(path).openKey(kKey)->queryString(L"ImportFittingPath"), L"D:\\new.csv");
    EXPECT_EQ(RegistryFile(path).openKey(kKey)->queryDword(L"ImportRoofType"), 1u);
}

TEST(RegistryFile, UnicodeFileFromTheRegistryEditorIsRead)
{
    TempFolder folder;
    const std::wstring text = L"Windows Registry Editor Version 5.00\r\n\r\n"
                              L"[HKEY_CURRENT_USER\\Software\\Tavrel\\CEDXM]\r\n"
                              L"\"ExportFittingPath\"=\"表.csv\"\r\n";
    const std::string path = folder.write("CEDXM.reg", "\xFF\xFE" + Common::toUtf16Le(text));
    auto key = RegistryFile(path).openKey(kKey);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->queryString(L"ExportFittingPath"), L"表.csv");
}

TEST(RegistryFile, BrokenOrUnreadableFilesDoNotCrashAndAreNotOverwritten)
{
    TempFolder folder;
    // A folder where the file should be: no key, and nothing is created.
    std::filesystem::create_directory(folder.path() / "CEDXM.reg");
    RegistryFile onFolder(folder.file("CEDXM.reg"));
    EXPECT_EQ(onFolder.openKey(kKey), nullptr);
    EXPECT_EQ(onFolder.createKey(kKey), nullptr);

    // Binary garbage: no key; creating one keeps working.
    std::string junk;
    for (int i = 0; i < 5000; ++i) {
        junk += static_cast<char>((i * 131) % 256);
    }
    const std::string junkPath = folder.write("junk.reg", junk);
    RegistryFile broken(junkPath);
    EXPECT_EQ(broken.openKey(kKey), nullptr);
    auto key = broken.createKey(kKey);
    ASSERT_NE(key, nullptr);
    EXPECT_TRUE(key->setDword(L"ExportOriginType", 1));
    EXPECT_EQ(broken.openKey(kKey)->queryDword(L"ExportOriginType"), 1u);

    // A pipe is neither waited on nor replaced; why it is not used is told
    // once, however often it is asked.
    const std::string pipe = folder.file("pipe.reg");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    std::vector<std::string> told;
    RegistryFile onPipe(pipe, [&](const std::string& problem) { told.push_back(problem); });
    EXPECT_EQ(onPipe.openKey(kKey), nullptr);
    EXPECT_EQ(onPipe.createKey(kKey), nullptr);
    EXPECT_TRUE(std::filesystem::is_fifo(pipe));
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0].find(pipe), std::string::npos) << told[0];
    EXPECT_NE(told[0].find("not a regular file"), std::string::npos) << told[0];

    // A file too large to be read is left alone.
    const std::string hugePath = folder.write("huge.reg", std::string(17u << 20, ';'));
    RegistryFile huge(hugePath);
    EXPECT_EQ(huge.createKey(kKey), nullptr);
    EXPECT_EQ(std::filesystem::file_size(hugePath), 17u << 20);

    // A key opened earlier whose file went away: reads find nothing, a write
    // makes the file again.
    auto stale = RegistryFile(junkPath).openKey(kKey);
    ASSERT_NE(stale, nullptr);
    std::filesystem::remove(junkPath);
    EXPECT_EQ(stale->queryDword(L"ExportOriginType"), std::nullopt);
    EXPECT_TRUE(stale->setDword(L"ExportOriginType", 0));
    EXPECT_EQ(RegistryFile(junkPath).openKey(kKey)->queryDword(L"ExportOriginType"), 0u);
}

TEST(RegistryFile, DefaultPathFromEnvironment)
{
    const auto keep = [](const char* name) {
        const char* v = std::getenv(name);
        return v == nullptr ? std::optional<std::string>() : std::optional<std::string>(v);
    };
    const auto registryEnv = keep("CEDXM_REGISTRY");
    const auto configEnv = keep("XDG_CONFIG_HOME");
    const auto homeEnv = keep("HOME");

    ::setenv("CEDXM_REGISTRY", "/x/r.reg", 1);
    ::setenv("XDG_CONFIG_HOME", "/cfg", 1);
    ::setenv("HOME", "/home/u", 1);
    EXPECT_EQ(RegistryFile::defaultPath(), "/x/r.reg");
    ::unsetenv("CEDXM_REGISTRY");
    EXPECT_EQ(RegistryFile::defaultPath(), "/cfg/Tavrel/CEDXM.reg");
    ::setenv("XDG_CONFIG_HOME", "relative", 1);
    EXPECT_EQ(RegistryFile::defaultPath(), "/home/u/.config/Tavrel/CEDXM.reg");
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(RegistryFile::defaultPath(), "/home/u/.config/Tavrel/CEDXM.reg");

    // A path that is not text in the locale's set is not opened under some
    // other name; the settings are not remembered, and that is told.
    ::setenv("CEDXM_REGISTRY", "/x/caf\xE9.reg", 1);
    std::string problem;
    EXPECT_EQ(RegistryFile::defaultPath(&problem), "");
    EXPECT_NE(problem.find("$CEDXM_REGISTRY"), std::string::npos) << problem;
    std::vector<std::string> told;
    RegistryFile unnamed("", [&](const std::string& why) { told.push_back(why); });
    unnamed.setUnusablePath(problem);
    EXPECT_EQ(unnamed.openKey(L"Software\\Tavrel\\CEDXM"), nullptr);
    EXPECT_EQ(unnamed.createKey(L"Software\\Tavrel\\CEDXM"), nullptr);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_TRUE(told[0].starts_with(problem)) << told[0];

    const auto restore = [](const char* name, const std::optional<std::string>& v) {
        if (v) {
            ::setenv(name, v->c_str(), 1);
        } else {
            ::unsetenv(name);
        }
    };
    restore("CEDXM_REGISTRY", registryEnv);
    restore("XDG_CONFIG_HOME", configEnv);
    restore("HOME", homeEnv);
}

TEST(RegistryFile, BrokenContinuedLineDoesNotSwallowWhatIsWrittenAfterIt)
{
    // A binary value whose last line still ends with the continuation
    // backslash, last in its key: values written into that key later, and
    // the key after it, must stay values and keys of their own.
    TempFolder folder;
    const std::string path = folder.write("CEDXM.reg", "Windows Registry Editor Version 5.00\r\n\r\n"
                                                       "[HKEY_CURRENT_USER\\Software\\Tavrel\\CEDXM]\r\n"
                                                       "\"Blob\"=hex:01,02,\\\r\n"
                                                       "\r\n"
                                                       "[HKEY_CURRENT_USER\\Software\\Other]\r\n"
                                                       "\"Kept\"=dword:00000007\r\n");
    RegistryFile registry(path);
    auto other = registry.openKey(L"Software\\Other");
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(other->queryDword(L"Kept"), 7u);

    auto key = registry.createKey(kKey);
    ASSERT_NE(key, nullptr);
    EXPECT_TRUE(key->setString(L"ExportFittingPath", L"a\nb"));
    EXPECT_TRUE(key->setDword(L"ExportOriginType", 1));
    auto again = registry.openKey(kKey);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->queryString(L"ExportFittingPath"), L"a\nb");
    EXPECT_EQ(again->queryDword(L"ExportOriginType"), 1u);
    EXPECT_EQ(registry.openKey(L"Software\\Other")->queryDword(L"Kept"), 7u);
    EXPECT_NE(TempFolder::read(path).find("\"Blob\"=hex:01,02,\\\n"), std::string::npos);  // kept as it was
}

// An export and an import store their choices at the same moment: every
// value either of them wrote must be there afterwards.
TEST(RegistryFile, ConcurrentWritersLoseNoValues)
{
    TempFolder folder;
    const std::string path = folder.file("CEDXM.reg");
    constexpr int kValues = 40;
    std::vector<pid_t> writers;
    for (const char* side : {"Export", "Import"}) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            RegistryFile registry(path);
            auto key = registry.createKey(kKey);
            bool ok = key != nullptr;
            for (int i = 0; i < kValues && ok; ++i) {
                ok = key->setDword(Common::fromUtf8(side + std::to_string(i)), static_cast<std::uint32_t>(i));
            }
            ::_exit(ok ? 0 : 1);
        }
        writers.push_back(pid);
    }
    for (const pid_t pid : writers) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    RegistryFile registry(path);
    auto key = registry.openKey(kKey);
    ASSERT_NE(key, nullptr);
    int missing = 0;
    for (const char* side : {"Export", "Import"}) {
        for (int i = 0; i < kValues; ++i) {
            missing += key->queryDword(Common::fromUtf8(side + std::to_string(i))) == std::optional<std::uint32_t>(i) ? 0 : 1;
        }
    }
    EXPECT_EQ(missing, 0);
}

TEST(RegistryFile, StoringTheValueItHoldsLeavesTheFileAsItIs)
{
    TempFolder folder;
    const std::string path = folder.file("CEDXM.reg");
    RegistryFile registry(path);
    auto key = registry.createKey(kKey);
    ASSERT_NE(key, nullptr);
    ASSERT_TRUE(key->setDword(L"ExportOriginType", 1));
    ASSERT_TRUE(key->setString(L"ExportFittingPath", L"C:\\a.csv"));
    const auto inode = [&]() {
        struct stat st {};
        EXPECT_EQ(::stat(path.c_str(), &st), 0);
        return st.st_ino;
    };
    const auto first = inode();
    const std::string text = TempFolder::read(path);
    // The same values again: nothing is rewritten (a rewrite replaces the file).
    EXPECT_TRUE(key->setDword(L"exportorigintype", 1));
    EXPECT_EQ(inode(), first);
    EXPECT_TRUE(key->setString(L"ExportFittingPath", L"C:\\a.csv"));
    EXPECT_EQ(inode(), first);
    EXPECT_EQ(TempFolder::read(path), text);
    // Another value, or the same value of another type, is written.
    EXPECT_TRUE(key->setString(L"ExportOriginType", L"1"));
    EXPECT_NE(TempFolder::read(path), text);
    EXPECT_EQ(key->queryString(L"ExportOriginType"), L"1");
    // A file spelled otherwise (line ends of Windows) is written in the usual form.
    folder.write("CEDXM.reg", "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Tavrel\\CEDXM]\r\n"
                            "\"ExportOriginType\"=dword:00000001\r\n");
    EXPECT_TRUE(key->setDword(L"ExportOriginType", 1));
    EXPECT_EQ(TempFolder::read(path).find('\r'), std::string::npos);
}
