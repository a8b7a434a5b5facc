#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "common/host/HostObject.h"
#include "common/host/HostReply.h"

namespace Common {

// The fourteen values the host keeps per document about its storeys.
using StoreySettingsRecord = std::array<std::uint16_t, 14>;

// The grid settings as the host reads and writes them.
struct HostGridSettings {
    double module = 0;
    std::uint16_t setting16 = 0;
    std::uint32_t setting32 = 0;
    double a = 0;
    double b = 0;
};

// The host's document object (the open plan), its operations by name.
// Without a bound object every call does nothing: reads give zeros or empty
// values.
class HostDocument : public HostObject {
public:
    HostDocument() = default;
    HostDocument(HostObject bound) : HostObject(std::move(bound)) {}  // NOLINT: a bound reference becomes one
    explicit HostDocument(std::shared_ptr<AutomationObject> object) : HostObject(std::move(object)) {}

    // The object cursor; see also forEachHostObject (ObjectWalk.h). Each
    // move answers 0 when there is no object to stand on.
    // Inline: a walk over a large plan makes millions of these calls.
    std::int64_t cursorToFirst() { return call(HostOps::CursorToFirst).asInteger(); }
    std::int64_t cursorToNext() { return call(HostOps::CursorToNext).asInteger(); }
    std::uint32_t currentObjectType()
    {
        return static_cast<std::uint32_t>(call(HostOps::CurrentObjectType).asInteger());
    }
    std::int16_t currentObjectStorey()
    {
        return static_cast<std::int16_t>(call(HostOps::CurrentObjectStorey).asInteger());
    }
    // Removing objects: the current object is marked, and a removal then
    // takes it away when it is marked.
    void markCurrentObject();
    void removeMarkedObject();

    // Reading the object under the cursor: every output of the operation,
    // in its order.
    HostReply readWallBox();
    HostReply readHangingWallBox();
    HostReply readWallAttached();
    HostReply readFitting();
    HostReply readRoom();
    HostReply readStair();
    HostReply readRoof();

    // Creating on the current storey. The room and the stair take their
    // whole argument list, laid out by the caller in the host's order.
    std::int32_t newRoom(Arguments args);
    std::int32_t newStair(Arguments args);
    std::int32_t newWallLineElement(std::uint16_t kind, double x1, double y1, double x2, double y2, double value1,
                                    double value2);
    std::int32_t newWallBox(std::uint16_t form, double centreX, double centreY, double sizeX, double sizeY,
                            std::int32_t flag, double value1, double value2);
    std::int32_t newWallBoxSecondForm(double centreX, double centreY, double sizeX, double sizeY, std::int32_t flag,
                                      double value1, double value2);
    std::int32_t placeFitting(const std::wstring& part, double centreX, double centreY, double sill, double angle,
                              double width, double height, std::int32_t last);
    std::int32_t newRoofFace(std::vector<double> outline, double pitch, double height, double eavesOffset,
                             std::int32_t value5, std::int32_t value6, double thickness, std::int32_t value8);
    std::int32_t setRoofThickness(double thickness);

    // Storeys.
    std::int16_t currentStorey();
    std::int32_t selectStorey(std::int16_t storey);
    std::uint8_t readStoreyFlag(std::int16_t storey);
    void writeStoreyFlag(std::int16_t storey, std::uint8_t value);
    StoreySettingsRecord readStoreySettings();
    void writeStoreySettings(const StoreySettingsRecord& record);
    void storeyDone();

    // The grid.
    double gridModule();
    void setGridModule(double module);
    HostGridSettings readGridSettings();
    void writeGridSettings(const HostGridSettings& grid);

    // The document as a whole.
    void setRebuilding(std::uint16_t on);
    void redraw();
    void importDone(std::uint16_t value);
    std::int32_t windowHandle();

private:
    HostReply read(const HostOperation& op);
    std::int32_t create(const HostOperation& op, Arguments& args);
};

}  // namespace Common
