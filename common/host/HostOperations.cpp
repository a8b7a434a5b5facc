#include "common/host/HostOperations.h"

#include <array>
#include <string>

namespace Common {

namespace {

using namespace HostOps;

constexpr std::array kAll{
    &ApplicationVersion, &ApplicationWindow, &HostFolder,
    &CursorToFirst, &CursorToNext, &CurrentObjectType, &CurrentObjectStorey, &MarkCurrentObject, &RemoveMarkedObject,
    &ReadHangingWallBox, &ReadFitting, &ReadWallBox, &ReadRoom, &ReadStair, &ReadWallAttached, &ReadRoof,
    &NewRoom, &NewWallLineElement, &NewStair, &NewWallBox, &NewWallBoxSecondForm, &PlaceFitting, &NewRoofFace,
    &SetRoofThickness,
    &CurrentStorey, &SelectStorey, &WriteStoreyFlag, &ReadStoreyFlag, &WriteStoreySettings, &ReadStoreySettings,
    &StoreyDone,
    &SetGridModule, &GridModule, &WriteGridSettings, &ReadGridSettings,
    &Rebuilding, &SetRebuilding, &Redraw, &ImportDone, &DocumentWindow,
};

}  // namespace

std::span<const HostOperation* const> allHostOperations() { return kAll; }

const HostOperation* findHostOperation(HostSide side, int dispatchNumber, bool propertyPut)
{
    for (const HostOperation* op : kAll) {
        if (op->side == side && op->dispatchNumber == dispatchNumber && op->propertyPut == propertyPut) {
            return op;
        }
    }
    return nullptr;
}

std::string describeOperation(const HostOperation& op)
{
    return std::string(op.side == HostSide::Application ? "application" : "document") +
           (op.propertyPut ? " property " : " operation ") + std::to_string(op.dispatchNumber) + " (" + op.name + ")";
}

}  // namespace Common
