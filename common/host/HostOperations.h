#pragma once

// Every operation the two programs call on the host, and the simulated host
// answers: its dispatch number, what it does in the plan's words, its
// argument list and its result. Callers, the simulated host and the test
// doubles all take an operation's shape from here, so that a number or an
// argument list is written down once.
//
// Argument lists are written as tokens I2, I4, UI1, UI2, UI4 (signed and
// unsigned integers of 16, 32 and 8 bits), R8 (double), T (text) and A
// (outline array of doubles x0, y0, x1, y1, ...), each with an optional
// repeat count in front and "*" behind for an argument the host fills.

#include <span>

#include "common/host/Variant.h"

namespace Common {

enum class HostSide { Application, Document };

struct HostOperation {
    HostSide side;
    int dispatchNumber;
    const char* name;       // what the operation does, for messages
    const char* arguments;  // the argument list, as described above
    VariantType result;
    bool propertyPut = false;  // set through a property put, not called
};

namespace HostOps {

using enum VariantType;
constexpr HostSide App = HostSide::Application;
constexpr HostSide Doc = HostSide::Document;

// The application.
inline constexpr HostOperation ApplicationVersion{App, 2, "application version", "", Text};
inline constexpr HostOperation ApplicationWindow{App, 4, "application window handle", "", I4};
inline constexpr HostOperation HostFolder{App, 6, "host folder", "", Text};

// The object cursor and the object under it.
inline constexpr HostOperation CursorToFirst{Doc, 62, "cursor to the first object", "", I4};
inline constexpr HostOperation CursorToNext{Doc, 63, "cursor to the next object", "", I4};
inline constexpr HostOperation CurrentObjectType{Doc, 64, "type of the current object", "", UI4};
inline constexpr HostOperation CurrentObjectStorey{Doc, 65, "storey of the current object", "", I2};
inline constexpr HostOperation MarkCurrentObject{Doc, 160, "mark the current object", "", Empty};
inline constexpr HostOperation RemoveMarkedObject{Doc, 158, "remove the current object when marked", "", Empty};

// Reading the object under the cursor; each answers 0 when the object is not
// of its kind.
inline constexpr HostOperation ReadHangingWallBox{Doc, 66, "read type-20 wall box", "4R8* UI2* 2R8*", I4};
inline constexpr HostOperation ReadFitting{Doc, 68, "read fitting", "T* 6R8* UI2*", I4};
inline constexpr HostOperation ReadWallBox{Doc, 71, "read type-5 wall box", "UI2* 4R8* UI2* 2R8*", I4};
inline constexpr HostOperation ReadRoom{
    Doc, 73, "read room", "A* UI2* T* 2UI2* 8R8* 5UI2* UI1* 2UI4* 2UI2* T* R8* UI1* R8* UI4*", I4};
inline constexpr HostOperation ReadStair{
    Doc, 76, "read stair", "3R8* UI2* 3R8* 6UI2* R8* 5UI2* R8* 4UI2* R8* 7UI2*", I4};
inline constexpr HostOperation ReadWallAttached{Doc, 77, "read wall-attached object", "UI2* 6R8*", I4};
inline constexpr HostOperation ReadRoof{Doc, 222, "read roof", "A* 4R8* UI2* UI4* R8* 5UI2*", I4};

// Creating objects on the current storey.
inline constexpr HostOperation NewRoom{
    Doc, 37, "new room", "A UI2 T 2I4 8R8 5I4 UI1 2UI4 I4 UI2 T R8 UI1 R8 UI4", I4};
inline constexpr HostOperation NewWallLineElement{Doc, 41, "new wall or opening", "UI2 6R8", I4};
inline constexpr HostOperation NewStair{
    Doc, 42, "new stair", "3R8 UI2 3R8 5UI2 I4 R8 5I4 R8 4I4 R8 5I4 2UI2", I4};
inline constexpr HostOperation NewWallBox{Doc, 43, "new wall box", "UI2 4R8 I4 2R8", I4};
inline constexpr HostOperation NewWallBoxSecondForm{Doc, 44, "new wall box, second form", "4R8 I4 2R8", I4};
inline constexpr HostOperation PlaceFitting{Doc, 50, "place fitting", "T 6R8 I4", I4};
inline constexpr HostOperation NewRoofFace{Doc, 61, "new roof face", "A 3R8 2I4 R8 I4", I4};
inline constexpr HostOperation SetRoofThickness{Doc, 219, "roof thickness", "R8", I4};

// Storeys.
inline constexpr HostOperation CurrentStorey{Doc, 38, "current storey", "", I2};
inline constexpr HostOperation SelectStorey{Doc, 39, "make storey current", "I2", I4};
inline constexpr HostOperation WriteStoreyFlag{Doc, 59, "write storey 8-bit setting", "I2 UI1", Empty};
inline constexpr HostOperation ReadStoreyFlag{Doc, 60, "read storey 8-bit setting", "I2", UI1};
inline constexpr HostOperation WriteStoreySettings{Doc, 171, "write storey settings record", "14UI2", Empty};
inline constexpr HostOperation ReadStoreySettings{Doc, 172, "read storey settings record", "14UI2*", Empty};
inline constexpr HostOperation StoreyDone{Doc, 182, "storey done", "", Empty};

// The grid.
inline constexpr HostOperation SetGridModule{Doc, 92, "set grid module", "R8", Empty};
inline constexpr HostOperation GridModule{Doc, 93, "grid module", "", R8};
inline constexpr HostOperation WriteGridSettings{Doc, 94, "write grid settings", "R8 UI2 UI4 2R8", Empty};
inline constexpr HostOperation ReadGridSettings{Doc, 95, "read grid settings", "R8* UI2* UI4* 2R8*", Empty};

// The document as a whole. Property 179 is 1 while the host rebuilds its
// storeys; it is read as a call and set as a property put.
inline constexpr HostOperation Rebuilding{Doc, 179, "rebuilding switch", "", UI2};
inline constexpr HostOperation SetRebuilding{Doc, 179, "set rebuilding switch", "UI2", Empty, true};
inline constexpr HostOperation Redraw{Doc, 98, "redraw", "", Empty};
inline constexpr HostOperation ImportDone{Doc, 183, "import done", "UI2", Empty};
inline constexpr HostOperation DocumentWindow{Doc, 186, "document window handle", "", I4};

}  // namespace HostOps

// Every operation above, for those that answer or check calls.
std::span<const HostOperation* const> allHostOperations();

// The operation of `side` with that number (a property put or a call), or
// null when the host has no such operation.
const HostOperation* findHostOperation(HostSide side, int dispatchNumber, bool propertyPut);

// "document operation 77 (read wall-attached object)".
std::string describeOperation(const HostOperation& op);

}  // namespace Common
