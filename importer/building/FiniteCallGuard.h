#pragma once

#include <cstddef>
#include <string>

#include "common/host/AutomationObject.h"
#include "common/host/NotInlined.h"
#include "common/platform/Platform.h"
#include "common/report/ConversionReport.h"

namespace Importer {

// Stands between the building pass and the host's document. Values that
// were finite in the file can overflow on their way to the host (a wall
// from 0 to 1e200 has no finite length; moving a room that spans the whole
// number range does not give finite coordinates). A creating call with a
// number that is not finite is not passed on: the record it would make is
// skipped with a message, as the records the preparation drops are. A
// property call for the object just made follows its creating call. A
// skipped record is also noted as left out in the report, when there is one.
class FiniteCallGuard : public Common::AutomationObject {
public:
    // `document` (and `report`, when given) must outlive the guard.
    FiniteCallGuard(Common::AutomationObject& document, Common::Platform& platform,
                    Common::ConversionReport* report = nullptr);

    // What the building pass makes from now on, for the report: the kind
    // of record (room, wall, stair, opening, roof) and its storey as the
    // file numbers it (its 層 value).
    void building(const wchar_t* kind, int storey)
    {
        kind_ = kind;
        recordStorey_ = storey;
    }

    void invoke(int dispatchNumber, Common::Arguments& args, Common::Variant& result) override;
    void putProperty(int dispatchNumber, const Common::Variant& value) override;

    std::size_t skipped() const { return skipped_; }

private:
    // Whether the guard looks at calls of this operation at all.
    static bool watches(int dispatchNumber);
    // Passes on a call the guard looks at, if it lets it through.
    CEDXM_NOT_INLINED void invokeWatched(int dispatchNumber, Common::Arguments& args, Common::Variant& result);
    // Whether a call the guard looks at goes on to the host.
    bool letsThrough(int dispatchNumber, const Common::Arguments& args);
    // Reports and counts a creating call with a number that is not finite.
    bool skipsNonFinite(const wchar_t* record, int dispatchNumber, const Common::Arguments& args);
    // Keeps the storey a storey change names, for the messages.
    void noteStorey(const Common::Arguments& args);

    Common::AutomationObject& document_;
    Common::Platform& platform_;
    Common::ConversionReport* report_;
    const wchar_t* kind_ = L"plan";
    int recordStorey_ = 0;
    std::wstring storey_;  // as the last storey change named it
    bool lastCreationSkipped_ = false;
    std::size_t skipped_ = 0;
};

}  // namespace Importer
