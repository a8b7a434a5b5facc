#include <gtest/gtest.h>

#include <langinfo.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "common/text/Encoding.h"
#include "platform/posix/PosixPlatform.h"
#include "support/ShiftJisLocale.h"
#include "support/TempFolder.h"

using Platform::PosixPlatform;
using TestSupport::TempFolder;

namespace {

// Sets an environment variable for one test and restores it afterwards.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name)
    {
        if (const char* v = std::getenv(name)) {
            previous_ = v;
        }
        if (value != nullptr) {
            ::setenv(name, value, 1);
        } else {
            ::unsetenv(name);
        }
    }
    ~ScopedEnv()
    {
        if (previous_) {
            ::setenv(name_, previous_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }

private:
    const char* name_;
    std::optional<std::string> previous_;
};

}  // namespace

TEST(NamedMutex, SecondHolderInProcessOrChildIsRefused)
{
    TempFolder folder;
    ScopedEnv runtime("XDG_RUNTIME_DIR", folder.path().c_str());
    PosixPlatform platform(folder.file("r.reg"));
    EXPECT_EQ(PosixPlatform::lockFolder(), folder.path().string());

    auto first = platform.createNamedMutex(L"DomoriaCEDXMExport");
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(std::filesystem::exists(folder.path() / "DomoriaCEDXMExport"));
    // A second open of the lock file is a separate lock holder.
    EXPECT_EQ(platform.createNamedMutex(L"DomoriaCEDXMExport"), nullptr);
    // The other program's mutex is independent.
    auto importer = platform.createNamedMutex(L"DomoriaCEDXMImport");
    EXPECT_NE(importer, nullptr);

    // Another process is refused too.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        PosixPlatform inChild(folder.file("r.reg"));
        _exit(inChild.createNamedMutex(L"DomoriaCEDXMExport") == nullptr ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    first.reset();
    EXPECT_NE(platform.createNamedMutex(L"DomoriaCEDXMExport"), nullptr);
}

// Without a runtime folder the lock lives in a private folder of the user's
// own, not in /tmp itself where another user's lock would block everyone.
TEST(NamedMutex, FallsBackToAPrivateFolderAndToleratesOddNames)
{
    {
        ScopedEnv runtime("XDG_RUNTIME_DIR", "/nonexistent-runtime-folder");
        const std::string fallback = PosixPlatform::lockFolder();
        EXPECT_EQ(fallback, "/tmp/cedxm-" + std::to_string(::getuid()));
        struct stat st {};
        ASSERT_EQ(::lstat(fallback.c_str(), &st), 0);
        EXPECT_TRUE(S_ISDIR(st.st_mode));
        EXPECT_EQ(st.st_mode & 077, 0u);
    }
    TempFolder folder;
    ScopedEnv real("XDG_RUNTIME_DIR", folder.path().c_str());
    PosixPlatform platform(folder.file("r.reg"));
    auto odd = platform.createNamedMutex(L"Global\\a/b");
    ASSERT_NE(odd, nullptr);
    EXPECT_TRUE(std::filesystem::exists(folder.path() / "Global\\a_b"));
    EXPECT_EQ(platform.createNamedMutex(L"Global\\a/b"), nullptr);
}

// A lock that cannot be made is an error with its reason, not "another
// instance".
TEST(NamedMutex, UnusableLockFileIsAnErrorWithTheReason)
{
    TempFolder folder;
    ScopedEnv runtime("XDG_RUNTIME_DIR", folder.path().c_str());
    std::filesystem::create_directory(folder.path() / "DomoriaCEDXMExport");
    PosixPlatform platform(folder.file("r.reg"));
    try {
        platform.createNamedMutex(L"DomoriaCEDXMExport");
        ADD_FAILURE() << "a folder was taken as the lock file";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("Is a directory"), std::string::npos) << e.what();
    }
}

TEST(PosixPlatform, FoldersAndModule)
{
    TempFolder folder;
    PosixPlatform platform(folder.file("r.reg"));
    EXPECT_EQ(platform.screenPixelsPerInch(), 96);
    EXPECT_TRUE(platform.isDirectory(Common::fromUtf8(folder.path().string())));
    EXPECT_FALSE(platform.isDirectory(Common::fromUtf8(folder.write("f.txt", "x"))));
    EXPECT_FALSE(platform.isDirectory(Common::fromUtf8(folder.file("none"))));

    const std::wstring module = platform.moduleFileName();
    EXPECT_TRUE(module.ends_with(L"/platform_posix_tests")) << Common::toUtf8(module);

    {
        ScopedEnv home("HOME", folder.path().c_str());
        EXPECT_EQ(platform.documentsFolder(0), Common::fromUtf8(folder.path().string()));
        std::filesystem::create_directory(folder.path() / "Documents");
        EXPECT_EQ(platform.documentsFolder(0), Common::fromUtf8((folder.path() / "Documents").string()));
    }
    {
        ScopedEnv noHome("HOME", nullptr);
        EXPECT_EQ(platform.documentsFolder(0), L"");
    }
}

TEST(PosixPlatform, MessagesOpenAndMinimised)
{
    TempFolder folder;
    PosixPlatform platform(folder.file("r.reg"));
    const std::string readme = folder.write("readme.txt", "read me");

    testing::internal::CaptureStdout();
    EXPECT_TRUE(platform.shellOpen(Common::fromUtf8(readme)));
    EXPECT_FALSE(platform.shellOpen(Common::fromUtf8(folder.file("missing.txt"))));
    platform.messageBox(L"CEDXMの出力が完了しました", L"DM2CDX", 5001);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "open: " + readme + "\nCEDXM\xE3\x81\xAE\xE5\x87\xBA\xE5\x8A\x9B\xE3\x81\x8C\xE5\xAE\x8C\xE4\xBA\x86"
                                  "\xE3\x81\x97\xE3\x81\xBE\xE3\x81\x97\xE3\x81\x9F\n");

    testing::internal::CaptureStderr();
    platform.reportError(L"cannot write \"x.xml\"");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "cannot write \"x.xml\"\n");

    // No window is minimised until the windows are known; then they answer.
    EXPECT_FALSE(platform.isWindowMinimized(5001));
    platform.setWindows([](std::int32_t window) { return window == 5001; });
    EXPECT_TRUE(platform.isWindowMinimized(5001));
    EXPECT_FALSE(platform.isWindowMinimized(5002));
}

// Only the C locales are installed here, so the decimal separator cannot be
// seen to stay "." against a comma locale; the character set can be checked.
TEST(PosixPlatform, UserLocaleComesFromEnvironment)
{
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    {
        ScopedEnv all("LC_ALL", nullptr);
        ScopedEnv ctype("LC_CTYPE", nullptr);
        ScopedEnv lang("LANG", "C.UTF-8");
        PosixPlatform platform("");
        platform.setUserLocale();
        EXPECT_STREQ(nl_langinfo(CODESET), "UTF-8");
        EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
    }
    std::setlocale(LC_ALL, previous.c_str());
}

TEST(PosixPlatform, RegistryIsTheFileAtTheGivenPath)
{
    TempFolder folder;
    PosixPlatform platform(folder.file("r.reg"));
    ASSERT_NE(platform.registry().createKey(L"Software\\Tavrel\\CEDXM"), nullptr);
    EXPECT_TRUE(std::filesystem::exists(folder.file("r.reg")));

    ScopedEnv registry("CEDXM_REGISTRY", folder.file("env.reg").c_str());
    PosixPlatform fromEnvironment;
    ASSERT_NE(fromEnvironment.registry().createKey(L"Software\\Tavrel\\CEDXM"), nullptr);
    EXPECT_TRUE(std::filesystem::exists(folder.file("env.reg")));
}

// Under a Shift-JIS locale two Japanese file names typed by the user stay two
// names; read as UTF-8 both would collapse into the same replacement
// characters and one export would overwrite the other. An argument that is
// not text in the locale's set (and, under a UTF-8 locale, one that is not
// UTF-8) is refused by its place, not guessed at.
TEST(PosixPlatform, ArgumentsAreDecodedInTheLocalesCharacterSet)
{
    const TestSupport::ShiftJisLocale shiftJis;
    if (!shiftJis.available()) {
        GTEST_SKIP() << "localedef could not build a Shift-JIS locale here";
    }
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    char program[] = "DM2CDX";
    char ascii[] = "--output";
    char notShiftJis[] = "\x81\x20.xml";  // a lead byte without its second byte
    {
        ScopedEnv path("LOCPATH", shiftJis.folder().c_str());
        ScopedEnv all("LC_ALL", TestSupport::ShiftJisLocale::kName);
        char yamada[] = "\x8E\x52\x93\x63\x93\x40.xml";  // 山田邸.xml
        char tanaka[] = "\x93\x63\x92\x86\x93\x40.xml";  // 田中邸.xml
        char* argv[] = {program, ascii, yamada, tanaka};
        const Platform::LocaleArguments args = Platform::localeArguments(4, argv);
        EXPECT_EQ(args.problem, "");
        EXPECT_EQ(args.arguments, (std::vector<std::wstring>{L"--output", L"山田邸.xml", L"田中邸.xml"}));

        char* refused[] = {program, ascii, notShiftJis};
        const Platform::LocaleArguments bad = Platform::localeArguments(3, refused);
        EXPECT_TRUE(bad.arguments.empty());
        EXPECT_NE(bad.problem.find("argument 2 (the value of --output) \"\\x81 .xml\""), std::string::npos) << bad.problem;
    }
    {
        ScopedEnv all("LC_ALL", "C.UTF-8");
        char latin1[] = "caf\xE9.xml";
        char* argv[] = {program, latin1};
        const Platform::LocaleArguments bad = Platform::localeArguments(2, argv);
        EXPECT_TRUE(bad.arguments.empty());
        EXPECT_NE(bad.problem.find("argument 1 \"caf\\xE9.xml\""), std::string::npos) << bad.problem;
    }
    std::setlocale(LC_ALL, previous.c_str());
}
