#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "ObjectHost.h"
#include "common/text/Encoding.h"
#include "exporter/reading/RoofPass.h"

using namespace PartsTest;
using Exporter::ExportModel;
using Exporter::ExportRoof;
using Exporter::Vector2d;

namespace {

struct RoofSpec {
    std::vector<double> outline;
    double pitch = 4, height = 5800, offset = 0, thickness = 30;
    int eaves = 0;
};

FakeObject roofObject(const RoofSpec& s, std::int16_t storey = 1)
{
    FakeObject o;
    o.type = 24;
    o.storey = storey;
    o.fill = [s](Arguments& a) {
        expectOutputs(a, repeated({{1, VariantType::DoubleArray},
                                   {4, VariantType::R8},
                                   {1, VariantType::UI2},
                                   {1, VariantType::UI4},
                                   {1, VariantType::R8},
                                   {5, VariantType::UI2}}));
        if (a.size() != 13) {
            return;
        }
        EXPECT_TRUE(a[0].value.asDoubles().empty());
        a[0].value = Variant::doubles(s.outline);
        a[1].value = Variant::r8(s.pitch);
        a[2].value = Variant::r8(s.height);
        a[3].value = Variant::r8(s.offset);
        a[4].value = Variant::r8(999);  // ignored
        a[5].value = Variant::ui2(7);   // ignored
        a[6].value = Variant::ui4(8);   // ignored
        a[7].value = Variant::r8(s.thickness);
        a[8].value = Variant::ui2(static_cast<std::uint16_t>(s.eaves));
        a[9].value = Variant::ui2(1);  // ignored
    };
    return o;
}

const std::vector<double> kRectangle{0, 0, 10000, 0, 10000, 6000, 0, 6000};

std::unique_ptr<ExportRoof> readOne(const RoofSpec& s, std::int16_t storey = 1)
{
    ObjectHost h;
    h.objects.push_back(roofObject(s, storey));
    ExportModel model;
    Exporter::readRoofs(model, h.document);
    EXPECT_EQ(model.roofs.size(), 1u);
    return model.roofs.empty() ? nullptr : std::move(model.roofs[0]);
}

void expectPoint(const Vector2d& p, double x, double y)
{
    EXPECT_NEAR(p.x, x, 1e-9);
    EXPECT_NEAR(p.y, y, 1e-9);
}

}  // namespace

TEST(RoofPass, RectangleBaseLineOffsetsAndValues)
{
    RoofSpec s;
    s.outline = kRectangle;
    auto roof = readOne(s, 2);
    ASSERT_TRUE(roof);
    ASSERT_EQ(roof->outline.size(), 4u);
    expectPoint(roof->outline[2], 10000, 6000);
    expectPoint(roof->baseLineStart, 0, 0);
    expectPoint(roof->baseLineEnd, 10000, 0);
    EXPECT_EQ(roof->edgeOffsets, (std::vector<float>{50, 0, 0, 0}));
    EXPECT_EQ(roof->storey, 3);
    EXPECT_EQ(roof->pitch, 4);
    EXPECT_EQ(roof->baseHeight, 5800);
    EXPECT_EQ(roof->finishThickness, 30);

    s.offset = 455;  // towards the inside of a counter-clockwise face
    roof = readOne(s);
    expectPoint(roof->baseLineStart, 0, 455);
    expectPoint(roof->baseLineEnd, 10000, 455);
}

TEST(RoofPass, EavesShapeCodes)
{
    RoofSpec s;
    s.outline = kRectangle;
    for (const auto& [host, code] : std::vector<std::pair<int, int>>{{0, 2}, {1, 1}, {2, 0}, {5, 0}}) {
        s.eaves = host;
        EXPECT_EQ(readOne(s)->eavesShapeCode, code) << "host value " << host;
    }
}

TEST(RoofPass, EveryEdgeAlongTheBaseLineGetsTheEavesOffset)
{
    RoofSpec s;
    // A stepped face: the third edge runs the base line's way again; the last
    // but one runs against it. An odd trailing value is no point.
    s.outline = {0, 0, 1000, 0, 1000, 100, 2000, 100, 2000, 1000, 0, 1000, 77};
    auto roof = readOne(s);
    ASSERT_EQ(roof->outline.size(), 6u);
    EXPECT_EQ(roof->edgeOffsets, (std::vector<float>{50, 0, 50, 0, 0, 0}));

    // Nearly parallel is not enough: cross of the unit vectors 0.0125 > 0.01.
    s.outline = {0, 0, 1000, 0, 1000, 100, 1800, 110, 0, 1000};
    roof = readOne(s);
    EXPECT_EQ(roof->edgeOffsets, (std::vector<float>{50, 0, 0, 0, 0}));
}

TEST(RoofPass, TypeIsAskedTwiceAndTheSecondAnswerCounts)
{
    ObjectHost h;
    RoofSpec s;
    s.outline = kRectangle;
    FakeObject notRoof = roofObject(s);
    notRoof.firstTypeAnswer = 24;
    notRoof.type = 19;
    FakeObject roof = roofObject(s, 3);
    roof.firstTypeAnswer = 19;
    h.objects = {notRoof, roof};
    ExportModel model;
    Exporter::readRoofs(model, h.document);
    ASSERT_EQ(model.roofs.size(), 1u);
    EXPECT_EQ(model.roofs[0]->storey, 4);
    EXPECT_EQ(h.host().ops(), (std::vector<int>{62, 64, 65, 64, 63, 64, 65, 64, 222, 63}));
}

TEST(RoofPass, DegenerateOutlines)
{
    RoofSpec s;
    s.outline = {};
    auto roof = readOne(s);
    EXPECT_TRUE(roof->outline.empty());
    EXPECT_TRUE(roof->edgeOffsets.empty());
    s.outline = {5, 6};
    roof = readOne(s);
    expectPoint(roof->baseLineStart, 5, 6);
    expectPoint(roof->baseLineEnd, 5, 6);
    EXPECT_EQ(roof->edgeOffsets, (std::vector<float>{0}));
}

// Forced roof generation.

namespace {

std::wstring writeIni(const std::string& name, const std::string& text)
{
    const char* env = std::getenv("CEDXM_TEST_TMP");
    std::filesystem::path dir = env != nullptr ? std::filesystem::path(env) : std::filesystem::temp_directory_path();
    dir /= "export_parts";
    std::filesystem::create_directories(dir);
    const std::filesystem::path path = dir / name;
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    return Common::fromUtf8(path.string());
}

// A host that generates one roof once its storey settings were written back,
// seen by the next roof walk.
struct GeneratingHost {
    ObjectHost h;
    bool rebuilt = false;

    GeneratingHost()
    {
        auto& host = h.host();
        host.on(38, [](Arguments&, Variant& r) { r = Variant::i2(2); });
        host.on(60, [](Arguments& a, Variant& r) { r = Variant::ui1(static_cast<std::uint8_t>(10 * a.at(0).value.asI2())); });
        host.on(59, [this](Arguments&, Variant&) { rebuilt = true; });
        host.on(39, [](Arguments&, Variant& r) { r = Variant::i4(1); });
        host.on(62, [this](Arguments&, Variant& r) {
            if (rebuilt && h.objects.empty()) {
                RoofSpec s;
                s.outline = kRectangle;
                h.objects.push_back(roofObject(s));
            }
            r = Variant::i4(h.objects.empty() ? 0 : 1);
        });
    }
};

struct CallView {
    int op;
    bool put;
    std::vector<Variant> args;
};

std::vector<CallView> view(const TestSupport::ScriptedHost& host)
{
    std::vector<CallView> out;
    for (const auto& c : host.calls) {
        CallView v{c.op, c.put, {}};
        for (const auto& a : c.args) {
            v.args.push_back(a.value);
        }
        out.push_back(v);
    }
    return out;
}

void expectForcedCalls(const TestSupport::ScriptedHost& host)
{
    const auto calls = view(host);
    ASSERT_GE(calls.size(), 12u);
    EXPECT_EQ(calls[0].op, 38);
    EXPECT_TRUE(calls[0].args.empty());
    EXPECT_TRUE(calls[1].put);
    EXPECT_EQ(calls[1].op, 179);
    EXPECT_EQ(calls[1].args, (std::vector<Variant>{Variant::ui2(1)}));
    for (int storey = 1; storey <= 4; ++storey) {
        const CallView& read = calls[static_cast<std::size_t>(2 * storey)];
        const CallView& write = calls[static_cast<std::size_t>(2 * storey + 1)];
        EXPECT_EQ(read.op, 60);
        EXPECT_EQ(read.args, (std::vector<Variant>{Variant::i2(static_cast<std::int16_t>(storey))}));
        EXPECT_EQ(write.op, 59);
        EXPECT_EQ(write.args, (std::vector<Variant>{Variant::i2(static_cast<std::int16_t>(storey)),
                                                    Variant::ui1(static_cast<std::uint8_t>(10 * storey))}));
    }
    EXPECT_TRUE(calls[10].put);
    EXPECT_EQ(calls[10].op, 179);
    EXPECT_EQ(calls[10].args, (std::vector<Variant>{Variant::ui2(0)}));
    EXPECT_EQ(calls[11].op, 39);
    EXPECT_EQ(calls[11].args, (std::vector<Variant>{Variant::i2(2)}));
}

}  // namespace

TEST(ForceRoofGeneration, TrueOrEmptyDrivesTheHostAndReadsTheRoofsAgain)
{
    for (const std::string& ini : {std::string("[EXPORT]\nForceCreateRoof=TRUE\n"), std::string("[EXPORT]\nForceCreateRoof=\n"),
                                   std::string("[EXPORT]\nOther=1\n")}) {
        GeneratingHost g;
        ExportModel model;
        const std::wstring path = writeIni("force.ini", ini);
        Exporter::forceRoofGeneration(model, g.h.document, path);
        expectForcedCalls(g.h.host());
        EXPECT_EQ(model.roofCount(), 1u) << ini;
        const std::vector<int> ops = g.h.host().ops();
        EXPECT_EQ(std::vector<int>(ops.begin() + 12, ops.end()), (std::vector<int>{62, 64, 65, 64, 222, 63})) << ini;
    }
}

TEST(ForceRoofGeneration, MissingIniFileCountsAsEmpty)
{
    GeneratingHost g;
    ExportModel model;
    g.h.host().on(59, [](Arguments&, Variant&) {});  // this host generates nothing
    Exporter::forceRoofGeneration(model, g.h.document, L"/nonexistent/DM2CDX.ini");
    expectForcedCalls(g.h.host());
    EXPECT_EQ(model.roofCount(), 0u);  // the host made none: the plan stays without roofs
}

TEST(ForceRoofGeneration, OtherValuesOrExistingRoofsSkipTheStepEntirely)
{
    for (const std::string& ini : {std::string("[EXPORT]\nForceCreateRoof=true\n"), std::string("[EXPORT]\nForceCreateRoof=FALSE\n"),
                                   std::string("[EXPORT]\nForceCreateRoof=TRUE1\n")}) {
        GeneratingHost g;
        ExportModel model;
        Exporter::forceRoofGeneration(model, g.h.document, writeIni("skip.ini", ini));
        EXPECT_TRUE(g.h.host().calls.empty()) << ini;
    }
    GeneratingHost g;
    ExportModel model;
    model.roofs.push_back(std::make_unique<ExportRoof>());
    Exporter::forceRoofGeneration(model, g.h.document, writeIni("has.ini", "[EXPORT]\nForceCreateRoof=TRUE\n"));
    EXPECT_TRUE(g.h.host().calls.empty());
    EXPECT_EQ(model.roofCount(), 1u);
}
