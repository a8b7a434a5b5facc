#pragma once

#include "exporter/writer/XmlTextWriter.h"
#include "importer/model/ImportModel.h"
#include "viewer/drawing/StoreyRecords.h"

namespace Viewer {

// How many records of a storey made it into its picture. A record with a
// coordinate that is not a number or lies beyond a thousand kilometres
// cannot be placed and is left out of the picture (the summary says so).
struct DrawnCounts {
    std::size_t drawn = 0;
    std::size_t notDrawn = 0;
};

// Draws one storey as an <svg data-storey="N"> element: every record an
// element whose class names its kind (room, wall, exterior-line, opening,
// stair, roof) and whose data-id holds its ID. Plan coordinates are written
// unchanged (millimetres) inside a group that turns the y axis up, so the
// picture reads as the plan does; labels, grid axis names, the title with the
// storey's level and a scale bar are drawn upright around it.
DrawnCounts drawStorey(Exporter::XmlTextWriter& out, const Importer::ImportModel& model,
                       const StoreyRecords& records);

// Room floor area in square metres of an outline in millimetres (its
// turning sense does not matter).
double areaSquareMetres(const std::vector<Common::Vector2d>& outline);

// Tatami mats (畳) of an area: one mat counts as 1.62 m², the measure
// Japanese property listings use.
double tatami(double squareMetres);

}  // namespace Viewer
