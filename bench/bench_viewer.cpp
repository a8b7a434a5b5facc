// Draws one storey of n rooms (a square grid of 1820 mm rooms, each with its
// four edge walls and a window) as the CDXVIEW picture, written to a file.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <unistd.h>

#include "viewer/drawing/SvgStorey.h"

namespace {

using Common::Vector2d;

Importer::ImportModel makeStorey(int rooms)
{
    Importer::ImportModel m;
    m.gridSpacing = Vector2d(910, 910);
    m.levelByStorey[1] = 500;
    const int side = static_cast<int>(std::ceil(std::sqrt(rooms)));
    for (int i = 0; i < rooms; ++i) {
        const double x = (i % side) * 1820.0;
        const double y = (i / side) * 1820.0;
        auto r = std::make_unique<Importer::ImportRoom>();
        r->storey = 1;
        r->id = L"room-" + std::to_wstring(i);
        r->name = L"洋室" + std::to_wstring(i);
        r->kindCode = i % 20;
        r->outline = {{x, y}, {x + 1820, y}, {x + 1820, y + 1820}, {x, y + 1820}};
        for (int k = 0; k < 4; ++k) {
            auto w = std::make_unique<Importer::ImportWall>();
            w->storey = 1;
            w->kindCode = 1;
            w->thickness = 120;
            w->start = r->outline[k];
            w->end = r->outline[(k + 1) % 4];
            m.walls.push_back(std::move(w));
        }
        auto o = std::make_unique<Importer::ImportOpening>();
        o->storey = 1;
        o->kindCode = 1;
        o->modelNumber = L"W-1690";
        o->start = Vector2d(x + 455, y);
        o->end = Vector2d(x + 1365, y);
        m.openings.push_back(std::move(o));
        m.rooms.push_back(std::move(r));
    }
    return m;
}

void BM_DrawStorey(benchmark::State& state)
{
    const Importer::ImportModel model = makeStorey(static_cast<int>(state.range(0)));
    const Viewer::StoreyRecords storey = Viewer::recordsByStorey(model).front();
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("bench_viewer_" + std::to_string(::getpid()) + ".svg")).string();
    for (auto _ : state) {
        Exporter::XmlTextWriter out;
        out.open(path, false);
        Viewer::drawStorey(out, model, storey);
        out.closeAll();
        benchmark::DoNotOptimize(out.close());
    }
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
    std::filesystem::remove(path);
}
BENCHMARK(BM_DrawStorey)->Arg(10)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
