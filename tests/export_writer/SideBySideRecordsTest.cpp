#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

#include "WriterTestSupport.h"
#include "common/text/XmlTextLimit.h"
#include "exporter/model/ExportModel.h"
#include "exporter/writer/Guid.h"
#include "exporter/writer/SectionWriters.h"
#include "exporter/writer/SideBySideRecords.h"

using namespace Exporter;

namespace {

class SideBySideRecordsTest : public ::testing::Test {
protected:
    std::filesystem::path dir = WriterTest::freshFolder(
        std::string("records_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::path file = dir / "out.xml";

    std::size_t entries() const
    {
        return static_cast<std::size_t>(
            std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()));
    }
};

// A record of nested elements, an identifier, text to escape and encode,
// and a number that tells the record's place.
void writeSample(XmlTextWriter& xml, std::size_t i)
{
    xml.start(L"記録");
    xml.value(L"ID", ElementId().text());
    xml.valueInteger(L"番号", static_cast<long long>(i));
    xml.start(L"種類");
    xml.value(L"名称", i % 2 == 0 ? L"和室 & 縁側" : L"洋室<2>");
    xml.end(L"種類");
    XmlAttributeList& attributes = xml.attributes();
    appendPoint(attributes.add(L"点"), static_cast<double>(i) * 0.25, -1.0);
    xml.empty(L"座標", attributes);
    xml.end(L"記録");
}

// The whole file, around the records an open list whose end tag comes after them.
std::string writeList(const std::filesystem::path& file, bool shiftJis, std::size_t count,
                      const RecordBatching& batching)
{
    XmlTextWriter xml;
    EXPECT_TRUE(xml.open(file.string(), shiftJis));
    xml.start(L"CADIF");
    xml.start(L"一覧");
    writeRecords(xml, count, writeSample, batching);
    xml.end(L"CADIF");
    EXPECT_TRUE(xml.close()) << xml.error();
    return WriterTest::readBytes(file);
}

TEST_F(SideBySideRecordsTest, ChunksSplitUnevenlyGiveTheBytesOfOneThreadAndFreshIdentifiers)
{
    for (const bool shiftJis : {true, false}) {
        // Less than two chunks, whole rounds, and rounds with a short last chunk or fewer chunks.
        for (const std::size_t count : {0, 5, 6, 7, 12, 13, 29}) {
            SCOPED_TRACE(::testing::Message() << "shiftJis " << shiftJis << ", " << count << " records");
            const std::string alone = writeList(file, shiftJis, count, {3, 1});
            for (const std::size_t threads : {2, 3}) {
                const std::string sideBySide = writeList(file, shiftJis, count, {3, threads});
                const auto text = [&](const std::string& bytes) {
                    return shiftJis ? Common::fromCp932(bytes).value_or(L"?") : Common::fromUtf8(bytes);
                };
                int ids = 0;
                const std::wstring masked = WriterTest::maskIds(text(sideBySide), &ids);
                EXPECT_EQ(masked, WriterTest::maskIds(text(alone)));
                EXPECT_EQ(ids, static_cast<int>(count));
                std::set<std::string> seen;
                for (auto at = sideBySide.find("<ID>"); at != std::string::npos; at = sideBySide.find("<ID>", at + 1)) {
                    EXPECT_TRUE(seen.insert(sideBySide.substr(at + 4, 36)).second) << "identifier used twice";
                }
            }
        }
    }
    EXPECT_EQ(entries(), 1u);
}

TEST_F(SideBySideRecordsTest, ValueTooLongInALaterChunkFailsAsOnOneThreadAndKeepsTheOldFile)
{
    const std::wstring tooLong(Common::kMaxXmlTextBytes + 1, L'a');
    const auto write = [&](const RecordBatching& batching) {
        XmlTextWriter xml;
        EXPECT_TRUE(xml.open(file.string(), true));
        xml.start(L"一覧");
        writeRecords(
            xml, 20,
            [&](XmlTextWriter& out, std::size_t i) {
                writeSample(out, i);
                if (i == 10 || i == 16) {
                    out.value(i == 10 ? L"備考" : L"後の備考", tooLong);
                }
            },
            batching);
        xml.end(L"一覧");
        EXPECT_FALSE(xml.close());
        return xml.error();
    };
    {
        std::ofstream old(file, std::ios::binary);
        old << "old";
    }
    const std::string alone = write({3, 1});
    EXPECT_NE(alone.find("備考"), std::string::npos) << alone;
    EXPECT_NE(alone.find(file.string()), std::string::npos) << alone;
    EXPECT_EQ(write({3, 2}), alone);
    EXPECT_EQ(WriterTest::readBytes(file), "old");
    EXPECT_EQ(entries(), 1u);
}

TEST_F(SideBySideRecordsTest, FailureThrownInAChunkReachesTheCallerAndNothingIsWritten)
{
    {
        XmlTextWriter xml;
        ASSERT_TRUE(xml.open(file.string(), true));
        xml.start(L"一覧");
        const auto failing = [](XmlTextWriter& out, std::size_t i) {
            if (i == 8) {
                throw std::runtime_error("record 8");
            }
            writeSample(out, i);
        };
        EXPECT_THROW(writeRecords(xml, 20, failing, {3, 2}), std::runtime_error);
    }
    EXPECT_EQ(entries(), 0u);
}

TEST_F(SideBySideRecordsTest, LongRoomListKeepsItsOrderAndGivesEveryRoomItsOwnIdentifier)
{
    // Long enough for the chunks of the real sections to go side by side
    // on a machine with more than one core.
    ExportModel model;
    const std::size_t rooms = 9000;
    for (std::size_t i = 0; i < rooms; ++i) {
        auto room = std::make_unique<ExportRoom>();
        room->storey = 1;
        room->name = L"室" + std::to_wstring(i);
        room->outline = {{0, 0}, {910, 0}, {910, 910}};
        model.rooms.push_back(std::move(room));
    }
    std::string error;
    ASSERT_TRUE(writeCedxmDocument(model, file.string(), L"x", true, error)) << error;
    const std::wstring text = WriterTest::readCp932(file);
    std::size_t at = 0;
    for (std::size_t i = 0; i < rooms; ++i) {
        at = text.find(L"<名称>室" + std::to_wstring(i) + L"</名称>", at);
        ASSERT_NE(at, std::wstring::npos) << "room " << i << " missing or out of order";
    }
    std::set<std::wstring> seen;
    for (auto id = text.find(L"<ID>"); id != std::wstring::npos; id = text.find(L"<ID>", id + 1)) {
        seen.insert(text.substr(id + 4, 36));
    }
    EXPECT_EQ(seen.size(), rooms);
}

}  // namespace
