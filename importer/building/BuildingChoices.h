#pragma once

// The open dialog's choices as the building steps take them. The dialog and
// the registry keep them as numbers; they become these values once, when the
// run flow hands them over.

namespace Importer {

// What becomes of the file's windows and doors.
enum class OpeningMode {
    TemporaryFrames,    // placeholder fittings beside the program (recommended)
    AsTheyAre,          // plain openings in the wall lines
    FittingsFromTable,  // the correspondence table's fittings, placeholders where it has none
};

enum class RoofMode {
    ManualFaces,  // each roof face as a manual roof
    None,
};

// Where the plan is moved after reading.
enum class OriginPlacement {
    Keep,
    LowerLeftNearOrigin,
    CentreAtOrigin,
    // Both boxes ticked (or a value the dialog does not know): the plan is
    // moved by the whole-grid shift of the origin itself, which is none.
    NoReferencePoint,
};

// The dialog's numbers: 0 frames, 1 as they are, 2 table (any other number
// leaves openings as they are); 0 manual roof faces, anything else none;
// 0 keep, 1 lower-left, 2 centre.
OpeningMode openingModeFromChoice(int choice);
RoofMode roofModeFromChoice(int choice);
OriginPlacement originPlacementFromChoice(int choice);

}  // namespace Importer
