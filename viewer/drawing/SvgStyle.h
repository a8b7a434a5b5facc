#pragma once

#include <string>

#include "importer/model/ImportModel.h"

namespace Viewer {

// The style sheet inside every storey picture, so that a picture saved on
// its own looks as it does in the page. Rooms are filled with the host's own
// colour for their kind.
std::wstring svgStyle(const Importer::ImportModel& model);

// "#RRGGBB" of a 0x00BBGGRR colour value.
std::wstring cssColour(int bgr);

}  // namespace Viewer
