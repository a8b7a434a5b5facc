#include "importer/building/FiniteCallGuard.h"

#include <cmath>
#include <string>

#include "common/host/HostOperations.h"

namespace Importer {

namespace {

// What a creating operation makes: its name in messages and its kind in the
// report.
struct MadeRecord {
    int dispatchNumber;
    const wchar_t* name;
    const wchar_t* reportKind;
};

constexpr MadeRecord kMadeRecords[] = {
    {Common::HostOps::NewRoom.dispatchNumber, L"Room", L"room"},
    {Common::HostOps::NewWallLineElement.dispatchNumber, L"Wall line", L"wall"},
    {Common::HostOps::NewStair.dispatchNumber, L"Stair", L"stair"},
    {Common::HostOps::NewWallBox.dispatchNumber, L"Wall", L"wall"},
    {Common::HostOps::NewWallBoxSecondForm.dispatchNumber, L"Wall", L"wall"},
    {Common::HostOps::PlaceFitting.dispatchNumber, L"Fitting", L"opening"},
    {Common::HostOps::NewRoofFace.dispatchNumber, L"Roof", L"roof"},
};

// The record a creating operation makes; null for every other operation.
const MadeRecord* recordMadeBy(int dispatchNumber)
{
    for (const MadeRecord& record : kMadeRecords) {
        if (record.dispatchNumber == dispatchNumber) {
            return &record;
        }
    }
    return nullptr;
}

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
    if (const MadeRecord* record = recordMadeBy(dispatchNumber)) {
        for (std::size_t i = 0; i < args.size(); ++i) {
            if (!finite(args[i].value)) {
                platform_.reportError(std::wstring(record->name) + (storey_.empty() ? L"" : L" (storey " + storey_ + L")") +
                                      L" skipped: value " + std::to_wstring(i + 1) +
                                      L" for host operation " + std::to_wstring(dispatchNumber) +
                                      L" is not a finite number");
                // A roof is built while the storey below it is current.
                const bool roof = dispatchNumber == Common::HostOps::NewRoofFace.dispatchNumber;
                Common::reportLeftOut(report_, record->reportKind, roof ? fileStorey_ + 1 : fileStorey_, L"",
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
