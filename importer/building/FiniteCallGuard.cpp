#include "importer/building/FiniteCallGuard.h"

#include <cmath>
#include <cstdint>
#include <string>

#include "common/host/HostOperations.h"

namespace Importer {

namespace {

// The record a creating operation makes; null for every other operation.
// Every host call passes here, most of them walking the plan's objects, so
// the number is looked at once.
const wchar_t* recordMadeBy(int dispatchNumber)
{
    using namespace Common::HostOps;
    switch (dispatchNumber) {
    case NewRoom.dispatchNumber: return L"Room";
    case NewWallLineElement.dispatchNumber: return L"Wall line";
    case NewStair.dispatchNumber: return L"Stair";
    case NewWallBox.dispatchNumber:
    case NewWallBoxSecondForm.dispatchNumber: return L"Wall";
    case PlaceFitting.dispatchNumber: return L"Fitting";
    case NewRoofFace.dispatchNumber: return L"Roof";
    default: return nullptr;
    }
}

// The wall line element kind of a passage: made while walls are built, but
// an opening of the file.
constexpr std::uint16_t kPassageLine = 1;

constexpr int kMakeStoreyCurrent = Common::HostOps::SelectStorey.dispatchNumber;
// The thickness of the roof just made.
constexpr int kThicknessOfObjectJustMade = Common::HostOps::SetRoofThickness.dispatchNumber;

bool finite(const Common::Variant& v)
{
    switch (v.type()) {
    case Common::VariantType::R8:
        return std::isfinite(v.asNumber());
    case Common::VariantType::DoubleArray:
        for (const double d : v.asDoubles()) {
            if (!std::isfinite(d)) {
                return false;
            }
        }
        return true;
    default:
        return true;
    }
}

}  // namespace

FiniteCallGuard::FiniteCallGuard(Common::AutomationObject& document, Common::Platform& platform,
                                 Common::ConversionReport* report)
    : document_(document), platform_(platform), report_(report)
{
}

void FiniteCallGuard::invoke(int dispatchNumber, Common::Arguments& args, Common::Variant& result)
{
    // Most calls (walking the plan's objects) are none of the guard's
    // business and go straight on.
    if (watches(dispatchNumber)) {
        invokeWatched(dispatchNumber, args, result);
        return;
    }
    document_.invoke(dispatchNumber, args, result);
}

void FiniteCallGuard::invokeWatched(int dispatchNumber, Common::Arguments& args, Common::Variant& result)
{
    if (letsThrough(dispatchNumber, args)) {
        document_.invoke(dispatchNumber, args, result);
    }
}

bool FiniteCallGuard::watches(int dispatchNumber)
{
    return recordMadeBy(dispatchNumber) != nullptr || dispatchNumber == kThicknessOfObjectJustMade ||
           dispatchNumber == kMakeStoreyCurrent;
}

bool FiniteCallGuard::letsThrough(int dispatchNumber, const Common::Arguments& args)
{
    if (const wchar_t* record = recordMadeBy(dispatchNumber)) {
        lastCreationSkipped_ = skipsNonFinite(record, dispatchNumber, args);
        return !lastCreationSkipped_;
    }
    if (dispatchNumber == kThicknessOfObjectJustMade) {
        return !lastCreationSkipped_;  // else it would fall on an object made earlier
    }
    noteStorey(args);
    return true;
}

bool FiniteCallGuard::skipsNonFinite(const wchar_t* record, int dispatchNumber, const Common::Arguments& args)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (!finite(args[i].value)) {
            platform_.reportError(std::wstring(record) + (storey_.empty() ? L"" : L" (storey " + storey_ + L")") +
                                  L" skipped: value " + std::to_wstring(i + 1) + L" for host operation " +
                                  std::to_wstring(dispatchNumber) + L" is not a finite number");
            const bool passage = dispatchNumber == Common::HostOps::NewWallLineElement.dispatchNumber &&
                                 args[0].value.type() == Common::VariantType::UI2 &&
                                 args[0].value.asInteger() == kPassageLine;
            Common::reportLeftOut(report_, passage ? L"opening" : kind_, recordStorey_, L"",
                                  L"a value computed for the host is not a finite number (it overflows)");
            ++skipped_;
            return true;
        }
    }
    return false;
}

void FiniteCallGuard::noteStorey(const Common::Arguments& args)
{
    if (!args.empty() && args[0].value.type() == Common::VariantType::I2) {
        storey_ = std::to_wstring(args[0].value.asI2());
    }
}

void FiniteCallGuard::putProperty(int dispatchNumber, const Common::Variant& value)
{
    document_.putProperty(dispatchNumber, value);
}

}  // namespace Importer
