#include "common/host/HostDocument.h"

#include "common/host/ArgumentValues.h"
#include "common/host/CallCheck.h"

namespace Common {

namespace {

using namespace HostOps;
using namespace HostArgs;

std::int32_t asI4(const Variant& v) { return static_cast<std::int32_t>(v.asInteger()); }

}  // namespace

HostReply HostDocument::read(const HostOperation& op)
{
    Arguments args = preparedOutputs(op);
    Variant result = numberAs(op.result, 0.0);
    call(op, args, result);
    return HostReply(op, std::move(args), std::move(result));
}

std::int32_t HostDocument::create(const HostOperation& op, Arguments& args) { return asI4(call(op, args)); }

void HostDocument::markCurrentObject() { call(MarkCurrentObject); }
void HostDocument::removeMarkedObject() { call(RemoveMarkedObject); }

HostReply HostDocument::readWallBox() { return read(ReadWallBox); }
HostReply HostDocument::readHangingWallBox() { return read(ReadHangingWallBox); }
HostReply HostDocument::readWallAttached() { return read(ReadWallAttached); }
HostReply HostDocument::readFitting() { return read(ReadFitting); }
HostReply HostDocument::readRoom() { return read(ReadRoom); }
HostReply HostDocument::readStair() { return read(ReadStair); }
HostReply HostDocument::readRoof() { return read(ReadRoof); }

std::int32_t HostDocument::newRoom(Arguments args) { return create(NewRoom, args); }
std::int32_t HostDocument::newStair(Arguments args) { return create(NewStair, args); }

std::int32_t HostDocument::newWallLineElement(std::uint16_t kind, double x1, double y1, double x2, double y2,
                                              double value1, double value2)
{
    Arguments args{ui2(kind), r8(x1), r8(y1), r8(x2), r8(y2), r8(value1), r8(value2)};
    return create(NewWallLineElement, args);
}

std::int32_t HostDocument::newWallBox(std::uint16_t form, double centreX, double centreY, double sizeX, double sizeY,
                                      std::int32_t flag, double value1, double value2)
{
    Arguments args{ui2(form), r8(centreX), r8(centreY), r8(sizeX), r8(sizeY), i4(flag), r8(value1), r8(value2)};
    return create(NewWallBox, args);
}

std::int32_t HostDocument::newWallBoxSecondForm(double centreX, double centreY, double sizeX, double sizeY,
                                                std::int32_t flag, double value1, double value2)
{
    Arguments args{r8(centreX), r8(centreY), r8(sizeX), r8(sizeY), i4(flag), r8(value1), r8(value2)};
    return create(NewWallBoxSecondForm, args);
}

std::int32_t HostDocument::placeFitting(const std::wstring& part, double centreX, double centreY, double sill,
                                        double angle, double width, double height, std::int32_t last)
{
    Arguments args{text(part), r8(centreX), r8(centreY), r8(sill), r8(angle), r8(width),
                   r8(height), i4(last)};
    return create(PlaceFitting, args);
}

std::int32_t HostDocument::newRoofFace(std::vector<double> outline, double pitch, double height, double eavesOffset,
                                       std::int32_t value5, std::int32_t value6, double thickness,
                                       std::int32_t value8)
{
    Arguments args{doubles(std::move(outline)), r8(pitch), r8(height), r8(eavesOffset),
                   i4(value5), i4(value6), r8(thickness), i4(value8)};
    return create(NewRoofFace, args);
}

std::int32_t HostDocument::setRoofThickness(double thickness)
{
    Arguments args{r8(thickness)};
    return create(SetRoofThickness, args);
}

std::int16_t HostDocument::currentStorey() { return static_cast<std::int16_t>(call(CurrentStorey).asInteger()); }

std::int32_t HostDocument::selectStorey(std::int16_t storey)
{
    Arguments args{i2(storey)};
    return create(SelectStorey, args);
}

std::uint8_t HostDocument::readStoreyFlag(std::int16_t storey)
{
    Arguments args{i2(storey)};
    return static_cast<std::uint8_t>(call(ReadStoreyFlag, args).asInteger());
}

void HostDocument::writeStoreyFlag(std::int16_t storey, std::uint8_t value)
{
    Arguments args{i2(storey), ui1(value)};
    call(WriteStoreyFlag, args);
}

StoreySettingsRecord HostDocument::readStoreySettings()
{
    const HostReply reply = read(ReadStoreySettings);
    StoreySettingsRecord record{};
    for (std::size_t i = 0; i < record.size(); ++i) {
        record[i] = reply.ui2(i);
    }
    return record;
}

void HostDocument::writeStoreySettings(const StoreySettingsRecord& record)
{
    Arguments args;
    for (std::uint16_t v : record) {
        args.push_back(ui2(v));
    }
    call(WriteStoreySettings, args);
}

void HostDocument::storeyDone() { call(StoreyDone); }

double HostDocument::gridModule() { return call(GridModule).asNumber(); }

void HostDocument::setGridModule(double module)
{
    Arguments args{r8(module)};
    call(SetGridModule, args);
}

HostGridSettings HostDocument::readGridSettings()
{
    const HostReply reply = read(ReadGridSettings);
    HostGridSettings grid;
    grid.module = reply.number(0);
    grid.setting16 = static_cast<std::uint16_t>(reply.integer(1));
    grid.setting32 = static_cast<std::uint32_t>(reply.integer(2));
    grid.a = reply.number(3);
    grid.b = reply.number(4);
    return grid;
}

void HostDocument::writeGridSettings(const HostGridSettings& grid)
{
    Arguments args{r8(grid.module), ui2(grid.setting16), ui4(grid.setting32), r8(grid.a), r8(grid.b)};
    call(WriteGridSettings, args);
}

void HostDocument::setRebuilding(std::uint16_t on) { put(SetRebuilding, Variant::ui2(on)); }

void HostDocument::redraw() { call(Redraw); }

void HostDocument::importDone(std::uint16_t value)
{
    Arguments args{ui2(value)};
    call(ImportDone, args);
}

std::int32_t HostDocument::windowHandle() { return asI4(call(DocumentWindow)); }

}  // namespace Common
