// The sample plans exported through the whole DM2CDX run flow against the
// simulated host, compared with expected files whose values were worked out
// by hand from the plans (rooms, room-edge walls with the opening spans cut
// out, the courtyard's hole written the other way round with code 1, wall
// boxes and wall-attached objects by their kind table, openings and their
// model numbers, every stair form, roof base lines, offsets and eaves codes).
// Identifiers and the output date differ per run and are masked.

#include <gtest/gtest.h>

#include "SampleRuns.h"

namespace {

struct Case {
    const char* plan;
    const char* expected;
    std::vector<std::wstring> options;
};

class ExpectedOutput : public ::testing::Test {
protected:
    E2e::Workspace work;

    // The masked text of one export, with LF line ends; checks the file's
    // outer form on the way.
    std::wstring exportMasked(const std::string& plan, const std::vector<std::wstring>& options,
                              const std::string& outName)
    {
        const auto output = work.file(outName);
        std::filesystem::create_directories(output.parent_path());
        std::string errors;
        EXPECT_EQ(work.exportPlan(E2e::sampleDir() / plan, output, options, errors), Exporter::kExitDone) << errors;
        EXPECT_EQ(errors, "");
        const std::string bytes = E2e::readBytes(output);
        const auto text = Common::fromCp932(bytes);
        EXPECT_TRUE(text.has_value()) << outName << " is not Shift-JIS";
        if (!text) {
            return L"";
        }
        // Every line ends with CR LF, and nothing else is a line end.
        std::wstring lf;
        for (std::size_t i = 0; i < text->size(); ++i) {
            const wchar_t c = (*text)[i];
            if (c == L'\r') {
                EXPECT_TRUE(i + 1 < text->size() && (*text)[i + 1] == L'\n') << "lone CR at " << i;
                continue;
            }
            if (c == L'\n') {
                EXPECT_TRUE(i > 0 && (*text)[i - 1] == L'\r') << "lone LF at " << i;
            }
            lf += c;
        }
        std::vector<std::string> problems;
        std::wstring masked = E2e::maskVolatile(lf, problems);
        EXPECT_EQ(problems, std::vector<std::string>());
        return masked;
    }

    void expectSame(const std::wstring& actual, const std::string& expectedName)
    {
        const auto expectedPath = E2e::sourceDir() / "tests" / "app_e2e" / "expected" / expectedName;
        const std::wstring expected = Common::fromUtf8(E2e::readBytes(expectedPath));
        ASSERT_FALSE(expected.empty()) << expectedPath;
        if (actual == expected) {
            return;
        }
        const auto actualPath = work.file(expectedName + ".actual");
        std::filesystem::create_directories(actualPath.parent_path());
        E2e::writeBytes(actualPath, Common::toUtf8(actual));
        // Point at the first line that differs.
        std::size_t line = 1, i = 0;
        while (i < actual.size() && i < expected.size() && actual[i] == expected[i]) {
            line += actual[i] == L'\n' ? 1 : 0;
            ++i;
        }
        const auto lineOf = [](const std::wstring& t, std::size_t at) {
            const std::size_t from = t.rfind(L'\n', at == 0 ? 0 : at - 1);
            const std::size_t start = from == std::wstring::npos ? 0 : from + 1;
            return Common::toUtf8(t.substr(start, t.find(L'\n', start) - start));
        };
        ADD_FAILURE() << expectedName << " differs from line " << line << ":\n  expected: " << lineOf(expected, i)
                      << "\n  actual:   " << lineOf(actual, i);
    }
};

TEST_F(ExpectedOutput, CourtyardPlanWithOpeningsOnly)
{
    expectSame(exportMasked("courtyard.json", {L"--openings-only", L"--keep-origin"}, "courtyard.xml"),
               "courtyard.xml");
}

TEST_F(ExpectedOutput, FeaturesPlanWithFittingTable)
{
    const std::wstring table = Common::fromUtf8((E2e::sampleDir() / "features-fittings.csv").string());
    expectSame(exportMasked("features.json", {L"--fitting-table", table, L"--keep-origin"}, "features.xml"),
               "features.xml");
}

// The project name follows the output file name, so these go to a folder of
// their own. The plans lie on the axes; a door on x = 0 at 90 degrees comes out at
// x = -2.4e-14 ("-0.0"), which must not move the whole plan a grid step.
TEST_F(ExpectedOutput, FirstQuadrantLeavesAPlanOnTheAxesWhereItIs)
{
    const std::wstring table = Common::fromUtf8((E2e::sampleDir() / "features-fittings.csv").string());
    expectSame(exportMasked("features.json", {L"--fitting-table", table, L"--first-quadrant"}, "fq/features.xml"),
               "features.xml");
    expectSame(exportMasked("courtyard.json", {L"--openings-only", L"--first-quadrant"}, "fq/courtyard.xml"),
               "courtyard.xml");
}

// Without the table the same plan gives the same file without any 建具.
TEST_F(ExpectedOutput, OpeningsOnlyDropsEveryModelNumber)
{
    const std::wstring text = exportMasked("features.json", {L"--openings-only", L"--keep-origin"}, "features.xml");
    const std::wstring withTable = Common::fromUtf8(
        E2e::readBytes(E2e::sourceDir() / "tests" / "app_e2e" / "expected" / "features.xml"));
    std::wstring expected;
    int fittings = 0;
    bool inFitting = false;
    for (std::size_t at = 0; at < withTable.size();) {
        const std::size_t next = withTable.find(L'\n', at) + 1;
        const std::wstring line = withTable.substr(at, next - at);
        if (line.find(L"<建具>") != std::wstring::npos) {
            inFitting = true;
            ++fittings;
        }
        if (!inFitting) {
            expected += line;
        }
        if (line.find(L"</建具>") != std::wstring::npos) {
            inFitting = false;
        }
        at = next;
    }
    EXPECT_EQ(fittings, 4);
    EXPECT_EQ(text, expected);
}

}  // namespace
