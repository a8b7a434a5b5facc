#pragma once

// The simulated host's plan: what the host application holds about its own
// program and about the one open plan, as read from and written to a JSON
// plan file. hostsim/README.md describes the file.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace HostSim {

using Json = nlohmann::ordered_json;

struct PlanPoint {
    double x = 0.0;
    double y = 0.0;
    bool operator==(const PlanPoint&) const = default;
};

// A fitting model placed on an object (window, door or other part file).
struct PlanFitting {
    std::wstring part;
    PlanPoint centre;
    double sill = 0.0;
    double angle = 0.0;
    double width = 0.0;
    double height = 0.0;
};

// Room values that the room creation call carries but the plan file format
// gives no meaning of its own; kept so that reading the room gives them back.
// Numbered by their position in the room creation call.
struct RoomAttributes {
    std::int64_t value4 = 0;
    std::int64_t flag = 0;  // 5
    double value7 = 0.0;
    std::array<double, 5> value9to13{};
    std::int64_t switch14 = 0;
    std::int64_t switch15 = 0;
    std::int64_t value16 = 0;
    std::int64_t value17 = 0;
    std::int64_t switch18 = 0;
    std::int64_t roomClass = 0;  // 19
    std::int64_t colourB = 0;    // 20
    std::int64_t colourA = 0;    // 21
    std::int64_t value22 = 0;
    std::int64_t tatamiLayout = 0;  // 23
    std::wstring font;              // 24
    double value25 = 0.0;
    std::int64_t value26 = 0;
    double value27 = 0.0;
    std::int64_t value28 = 0;
};

// What an object of a given type carries, decided by its type number.
enum class ObjectShape { Plain, Room, WallBox, HangingWallBox, WallAttached, Stair, Roof };

ObjectShape shapeOfType(std::uint32_t type);

// Stair values at the positions of the stair call that have no field of their
// own (16 to 29, 31 and 32); kept so that reading the stair gives them back.
inline constexpr std::array<int, 16> kStairExtraPositions{16, 17, 18, 19, 20, 21, 22, 23,
                                                          24, 25, 26, 27, 28, 29, 31, 32};

// One object of the plan. Which members mean something depends on the type
// (see shapeOfType); the others stay at their defaults and are not saved.
struct PlanObject {
    std::uint32_t type = 0;
    std::int16_t storey = 0;
    std::optional<PlanFitting> fitting;

    // room (19) and roof (24)
    std::vector<PlanPoint> outline;
    // room
    std::uint16_t kind = 0;
    std::wstring name;
    double floor = 0.0;
    double height = 0.0;  // room: ceiling above the room floor; wall box 20: wall height
    RoomAttributes attributes;

    // wall boxes (5 and 20)
    PlanPoint centre;
    PlanPoint size;
    std::uint16_t flag = 0;  // 5: fullHeight, 20: hanging
    double bottom = 0.0;
    double top = 0.0;  // 5 only

    // wall-attached (21, 22, 23, 48); stairs use `start` too
    PlanPoint start;
    PlanPoint end;
    double upper = 0.0;
    double lower = 0.0;

    // stairs (13 to 18)
    double width = 0.0;
    std::uint16_t form = 0;
    std::array<double, 3> treads{};
    std::array<std::uint16_t, 3> counts{};
    std::array<std::uint16_t, 2> patterns{};
    std::uint16_t side = 0;
    double direction = 0.0;
    std::uint16_t formFlag = 0;
    std::uint16_t skip = 0;
    std::array<double, kStairExtraPositions.size()> stairExtra{};

    // roof (24)
    double pitch = 0.0;
    double baseOffset = 0.0;
    double thickness = 0.0;
    std::uint16_t eavesShape = 0;

    // Fields of the file this simulator does not know, written back unchanged.
    Json unknownFields = Json::object();

    // Not saved: set by the marking operation, consulted by the removal.
    bool marked = false;
};

struct PlanApplication {
    std::wstring version = L"Ver.8.10";
    std::wstring folder = L"C:\\Program Files\\DomoriaRavimo";
    std::int32_t windowHandle = 5001;
    Json unknownFields = Json::object();
};

struct PlanGrid {
    double module = 910.0;
    std::uint16_t setting16 = 0;
    std::uint32_t setting32 = 0;
    double a = 0.0;
    double b = 0.0;
    Json unknownFields = Json::object();
};

struct PlanStoreyFlag {
    std::int16_t storey = 0;
    std::uint8_t value = 0;
};

struct PlanDocumentState {
    std::int32_t windowHandle = 5001;
    bool minimized = false;
    std::int16_t currentStorey = 1;
    std::array<std::uint16_t, 14> storeySettings{0, 0, 0, 0, 0, 2900, 2900, 2900, 2900, 1000, 500, 400, 120, 0};
    // In ascending storey order.
    std::vector<PlanStoreyFlag> storeyFlags{{1, 0}, {2, 0}, {3, 0}, {4, 0}};
    PlanGrid grid;
    std::vector<PlanObject> objects;
    std::vector<PlanObject> generatedRoofs;
    Json unknownFields = Json::object();
};

// The whole plan file. A default-constructed plan is the new, empty plan.
struct PlanDocument {
    PlanApplication application;
    PlanDocumentState document;
    Json unknownFields = Json::object();

    // Parses plan file text; `fileName` names the file in messages. Throws
    // PlanError naming the file and the field; nothing is returned then.
    static PlanDocument parse(const std::string& text, const std::string& fileName);
    // Reads and parses a plan file; PlanError when it cannot be read.
    static PlanDocument load(const std::string& path);

    Json toJson() const;
    std::string toText() const;
    // Writes the plan atomically; PlanError when that fails (the old file is
    // then untouched).
    void save(const std::string& path) const;

    // The storey's 8-bit setting, 0 when the storey has none.
    std::uint8_t storeyFlag(std::int16_t storey) const;
    void setStoreyFlag(std::int16_t storey, std::uint8_t value);
    bool holdsRoof() const;
};

}  // namespace HostSim
