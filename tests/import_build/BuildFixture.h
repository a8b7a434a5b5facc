#pragma once

// Shared pieces of the importer's building tests: a host that answers every
// operation the importer uses (and records the calls), a platform that keeps
// what would be shown to the user, and short record makers.

#include <array>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/host/HostApplication.h"
#include "common/host/HostDocument.h"
#include "common/platform/Platform.h"
#include "importer/model/ImportModel.h"
#include "support/FakePlatform.h"
#include "support/ScriptedHost.h"

namespace ImportBuildTest {

using Common::Variant;
using Importer::ImportModel;
using Importer::Vector2d;

// A host document that answers every operation; what it reports can be set.
struct PermissiveHost {
    std::shared_ptr<TestSupport::ScriptedHost> host = std::make_shared<TestSupport::ScriptedHost>();
    Common::HostDocument object{host};
    Common::HostApplication asApplication{host};
    std::array<std::uint16_t, 14> storeySettings{0, 0, 0, 0, 0, 2900, 2900, 2900, 2900, 1000, 500, 400, 120, 0};
    double gridModule = 910;
    std::int16_t currentStorey = 1;
    std::uint32_t typeAfterCreate = 24;
    // Objects the cursor walks: (storey, type).
    std::vector<std::pair<std::int16_t, std::uint32_t>> objects;
    std::size_t cursor = 0;

    PermissiveHost()
    {
        using Common::Arguments;
        const auto i4zero = [](Arguments&, Variant& r) { r = Variant::i4(0); };
        const auto nothing = [](Arguments&, Variant&) {};
        for (int op : {37, 39, 41, 42, 43, 44, 50, 61, 219}) {
            host->on(op, i4zero);
        }
        for (int op : {59, 92, 94, 98, 158, 160, 171, 182, 183}) {
            host->on(op, nothing);
        }
        host->on(6, [](Arguments&, Variant& r) { r = Variant::text(L"C:\\Host"); });
        host->on(38, [this](Arguments&, Variant& r) { r = Variant::i2(currentStorey); });
        host->on(93, [this](Arguments&, Variant& r) { r = Variant::r8(gridModule); });
        host->on(186, [](Arguments&, Variant& r) { r = Variant::i4(5001); });
        host->on(95, [](Arguments& a, Variant&) {
            a[0].value = Variant::r8(455.0);
            a[1].value = Variant::ui2(7);
            a[2].value = Variant::ui4(70000);
            a[3].value = Variant::r8(1.0);
            a[4].value = Variant::r8(2.0);
        });
        host->on(172, [this](Arguments& a, Variant&) {
            for (std::size_t i = 0; i < 14; ++i) {
                a[i].value = Variant::ui2(storeySettings[i]);
            }
        });
        host->on(62, [this](Arguments&, Variant& r) {
            cursor = 0;
            r = Variant::i4(objects.empty() ? 0 : 1);
        });
        host->on(63, [this](Arguments&, Variant& r) {
            ++cursor;
            r = Variant::i4(cursor < objects.size() ? 1 : 0);
        });
        host->on(65, [this](Arguments&, Variant& r) { r = Variant::i2(objects.at(cursor).first); });
        host->on(64, [this](Arguments&, Variant& r) {
            r = Variant::ui4(cursor < objects.size() ? objects[cursor].second : typeAfterCreate);
        });
    }

    // The calls of one operation, in order.
    std::vector<TestSupport::RecordedCall> callsOf(int op) const
    {
        std::vector<TestSupport::RecordedCall> out;
        for (const auto& c : host->calls) {
            if (c.op == op) {
                out.push_back(c);
            }
        }
        return out;
    }
    std::vector<int> ops() const { return host->ops(); }
};

using FakePlatform = TestSupport::FakePlatform;

inline std::vector<double> argDoubles(const TestSupport::RecordedCall& c, std::size_t i)
{
    return c.args.at(i).value.asDoubles();
}
inline double argR8(const TestSupport::RecordedCall& c, std::size_t i) { return c.args.at(i).value.asR8(); }

inline Importer::ImportRoom& addRoom(ImportModel& m, int storey, std::vector<Vector2d> outline, int kind = 0,
                                     std::wstring name = L"", double floor = 500, double ceiling = 2900)
{
    auto r = std::make_unique<Importer::ImportRoom>();
    r->storey = storey;
    r->outline = std::move(outline);
    r->kindCode = kind;
    r->name = std::move(name);
    r->floorHeight = floor;
    r->ceilingHeight = ceiling;
    m.rooms.push_back(std::move(r));
    return *m.rooms.back();
}

inline std::vector<Vector2d> rectangle(double x0, double y0, double x1, double y1)
{
    return {Vector2d(x0, y0), Vector2d(x1, y0), Vector2d(x1, y1), Vector2d(x0, y1)};
}

inline Importer::ImportWall& addWall(ImportModel& m, int storey, Vector2d a, Vector2d b, int kind = 1,
                                     float thickness = 120, double bottom = 0, double top = 0)
{
    auto w = std::make_unique<Importer::ImportWall>();
    w->storey = storey;
    w->start = a;
    w->end = b;
    w->kindCode = kind;
    w->thickness = thickness;
    w->bottomHeight = bottom;
    w->topHeight = top;
    m.walls.push_back(std::move(w));
    return *m.walls.back();
}

inline Importer::ImportOpening& addOpening(ImportModel& m, int storey, Vector2d a, Vector2d b, int kind = 1,
                                           double head = 2000, double height = 1000, double width = 0)
{
    auto o = std::make_unique<Importer::ImportOpening>();
    o->storey = storey;
    o->start = a;
    o->end = b;
    o->kindCode = kind;
    o->headHeight = head;
    o->height = height;
    o->width = width;
    m.openings.push_back(std::move(o));
    return *m.openings.back();
}

}  // namespace ImportBuildTest
