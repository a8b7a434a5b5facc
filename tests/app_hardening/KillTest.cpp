// Both programs killed (SIGKILL) at random moments while they run on a large
// plan: the file each one writes (the exporter's CEDXM file, the importer's
// plan file) must afterwards be either the old file, byte for byte, or the
// complete new one. Half the kills are timed at random over the whole run;
// the other half wait until the program's temporary file appears, so that
// the moment of writing is hit for certain.

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "common/text/Encoding.h"
#include "hostsim/HostSession.h"
#include "hostsim/PlanDocument.h"
#include "importer/model/ImportModel.h"
#include "importer/reading/CedxmReader.h"
#include "support/ProgramRun.h"
#include "support/TempFolder.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRounds = 12;
namespace fs = std::filesystem;

const std::string kExporter = CEDXM_BINARY_DIR "/exporter/DM2CDX";
const std::string kImporter = CEDXM_BINARY_DIR "/importer/CDX2DM";

// A storey of side x side rooms, each 1820 mm square with a window in its
// south wall, and the same again on the second storey: large enough that
// both programs run for a noticeable time and write a sizeable file.
std::string largePlan(int side)
{
    std::string objects;
    auto add = [&](const std::string& object) {
        if (!objects.empty()) {
            objects += ",\n";
        }
        objects += object;
    };
    for (int storey = 1; storey <= 2; ++storey) {
        for (int i = 0; i < side; ++i) {
            for (int j = 0; j < side; ++j) {
                const int x0 = i * 1820, y0 = j * 1820, x1 = x0 + 1820, y1 = y0 + 1820;
                add("{\"type\":19,\"storey\":" + std::to_string(storey) + ",\"kind\":" + std::to_string(1 + (i + j) % 20) +
                    ",\"name\":\"室" + std::to_string(i) + "-" + std::to_string(j) +
                    "\",\"floor\":0,\"height\":2400,\"outline\":[[" + std::to_string(x0) + "," + std::to_string(y0) +
                    "],[" + std::to_string(x1) + "," + std::to_string(y0) + "],[" + std::to_string(x1) + "," +
                    std::to_string(y1) + "],[" + std::to_string(x0) + "," + std::to_string(y1) + "]]}");
                add("{\"type\":27,\"storey\":" + std::to_string(storey) +
                    ",\"fitting\":{\"part\":\"引違い窓_W1690H1100.m3d\",\"centre\":[" + std::to_string(x0 + 910) + "," +
                    std::to_string(y0) + "],\"sill\":900,\"angle\":0,\"width\":1200,\"height\":1100}}");
            }
        }
    }
    return "{\"application\":{\"version\":\"Ver.8.10\",\"folder\":\"C:\\\\Host\",\"windowHandle\":5001},"
           "\"document\":{\"windowHandle\":5001,\"minimized\":false,\"currentStorey\":1,"
           "\"storeySettings\":[0,0,0,0,0,2900,2900,2900,2900,1000,500,400,120,0],"
           "\"grid\":{\"module\":910.0,\"setting16\":0,\"setting32\":0,\"a\":0.0,\"b\":0.0},\"objects\":[\n" +
           objects + "\n]}}\n";
}

// Starts a program with its settings, lock and documents kept in `folder`
// and its output thrown away.
pid_t start(const std::string& program, const std::vector<std::string>& args, const fs::path& folder)
{
    return TestSupport::startProgram(program, args, folder, "/dev/null", "/dev/null");
}

// The exit status, or -signal when the program was killed.
int finish(pid_t pid)
{
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

// Temporary files the programs leave in `folder` (dot files they name after
// the target).
std::vector<fs::path> temporaries(const fs::path& folder, const std::string& target)
{
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("." + target + ".", 0) == 0) {
            found.push_back(entry.path());
        }
    }
    return found;
}

void writeBytes(const fs::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

struct KillTally {
    int old = 0;           // the target was still the old file
    int complete = 0;      // the target was the complete new file
    int whileWriting = 0;  // killed while the temporary file existed
    int strays = 0;        // runs that left a temporary file behind
};

// Runs the program `rounds` times, killing it at random; `check` judges the
// target file after each kill.
template <typename Check>
KillTally killRepeatedly(const std::string& program, const std::vector<std::string>& args, const fs::path& folder,
                         const std::string& target, const std::string& oldBytes, double fullRunSeconds, int rounds,
                         Check check)
{
    std::mt19937 random(20261209U + static_cast<unsigned>(rounds));
    KillTally tally;
    const fs::path targetPath = folder / target;
    for (int round = 0; round < rounds; ++round) {
        writeBytes(targetPath, oldBytes);
        const pid_t pid = start(program, args, folder);
        bool ended = false;
        if (round % 2 == 0) {
            std::uniform_real_distribution<double> delay(0.0, fullRunSeconds * 1.5);
            std::this_thread::sleep_for(std::chrono::duration<double>(delay(random)));
        } else {
            // Wait for the temporary file, then up to a millisecond more.
            int status = 0;
            while (temporaries(folder, target).empty() && !ended) {
                ended = ::waitpid(pid, &status, WNOHANG) == pid;
                std::this_thread::sleep_for(std::chrono::microseconds(50));
            }
            std::uniform_int_distribution<int> extra(0, 1000);
            std::this_thread::sleep_for(std::chrono::microseconds(extra(random)));
        }
        if (!ended) {
            const bool sawTemporary = !temporaries(folder, target).empty();
            ::kill(pid, SIGKILL);
            const int status = finish(pid);
            if (status == -SIGKILL && sawTemporary) {
                ++tally.whileWriting;
            }
        }
        const bool stillWriting = !temporaries(folder, target).empty();
        const std::string now = TestSupport::TempFolder::read(targetPath.string());
        if (now == oldBytes) {
            ++tally.old;
        } else {
            EXPECT_TRUE(check(targetPath)) << "round " << round << ": the target is neither old nor complete";
            ++tally.complete;
        }
        if (stillWriting) {
            ++tally.strays;
        }
        for (const fs::path& stray : temporaries(folder, target)) {
            fs::remove(stray);
        }
    }
    return tally;
}

double timedRun(const std::string& program, const std::vector<std::string>& args, const fs::path& folder, int& status)
{
    const auto begin = Clock::now();
    status = finish(start(program, args, folder));
    return std::chrono::duration<double>(Clock::now() - begin).count();
}

bool programsBuilt()
{
    return fs::exists(kExporter) && fs::exists(kImporter);
}

}  // namespace

TEST(KillTest, ExporterLeavesTheOldOrTheCompleteCedxmFile)
{
    ASSERT_TRUE(programsBuilt()) << "build DM2CDX and CDX2DM first (" << kExporter << ")";
    TestSupport::TempFolder folder;
    folder.write("plan.json", largePlan(16));
    const std::vector<std::string> args{"--host", folder.file("plan.json"), "--output", folder.file("out.xml")};

    int status = -1;
    const double seconds = timedRun(kExporter, args, folder.path(), status);
    ASSERT_EQ(status, 0);
    const std::string reference = TestSupport::TempFolder::read(folder.file("out.xml"));
    ASSERT_GT(reference.size(), 500000u);
    Importer::ImportModel referenceModel;
    std::wstring problem;
    ASSERT_TRUE(Importer::loadCedxmFile(referenceModel, Common::fromUtf8(folder.file("out.xml")), problem));

    // A complete new file differs from the reference only in its random
    // GUIDs and its time of writing: about the same length, the same ending,
    // and it reads back with every room and opening.
    auto complete = [&](const fs::path& path) {
        const std::string bytes = TestSupport::TempFolder::read(path.string());
        Importer::ImportModel model;
        std::wstring why;
        const std::size_t difference =
            bytes.size() > reference.size() ? bytes.size() - reference.size() : reference.size() - bytes.size();
        return difference < 16 && bytes.size() > 10 &&
               bytes.substr(bytes.size() - 10) == reference.substr(reference.size() - 10) &&
               Importer::loadCedxmFile(model, Common::fromUtf8(path.string()), why) &&
               model.rooms.size() == referenceModel.rooms.size() &&
               model.openings.size() == referenceModel.openings.size();
    };
    const std::string oldBytes = "<?xml version=\"1.0\"?>\n<CADIF>the previous export</CADIF>\n";
    const KillTally tally =
        killRepeatedly(kExporter, args, folder.path(), "out.xml", oldBytes, seconds, kRounds, complete);
    EXPECT_EQ(tally.old + tally.complete, kRounds);
    EXPECT_GE(tally.whileWriting, 1) << "no kill landed while the file was being written";
    // What a kill leaves: at most the hidden temporary file beside the target,
    // never read by anyone; the target is untouched.
    std::printf("exporter: run %.2fs, %d old, %d complete, %d killed while writing, %d left a temporary\n", seconds,
                tally.old, tally.complete, tally.whileWriting, tally.strays);
}

TEST(KillTest, ImporterLeavesTheOldOrTheCompletePlanFile)
{
    ASSERT_TRUE(programsBuilt()) << "build DM2CDX and CDX2DM first (" << kImporter << ")";
    TestSupport::TempFolder folder;
    folder.write("source.json", largePlan(16));
    int status = -1;
    timedRun(kExporter, {"--host", folder.file("source.json"), "--output", folder.file("in.xml")}, folder.path(),
             status);
    ASSERT_EQ(status, 0);

    // The plan to import into: empty, as the importer demands, but told
    // apart from anything the importer writes by its application folder.
    const std::string oldBytes =
        "{\"application\":{\"version\":\"Ver.8.10\",\"folder\":\"C:\\\\Old\",\"windowHandle\":5001},"
        "\"document\":{\"windowHandle\":5001,\"objects\":[]}}\n";
    const std::vector<std::string> args{"--host", folder.file("plan.json"), "--input", folder.file("in.xml")};
    folder.write("plan.json", oldBytes);
    const double seconds = timedRun(kImporter, args, folder.path(), status);
    ASSERT_EQ(status, 0);
    const std::string reference = TestSupport::TempFolder::read(folder.file("plan.json"));
    ASSERT_NE(reference, oldBytes);
    ASSERT_GT(HostSim::HostSession::open(folder.file("plan.json"), false)->plan().document.objects.size(), 500u);

    // The importer makes the same plan from the same file every time.
    auto complete = [&](const fs::path& path) { return TestSupport::TempFolder::read(path.string()) == reference; };
    const KillTally tally =
        killRepeatedly(kImporter, args, folder.path(), "plan.json", oldBytes, seconds, kRounds, complete);
    EXPECT_EQ(tally.old + tally.complete, kRounds);
    EXPECT_GE(tally.whileWriting, 1) << "no kill landed while the plan was being saved";
    std::printf("importer: run %.2fs, %d old, %d complete, %d killed while writing, %d left a temporary\n", seconds,
                tally.old, tally.complete, tally.whileWriting, tally.strays);
}
