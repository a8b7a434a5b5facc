#include "importer/building/BuildingChoices.h"

namespace Importer {

OpeningMode openingModeFromChoice(int choice)
{
    switch (choice) {
    case 0: return OpeningMode::TemporaryFrames;
    case 2: return OpeningMode::FittingsFromTable;
    default: return OpeningMode::AsTheyAre;
    }
}

RoofMode roofModeFromChoice(int choice) { return choice == 0 ? RoofMode::ManualFaces : RoofMode::None; }

OriginPlacement originPlacementFromChoice(int choice)
{
    switch (choice) {
    case 0: return OriginPlacement::Keep;
    case 1: return OriginPlacement::LowerLeftNearOrigin;
    case 2: return OriginPlacement::CentreAtOrigin;
    default: return OriginPlacement::NoReferencePoint;
    }
}

}  // namespace Importer
