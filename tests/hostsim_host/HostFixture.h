#pragma once

// A simulated host opened on a small plan written into a fresh folder, with
// helpers that build argument lists the way the converters do: every list is
// typed out here from the host's operation table, independently of the
// simulator's own signatures.

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "common/host/AutomationObject.h"
#include "hostsim/HostSession.h"
#include "hostsim/PlanDocument.h"
#include "support/TempFolder.h"

namespace HostSimTests {

using Common::Argument;
using Common::Arguments;
using Common::Variant;
using Common::VariantType;

// A run of `count` arguments of one type.
struct Run {
    VariantType type;
    int count = 1;
};

inline Run R8(int n = 1) { return {VariantType::R8, n}; }
inline Run UI2(int n = 1) { return {VariantType::UI2, n}; }
inline Run UI1(int n = 1) { return {VariantType::UI1, n}; }
inline Run UI4(int n = 1) { return {VariantType::UI4, n}; }
inline Run I2(int n = 1) { return {VariantType::I2, n}; }
inline Run I4(int n = 1) { return {VariantType::I4, n}; }
inline Run TXT(int n = 1) { return {VariantType::Text, n}; }
inline Run ARR(int n = 1) { return {VariantType::DoubleArray, n}; }

inline Variant zeroOf(VariantType type)
{
    switch (type) {
    case VariantType::I2: return Variant::i2(0);
    case VariantType::I4: return Variant::i4(0);
    case VariantType::UI1: return Variant::ui1(0);
    case VariantType::UI2: return Variant::ui2(0);
    case VariantType::UI4: return Variant::ui4(0);
    case VariantType::R8: return Variant::r8(0);
    case VariantType::Text: return Variant::text(L"");
    case VariantType::DoubleArray: return Variant::doubles({});
    case VariantType::Empty: break;
    }
    return Variant();
}

// Output slots prepared with zero values of the listed types.
inline Arguments outs(std::initializer_list<Run> runs)
{
    Arguments args;
    for (const Run& r : runs) {
        for (int i = 0; i < r.count; ++i) {
            args.push_back(Argument::out(zeroOf(r.type)));
        }
    }
    return args;
}

// Output lists of the reading operations, as the operation table lists them.
inline Arguments outs66() { return outs({R8(4), UI2(), R8(2)}); }
inline Arguments outs68() { return outs({TXT(), R8(6), UI2()}); }
inline Arguments outs71() { return outs({UI2(), R8(4), UI2(), R8(2)}); }
inline Arguments outs73()
{
    return outs({ARR(), UI2(), TXT(), UI2(2), R8(8), UI2(5), UI1(), UI4(2), UI2(2), TXT(), R8(), UI1(), R8(), UI4()});
}
inline Arguments outs76() { return outs({R8(3), UI2(), R8(3), UI2(6), R8(), UI2(5), R8(), UI2(4), R8(), UI2(7)}); }
inline Arguments outs77() { return outs({UI2(), R8(6)}); }
inline Arguments outs222() { return outs({ARR(), R8(4), UI2(), UI4(), R8(), UI2(5)}); }

inline Argument in(Variant v) { return Argument::in(std::move(v)); }
inline Argument r8(double v) { return in(Variant::r8(v)); }
inline Argument i4(std::int32_t v) { return in(Variant::i4(v)); }
inline Argument i2(std::int16_t v) { return in(Variant::i2(v)); }
inline Argument ui2(std::uint16_t v) { return in(Variant::ui2(v)); }
inline Argument ui1(std::uint8_t v) { return in(Variant::ui1(v)); }
inline Argument ui4(std::uint32_t v) { return in(Variant::ui4(v)); }
inline Argument text(const std::wstring& v) { return in(Variant::text(v)); }
inline Argument array(std::vector<double> v) { return in(Variant::doubles(std::move(v))); }

// The doubles of an argument list from `first` (1-based) on, for compact checks.
inline std::vector<double> numbers(const Arguments& args, int first, int last)
{
    std::vector<double> v;
    for (int i = first; i <= last; ++i) {
        v.push_back(args.at(static_cast<std::size_t>(i - 1)).value.asNumber());
    }
    return v;
}

// A plan with one object of every kind the host reads, on storeys 1 and 2.
inline const char* kSmallPlan = R"({
  "application": { "version": "Ver.8.10", "folder": "C:\\Hosts\\Ravimo", "windowHandle": 4242 },
  "document": {
    "windowHandle": 4343, "minimized": false, "currentStorey": 2,
    "storeySettings": [1,2,3,4,5, 2800,2850,2900,2950, 1000,500,400,120,14],
    "storeyFlags": { "1": 3, "2": 0 },
    "grid": { "module": 910.0, "setting16": 7, "setting32": 70000, "a": 1.5, "b": -2.5 },
    "objects": [
      { "type": 19, "storey": 1, "outline": [[0,0],[3640,0],[3640,2730],[0,2730]],
        "kind": 3, "name": "キッチン", "floor": 50, "height": 2400,
        "attributes": { "colourA": 13625577, "tatamiLayout": 19, "font": "メイリオ", "value4": 1 } },
      { "type": 5, "storey": 1, "centre": [1820, 0], "size": [3640, 120], "fullHeight": 1, "bottom": 0, "top": 2400 },
      { "type": 20, "storey": 1, "centre": [0, 1365], "size": [120, 2730], "hanging": true, "bottom": 300, "height": 600 },
      { "type": 22, "storey": 1, "start": [0, 500], "end": [0, 1300], "upper": 2000, "lower": 800,
        "fitting": { "part": "窓\\w1.m3d", "centre": [0, 900], "sill": 800, "angle": 90, "width": 800, "height": 1200 } },
      { "type": 15, "storey": 1, "start": [100, 200], "width": 900, "form": 2, "treads": [250, 260, 270],
        "counts": [8, 6, 0], "patterns": [2, 0], "side": 1, "direction": 90, "formFlag": 1, "skip": 0,
        "extra": { "20": 750, "32": 2 } },
      { "type": 24, "storey": 2, "outline": [[0,0],[10000,0],[10000,6000],[0,6000]],
        "pitch": 4.5, "height": 5600, "baseOffset": 455, "thickness": 12, "eavesShape": 1 },
      { "type": 27, "storey": 2,
        "fitting": { "part": "door.m3d", "centre": [500, 0], "sill": 0, "angle": 0, "width": 780, "height": 2000 } }
    ],
    "generatedRoofs": []
  }
})";

class HostFixture : public ::testing::Test {
protected:
    void openPlan(const std::string& json)
    {
        planPath = folder.write("plan.json", json);
        session = HostSim::HostSession::open(planPath, false);
        bindObjects();
    }
    void openNewPlan()
    {
        planPath = folder.file("new.json");
        session = HostSim::HostSession::open(planPath, true);
        bindObjects();
    }
    void bindObjects()
    {
        app = session->runningObjectTable().activeObject(Common::kHostApplicationProgId);
        doc = session->runningObjectTable().activeObject(Common::kHostDocumentProgId);
        ASSERT_TRUE(app && doc);
    }

    Variant call(int op)
    {
        Arguments none;
        return call(op, none);
    }
    Variant call(int op, Arguments& args)
    {
        Variant result;
        doc->invoke(op, args, result);
        return result;
    }
    Variant call(int op, Arguments&& args) { return call(op, args); }

    // Moves the cursor to the n-th object (0-based) by walking from the first.
    void moveTo(int n)
    {
        ASSERT_NE(call(62).asI4(), 0);
        for (int i = 0; i < n; ++i) {
            ASSERT_NE(call(63).asI4(), 0);
        }
    }

    // The type and storey of every object, walking with the cursor.
    std::vector<std::pair<std::uint32_t, std::int16_t>> walk()
    {
        std::vector<std::pair<std::uint32_t, std::int16_t>> seen;
        for (std::int32_t more = call(62).asI4(); more != 0 && seen.size() < 1000; more = call(63).asI4()) {
            seen.emplace_back(call(64).asUI4(), call(65).asI2());
        }
        return seen;
    }

    TestSupport::TempFolder folder;
    std::string planPath;
    std::unique_ptr<HostSim::HostSession> session;
    std::shared_ptr<Common::AutomationObject> app;
    std::shared_ptr<Common::AutomationObject> doc;
};

}  // namespace HostSimTests
