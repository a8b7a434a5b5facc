#include "importer/building/FiniteCallGuard.h"

#include <cmath>
#include <cstdint>
#include <string>

#include "common/host/HostOperations.h"

namespace Importer {

namespace {

// The record a creating operation makes; null for every other operation.
const wchar_t* recordMadeBy(int dispatchNumber)
{
    using namespace Common::HostOps;
    if (dispatchNumber == NewRoom.dispatchNumber) {
        return L"Room";
    }
    if (dispatchNumber == NewWallLineElement.dispatchNumber) {
        return L"Wall line";
    }
    if (dispatchNumber == NewStair.dispatchNumber) {
        return L"Stair";
    }
    if (dispatchNumber == NewWallBox.dispatchNumber || dispatchNumber == NewWallBoxSecondForm.dispatchNumber) {
        return L"Wall";
    }
    if (dispatchNumber == PlaceFitting.dispatchNumber) {
        return L"Fitting";
    }
    if (dispatchNumber == NewRoofFace.dispatchNumber) {
        return L"Roof";
    }
    return nullptr;
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
    if (const wchar_t* record = recordMadeBy(dispatchNumber)) {
        for (std::size_t i = 0; i < args.size(); ++i) {
            if (!finite(args[i].value)) {
                platform_.reportError(std::wstring(record) + (storey_.empty() ? L"" : L" (storey " + storey_ + L")") +
                                      L" skipped: value " + std::to_wstring(i + 1) +
                                      L" for host operation " + std::to_wstring(dispatchNumber) +
                                      L" is not a finite number");
                const bool passage = dispatchNumber == Common::HostOps::NewWallLineElement.dispatchNumber &&
                                     args[0].value.type() == Common::VariantType::UI2 &&
                                     args[0].value.asInteger() == kPassageLine;
                Common::reportLeftOut(report_, passage ? L"opening" : kind_, recordStorey_, L"",
                                      L"a value computed for the host is not a finite number (it overflows)");
                lastCreationSkipped_ = true;
                ++skipped_;
                return;
            }
        }
        lastCreationSkipped_ = false;
    } else if (dispatchNumber == kThicknessOfObjectJustMade && lastCreationSkipped_) {
        return;  // it would fall on an object made earlier
    }
    if (dispatchNumber == kMakeStoreyCurrent && !args.empty() &&
        args[0].value.type() == Common::VariantType::I2) {
        storey_ = std::to_wstring(args[0].value.asI2());
    }
    document_.invoke(dispatchNumber, args, result);
}

void FiniteCallGuard::putProperty(int dispatchNumber, const Common::Variant& value)
{
    document_.putProperty(dispatchNumber, value);
}

}  // namespace Importer
