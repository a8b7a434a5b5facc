// Reading a large CEDXM file: the whole import read (document load with its
// safety checks and code page 932 decoding, then every section reader) against
// a plain libxml2 parse of the same file.

#include <benchmark/benchmark.h>
#include <libxml/parser.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "common/text/Encoding.h"
#include "exporter/model/ExportModel.h"
#include "exporter/writer/SectionWriters.h"
#include "importer/model/ImportModel.h"
#include "importer/reading/CedxmReader.h"
#include "importer/xml/XmlDocument.h"

namespace {

constexpr std::uintmax_t kTargetBytes = 20u * 1024 * 1024;

// A plan of many houses side by side, written by the exporter in Shift-JIS,
// grown until the file holds about 20 MB.
const std::string& benchFile()
{
    static const std::string path = [] {
        const std::string file = (std::filesystem::temp_directory_path() / "cedxm_bench_reader.xml").string();
        std::error_code ec;
        if (std::filesystem::exists(file, ec) && std::filesystem::file_size(file, ec) >= kTargetBytes) {
            return file;
        }
        using Common::Vector2d;
        using Common::Vector3d;
        Exporter::ExportModel model;
        model.gridQuadrant = L"1";
        model.gridSpacing = Vector2d(910, 910);
        model.storeysAboveGround = 2;
        model.structuralLevelByStorey = {{1, 0.0f}, {2, 2900.0f}};
        model.referenceFloorLevelByStorey = {{1, 500.0f}, {2, 3400.0f}};
        model.methodType = -1;
        const int houses = 3200;
        for (int h = 0; h < houses; ++h) {
            const double x0 = (h % 50) * 20000.0;
            const double y0 = (h / 50) * 20000.0;
            for (int r = 0; r < 4; ++r) {
                auto room = std::make_unique<Exporter::ExportRoom>();
                room->storey = 1 + r % 2;
                room->name = L"洋室" + std::to_wstring(r);
                room->kindCode = r % 20;
                room->floorHeight = 500;
                room->ceilingHeight = 2400;
                const double x = x0 + r * 3640;
                room->outline = {Vector2d(x, y0), Vector2d(x + 3640, y0), Vector2d(x + 3640, y0 + 3640),
                                 Vector2d(x, y0 + 3640)};
                model.rooms.push_back(std::move(room));
            }
            for (int w = 0; w < 8; ++w) {
                auto wall = std::make_unique<Exporter::ExportWall>();
                wall->storey = 1;
                wall->kindCode = 1;
                wall->start = Vector2d(x0 + w * 910, y0);
                wall->end = Vector2d(x0 + w * 910 + 910, y0);
                wall->thickness = 120;
                wall->topHeight = 2400;
                model.walls.push_back(std::move(wall));
            }
            for (int o = 0; o < 3; ++o) {
                auto opening = std::make_unique<Exporter::ExportOpening>();
                opening->storey = 1;
                opening->kindCode = 1;
                opening->modelNumber = L"W-1650";
                opening->headHeight = 2000;
                opening->height = 1100;
                opening->width = 1650;
                opening->start = Vector2d(x0 + o * 2000, y0);
                opening->end = Vector2d(x0 + o * 2000 + 1650, y0);
                opening->region3D = {Vector3d(x0 + o * 2000, y0, 900), Vector3d(x0 + o * 2000 + 1650, y0, 900),
                                     Vector3d(x0 + o * 2000 + 1650, y0, 2000), Vector3d(x0 + o * 2000, y0, 2000)};
                model.openings.push_back(std::move(opening));
            }
            auto line = std::make_unique<Exporter::ExportOuterLine>();
            line->storey = 1;
            line->points = {Vector2d(x0, y0), Vector2d(x0, y0 + 3640), Vector2d(x0 + 14560, y0 + 3640),
                            Vector2d(x0 + 14560, y0)};
            model.outerLines.push_back(std::move(line));
            auto stair = std::make_unique<Exporter::ExportStair>();
            stair->storey = 1;
            stair->form = 1;
            stair->turnAngles = {0, 90};
            stair->stepCounts = {7, 6};
            stair->blockOutlines = {{Vector2d(x0, y0), Vector2d(x0 + 910, y0), Vector2d(x0 + 910, y0 + 1820),
                                     Vector2d(x0, y0 + 1820)},
                                    {Vector2d(x0, y0 + 1820), Vector2d(x0 + 910, y0 + 1820),
                                     Vector2d(x0 + 910, y0 + 2730), Vector2d(x0, y0 + 2730)}};
            model.stairs.push_back(std::move(stair));
            auto roof = std::make_unique<Exporter::ExportRoof>();
            roof->storey = 2;
            roof->baseLineStart = Vector2d(x0, y0);
            roof->baseLineEnd = Vector2d(x0 + 14560, y0);
            roof->baseHeight = 5800;
            roof->pitch = 4;
            roof->finishThickness = 30;
            roof->outline = {Vector2d(x0, y0), Vector2d(x0 + 14560, y0), Vector2d(x0 + 14560, y0 + 3640),
                             Vector2d(x0, y0 + 3640)};
            roof->edgeOffsets = {600, 600, 600, 600};
            model.roofs.push_back(std::move(roof));
        }
        std::string error;
        if (!Exporter::writeCedxmDocument(model, file, L"bench", true, error)) {
            std::fprintf(stderr, "cannot write the benchmark file: %s\n", error.c_str());
            std::abort();
        }
        return file;
    }();
    return path;
}

void setBytes(benchmark::State& state)
{
    const auto bytes = static_cast<std::int64_t>(std::filesystem::file_size(benchFile()));
    state.SetBytesProcessed(state.iterations() * bytes);
    state.counters["file_MB"] = static_cast<double>(bytes) / (1024.0 * 1024.0);
}

// The reference: libxml2 parsing the file into a tree with its own
// Shift-JIS decoding and nothing else.
void PlainLibxml2Parse(benchmark::State& state)
{
    const std::string& file = benchFile();
    for (auto _ : state) {
        xmlDocPtr doc = xmlReadFile(file.c_str(), nullptr, XML_PARSE_NONET | XML_PARSE_HUGE);
        benchmark::DoNotOptimize(doc);
        if (doc == nullptr) {
            state.SkipWithError("libxml2 could not parse the file");
            break;
        }
        xmlFreeDoc(doc);
    }
    setBytes(state);
}

// The importer's document load alone: limits, code page 932 decoding,
// attribute pre-scan, guarded parse.
void GuardedDocumentLoad(benchmark::State& state)
{
    const std::string& file = benchFile();
    for (auto _ : state) {
        Importer::XmlDocument doc;
        std::string problem;
        if (!doc.loadFile(file, problem)) {
            state.SkipWithError(problem.c_str());
            break;
        }
        benchmark::DoNotOptimize(doc.firstTopLevelNode());
    }
    setBytes(state);
}

// The whole read of the import: load plus every section reader into the
// import model.
void ReadIntoImportModel(benchmark::State& state)
{
    const std::wstring file = Common::fromUtf8(benchFile());
    std::size_t records = 0;
    for (auto _ : state) {
        Importer::ImportModel model;
        std::wstring problem;
        if (!Importer::loadCedxmFile(model, file, problem)) {
            state.SkipWithError(Common::toUtf8(problem).c_str());
            break;
        }
        records = model.rooms.size() + model.walls.size() + model.openings.size() + model.outerLines.size() +
                  model.stairs.size() + model.roofs.size();
        benchmark::DoNotOptimize(records);
    }
    state.counters["records"] = static_cast<double>(records);
    setBytes(state);
}

}  // namespace

BENCHMARK(PlainLibxml2Parse)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(GuardedDocumentLoad)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(ReadIntoImportModel)->Unit(benchmark::kMillisecond)->MinTime(2.0);

BENCHMARK_MAIN();
