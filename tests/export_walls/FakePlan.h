#pragma once

// A small host document for the room and wall passes: a list of objects
// served through the cursor operations 62 to 65 and the reading operations
// 66, 68, 71, 73, 77 and 172. Every call is checked against the host's
// operation table (count, order, types, outputs), as the simulated host
// checks it, so a pass that builds a wrong list fails its test.

#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/host/AutomationObject.h"
#include "common/host/CallCheck.h"
#include "common/host/HostOperations.h"

namespace WallTests {

using Common::Arguments;
using Common::Variant;
using Common::VariantType;

struct FakeFitting {
    std::wstring part;
    double x = 0;
    double y = 0;
    double sill = 0;
    double angle = 0;
    double width = 0;
    double height = 0;
};

struct FakeObject {
    std::uint32_t type = 0;
    std::int16_t storey = 1;
    // What operation 64 answers when asked a second time for this object.
    std::optional<std::uint32_t> typeAskedAgain;

    // Room (op 73).
    std::vector<double> outline;
    std::uint16_t kind = 0;
    std::wstring name;
    double floor = 0;
    double height = 0;

    // Wall boxes (ops 71 and 66).
    double cx = 0, cy = 0, ex = 0, ey = 0;
    std::uint16_t flag = 0;
    double bottom = 0, top = 0;

    // Wall-attached (op 77).
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0, upper = 0, lower = 0;

    std::optional<FakeFitting> fitting;
};

inline FakeObject room(std::int16_t storey, std::uint16_t kind, std::vector<double> outline, double floor,
                       double height, std::wstring name = L"")
{
    FakeObject o;
    o.type = 19;
    o.storey = storey;
    o.kind = kind;
    o.outline = std::move(outline);
    o.floor = floor;
    o.height = height;
    o.name = std::move(name);
    return o;
}

// Counter-clockwise rectangle (y up).
inline std::vector<double> rect(double x0, double y0, double x1, double y1)
{
    return {x0, y0, x1, y0, x1, y1, x0, y1};
}

inline FakeObject wallBox(std::uint32_t type, double cx, double cy, double ex, double ey, std::uint16_t flag,
                          double bottom, double top, std::int16_t storey = 1)
{
    FakeObject o;
    o.type = type;
    o.storey = storey;
    o.cx = cx;
    o.cy = cy;
    o.ex = ex;
    o.ey = ey;
    o.flag = flag;
    o.bottom = bottom;
    o.top = top;
    return o;
}

inline FakeObject attached(std::uint32_t type, double x1, double y1, double x2, double y2, double upper, double lower,
                           std::int16_t storey = 1)
{
    FakeObject o;
    o.type = type;
    o.storey = storey;
    o.x1 = x1;
    o.y1 = y1;
    o.x2 = x2;
    o.y2 = y2;
    o.upper = upper;
    o.lower = lower;
    return o;
}

// An object the passes only ask for its fitting.
inline FakeObject plainObject(std::uint32_t type, std::int16_t storey = 1)
{
    FakeObject o;
    o.type = type;
    o.storey = storey;
    return o;
}

inline FakeObject withFitting(FakeObject o, FakeFitting f)
{
    o.fitting = std::move(f);
    return o;
}

class FakePlan : public Common::AutomationObject {
public:
    // h1 to h14: storey heights 2900 (h6 to h9), depth of storey 0 1000
    // (h10), floor of storey 1 at 500 (h11), wall thickness 120 (h13).
    std::array<std::uint16_t, 14> settings{0, 0, 0, 0, 0, 2900, 2900, 2900, 2900, 1000, 500, 400, 120, 0};
    std::vector<FakeObject> objects;
    std::vector<int> ops;  // every operation called, in order

    void invoke(int op, Arguments& args, Variant& result) override
    {
        ops.push_back(op);
        check(op, args);
        switch (op) {
        case 62:
            cursor_ = 0;
            typeAsked_ = 0;
            result = Variant::i4(objects.empty() ? 0 : 1);
            return;
        case 63:
            if (cursor_ < objects.size()) {
                ++cursor_;
            }
            typeAsked_ = 0;
            result = Variant::i4(cursor_ < objects.size() ? 1 : 0);
            return;
        case 64: {
            const FakeObject& o = current(op);
            result = Variant::ui4(typeAsked_++ == 0 ? o.type : o.typeAskedAgain.value_or(o.type));
            return;
        }
        case 65:
            result = Variant::i2(current(op).storey);
            return;
        case 172:
            for (std::size_t i = 0; i < 14; ++i) {
                args[i].value = Variant::ui2(settings[i]);
            }
            return;
        case 73: readRoom(args, result); return;
        case 71: readType5(args, result); return;
        case 66: readType20(args, result); return;
        case 77: readAttached(args, result); return;
        case 68: readFitting(args, result); return;
        default: throw Common::HostError(op, "operation " + std::to_string(op) + " is not expected here");
        }
    }

    void putProperty(int op, const Variant&) override
    {
        throw Common::HostError(op, "no property is expected here");
    }

    int count(int op) const
    {
        int n = 0;
        for (int o : ops) {
            n += o == op ? 1 : 0;
        }
        return n;
    }

private:
    const FakeObject& current(int op) const
    {
        if (cursor_ >= objects.size()) {
            throw Common::HostError(op, "no current object");
        }
        return objects[cursor_];
    }

    static void check(int op, const Arguments& args)
    {
        const Common::HostOperation* known = Common::findHostOperation(Common::HostSide::Document, op, false);
        if (known == nullptr) {
            throw std::logic_error("operation " + std::to_string(op) + " is not one the host has");
        }
        Common::checkCall(*known, args);
        if (!args.empty() && args[0].value.type() == VariantType::DoubleArray && !args[0].value.asDoubles().empty()) {
            throw std::logic_error("operation " + std::to_string(op) + ": the outline array must come empty");
        }
    }

    void readRoom(Arguments& args, Variant& result)
    {
        const FakeObject& o = current(73);
        args[0].value = Variant::doubles(o.outline);
        args[1].value = Variant::ui2(o.kind);
        args[2].value = Variant::text(o.name);
        args[5].value = Variant::r8(o.floor);
        args[6].value = Variant::r8(-7777);  // neighbours of the used values must stay unused
        args[7].value = Variant::r8(o.height);
        result = Variant::i4(1);
    }

    void readType5(Arguments& args, Variant& result)
    {
        const FakeObject& o = current(71);
        args[0].value = Variant::ui2(99);
        args[1].value = Variant::r8(o.cx);
        args[2].value = Variant::r8(o.cy);
        args[3].value = Variant::r8(o.ex);
        args[4].value = Variant::r8(o.ey);
        args[5].value = Variant::ui2(o.flag);
        args[6].value = Variant::r8(o.bottom);
        args[7].value = Variant::r8(o.top);
        result = Variant::i4(1);
    }

    void readType20(Arguments& args, Variant& result)
    {
        const FakeObject& o = current(66);
        args[0].value = Variant::r8(o.cx);
        args[1].value = Variant::r8(o.cy);
        args[2].value = Variant::r8(o.ex);
        args[3].value = Variant::r8(o.ey);
        args[4].value = Variant::ui2(o.flag);
        args[5].value = Variant::r8(o.bottom);
        args[6].value = Variant::r8(o.top);
        result = Variant::i4(1);
    }

    void readAttached(Arguments& args, Variant& result)
    {
        const FakeObject& o = current(77);
        args[0].value = Variant::ui2(99);
        args[1].value = Variant::r8(o.x1);
        args[2].value = Variant::r8(o.y1);
        args[3].value = Variant::r8(o.x2);
        args[4].value = Variant::r8(o.y2);
        args[5].value = Variant::r8(o.upper);
        args[6].value = Variant::r8(o.lower);
        result = Variant::i4(1);
    }

    void readFitting(Arguments& args, Variant& result)
    {
        const FakeObject& o = current(68);
        if (!o.fitting) {
            result = Variant::i4(0);
            return;
        }
        const FakeFitting& f = *o.fitting;
        args[0].value = Variant::text(f.part);
        args[1].value = Variant::r8(f.x);
        args[2].value = Variant::r8(f.y);
        args[3].value = Variant::r8(f.sill);
        args[4].value = Variant::r8(f.angle);
        args[5].value = Variant::r8(f.width);
        args[6].value = Variant::r8(f.height);
        args[7].value = Variant::ui2(7);
        result = Variant::i4(1);
    }

    std::size_t cursor_ = 0;
    int typeAsked_ = 0;
};

}  // namespace WallTests
