// Random plans through the simulated host: the bytes choose storeys, rooms,
// wall boxes, wall-attached objects, fittings, stairs and roofs; the plan is
// written as a plan file, opened as a running host, bound, read by the
// exporter's passes and written as a CEDXM file. Whatever the exporter
// writes must then load in the importer.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <fstream>

#include <nlohmann/json.hpp>

#include "FuzzSupport.h"
#include "common/host/AutomationObject.h"
#include "common/host/Binding.h"
#include "common/settings/Options.h"
#include "exporter/app/ReadingDriver.h"
#include "exporter/model/ExportModel.h"
#include "exporter/reading/FirstQuadrantShift.h"
#include "exporter/writer/SectionWriters.h"
#include "hostsim/HostSession.h"
#include "importer/model/ImportModel.h"
#include "importer/reading/CedxmReader.h"

namespace {

using Json = nlohmann::json;

// Mostly points on a 455 mm grid near the origin, so that rooms share edges
// and walls meet; now and then any finite number.
double coordinate(FuzzedDataProvider& in)
{
    const std::uint8_t pick = in.ConsumeIntegral<std::uint8_t>();
    if (pick < 200) {
        return 455.0 * static_cast<int>(pick % 24) - 2 * 455.0;
    }
    if (pick < 240) {
        return static_cast<double>(in.ConsumeIntegralInRange<int>(-20000, 20000));
    }
    const double any = in.ConsumeFloatingPoint<double>();
    return std::isfinite(any) ? any : 0.0;
}

Json point(FuzzedDataProvider& in)
{
    const double x = coordinate(in);
    return Json::array({x, coordinate(in)});
}

double measure(FuzzedDataProvider& in, int low, int high)
{
    return static_cast<double>(in.ConsumeIntegralInRange<int>(low, high));
}

Json fitting(FuzzedDataProvider& in)
{
    static const char* const parts[] = {"玄関ドア_W800.m3d", "引違い窓_W1690H1100.m3d", "x.m3d", ""};
    return Json{{"part", parts[in.ConsumeIntegralInRange<int>(0, 3)]},
                {"centre", point(in)},
                {"sill", measure(in, -100, 3000)},
                {"angle", measure(in, -360, 360)},
                {"width", measure(in, 0, 4000)},
                {"height", measure(in, 0, 3000)}};
}

Json object(FuzzedDataProvider& in)
{
    const int storey = in.ConsumeIntegralInRange<int>(-1, 6);
    Json o;
    switch (in.ConsumeIntegralInRange<int>(0, 7)) {
    case 0:
    case 1: {  // room
        Json outline = Json::array();
        const int corners = in.ConsumeIntegralInRange<int>(0, 8);
        if (corners == 4 && in.ConsumeBool()) {  // a plain rectangle is the common case
            const double x0 = coordinate(in), y0 = coordinate(in), x1 = coordinate(in), y1 = coordinate(in);
            outline = Json::array({Json::array({x0, y0}), Json::array({x1, y0}), Json::array({x1, y1}),
                                   Json::array({x0, y1})});
        } else {
            for (int i = 0; i < corners; ++i) {
                outline.push_back(point(in));
            }
        }
        o = Json{{"type", 19},           {"storey", storey},
                 {"kind", in.ConsumeIntegralInRange<int>(-1, 40)},
                 {"name", in.ConsumeRandomLengthString(12)},
                 {"floor", measure(in, -500, 1000)},
                 {"height", measure(in, -100, 4000)},
                 {"outline", outline}};
        break;
    }
    case 2:
        o = Json{{"type", 5},
                 {"storey", storey},
                 {"centre", point(in)},
                 {"size", Json::array({measure(in, 0, 4000), measure(in, 0, 4000)})},
                 {"fullHeight", in.ConsumeIntegralInRange<int>(0, 1)},
                 {"bottom", measure(in, -100, 3000)},
                 {"top", measure(in, -100, 3000)}};
        break;
    case 3:
        o = Json{{"type", 20},
                 {"storey", storey},
                 {"centre", point(in)},
                 {"size", Json::array({measure(in, 0, 4000), measure(in, 0, 4000)})},
                 {"hanging", in.ConsumeIntegralInRange<int>(0, 1)},
                 {"bottom", measure(in, -100, 3000)},
                 {"height", measure(in, -100, 3000)}};
        break;
    case 4: {
        static const int kinds[] = {21, 22, 23, 48};
        o = Json{{"type", kinds[in.ConsumeIntegralInRange<int>(0, 3)]},
                 {"storey", storey},
                 {"start", point(in)},
                 {"end", point(in)},
                 {"upper", measure(in, -100, 3000)},
                 {"lower", measure(in, -100, 3000)}};
        break;
    }
    case 5:
        o = Json{{"type", in.ConsumeIntegralInRange<int>(13, 18)},
                 {"storey", storey},
                 {"start", point(in)},
                 {"width", measure(in, 0, 2000)},
                 {"form", in.ConsumeIntegralInRange<int>(-1, 8)},
                 {"treads", Json::array({measure(in, 0, 1000), measure(in, 0, 1000), measure(in, 0, 1000)})},
                 {"counts", Json::array({in.ConsumeIntegralInRange<int>(-2, 30), in.ConsumeIntegralInRange<int>(-2, 30),
                                         in.ConsumeIntegralInRange<int>(-2, 30)})},
                 {"patterns", Json::array({in.ConsumeIntegralInRange<int>(-1, 10), in.ConsumeIntegralInRange<int>(-1, 10)})},
                 {"side", in.ConsumeIntegralInRange<int>(-1, 2)},
                 {"direction", measure(in, -360, 360)},
                 {"formFlag", in.ConsumeIntegralInRange<int>(-1, 2)},
                 {"skip", in.ConsumeIntegralInRange<int>(0, 1)}};
        break;
    case 6: {
        Json outline = Json::array();
        const int corners = in.ConsumeIntegralInRange<int>(0, 6);
        for (int i = 0; i < corners; ++i) {
            outline.push_back(point(in));
        }
        o = Json{{"type", 24},
                 {"storey", storey},
                 {"outline", outline},
                 {"pitch", measure(in, -2, 12)},
                 {"height", measure(in, 0, 9000)},
                 {"baseOffset", measure(in, 0, 900)},
                 {"thickness", measure(in, 0, 100)},
                 {"eavesShape", in.ConsumeIntegralInRange<int>(-1, 3)}};
        break;
    }
    default:
        o = Json{{"type", in.ConsumeIntegralInRange<int>(0, 60)}, {"storey", storey}};
        break;
    }
    if (in.ConsumeIntegralInRange<int>(0, 3) == 0) {
        o["fitting"] = fitting(in);
    }
    return o;
}

Json plan(FuzzedDataProvider& in)
{
    Json settings = Json::array();
    for (int i = 0; i < 14; ++i) {
        settings.push_back(i < 5 ? 0.0 : measure(in, 0, 3000));
    }
    Json objects = Json::array();
    const int count = in.ConsumeIntegralInRange<int>(0, 40);
    for (int i = 0; i < count && in.remaining_bytes() > 0; ++i) {
        objects.push_back(object(in));
    }
    Json generated = Json::array();
    if (in.ConsumeBool()) {
        generated.push_back(Json{{"storey", 2},
                                 {"outline", Json::array({point(in), point(in), point(in), point(in)})},
                                 {"pitch", 4.5},
                                 {"height", 6300},
                                 {"baseOffset", 455},
                                 {"thickness", 30},
                                 {"eavesShape", 0}});
    }
    return Json{{"application", {{"version", "Ver.8.10"}, {"folder", "C:\\Host"}, {"windowHandle", 5001}}},
                {"document",
                 {{"windowHandle", 5001},
                  {"minimized", false},
                  {"currentStorey", 1},
                  {"storeySettings", settings},
                  {"grid", {{"module", in.ConsumeBool() ? 910.0 : measure(in, 0, 2000)}, {"a", 0.0}, {"b", 0.0}}},
                  {"objects", objects},
                  {"generatedRoofs", generated}}}};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::wstring iniPath = Fuzz::wide(CEDXM_SOURCE_DIR "/resources/exporter/DM2CDX.ini");
    static const std::wstring tablePath = Fuzz::wide(CEDXM_SOURCE_DIR "/fuzz/corpus/csv/table.csv");
    FuzzedDataProvider in(data, size);
    Common::ExportOptions options;
    options.fittingType = in.ConsumeIntegralInRange<int>(0, 1);
    options.fittingPath = tablePath;
    options.originType = in.ConsumeIntegralInRange<int>(0, 1);
    const int openingExtendType = in.ConsumeIntegralInRange<int>(0, 1);

    // Room names are random bytes: the plan file holds them as UTF-8, with
    // whatever is not UTF-8 replaced.
    const std::string planText = plan(in).dump(-1, ' ', false, Json::error_handler_t::replace);
    const std::string planPath = Fuzz::writeScratch(
        "plan.json", reinterpret_cast<const std::uint8_t*>(planText.data()), planText.size());
    std::unique_ptr<HostSim::HostSession> session;
    try {
        session = HostSim::HostSession::open(planPath, false);
    } catch (const HostSim::PlanError&) {
        return 0;  // the generator made something the host does not take
    }
    Common::HostApplication application =
        Common::bindHostObject(session->runningObjectTable(), Common::kHostApplicationProgId, 0);
    Common::HostDocument document =
        Common::bindHostObject(session->runningObjectTable(), Common::kHostDocumentProgId, 0);
    if (!application.isBound() || !document.isBound()) {
        __builtin_trap();
    }

    auto model = std::make_unique<Exporter::ExportModel>();
    try {
        Exporter::runReadingDriver(*model, application, document, options, iniPath, openingExtendType);
    } catch (const Common::HostError&) {
        return 0;  // the host refused an operation: the run ends with a message
    }
    if (options.originType == 1) {
        Exporter::shiftToFirstQuadrant(*model);
    }
    const std::string outputPath = (Fuzz::scratchFolder() / "export.xml").string();
    std::string error;
    if (!Exporter::writeCedxmDocument(*model, outputPath, L"fuzz", in.ConsumeBool(), error)) {
        __builtin_trap();  // the scratch folder is writable: nothing may stop the writer
    }
    Importer::ImportModel imported;
    std::wstring problem;
    if (!Importer::loadCedxmFile(imported, Fuzz::wide(outputPath), problem)) {
        __builtin_trap();  // the importer must read whatever the exporter wrote
    }
    return 0;
}
