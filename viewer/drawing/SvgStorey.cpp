#include "viewer/drawing/SvgStorey.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "viewer/drawing/SvgStyle.h"

namespace Viewer {

using Common::Vector2d;
using Exporter::formatNumber;
using Exporter::XmlAttributeList;
using Exporter::XmlTextWriter;

namespace {

// Beyond this distance from the origin (a thousand kilometres) a coordinate
// is a broken value, not a house.
constexpr double kFarthest = 1e9;
// A grid denser than this many lines along one axis is unreadable and is
// not drawn.
constexpr long long kMostGridLines = 400;
// Stair blocks with more treads than this are drawn without them.
constexpr int kMostTreads = 200;

bool drawable(double v) { return std::isfinite(v) && std::fabs(v) <= kFarthest; }
bool drawable(const Vector2d& p) { return drawable(p.x) && drawable(p.y); }
bool drawable(const std::vector<Vector2d>& points)
{
    return std::all_of(points.begin(), points.end(), [](const Vector2d& p) { return drawable(p); });
}

struct Bounds {
    double minX = std::numeric_limits<double>::infinity();
    double minY = std::numeric_limits<double>::infinity();
    double maxX = -std::numeric_limits<double>::infinity();
    double maxY = -std::numeric_limits<double>::infinity();

    void add(const Vector2d& p)
    {
        minX = std::min(minX, p.x);
        minY = std::min(minY, p.y);
        maxX = std::max(maxX, p.x);
        maxY = std::max(maxY, p.y);
    }
    void add(const std::vector<Vector2d>& points)
    {
        for (const Vector2d& p : points) {
            add(p);
        }
    }
    bool empty() const { return minX > maxX; }
};

std::wstring pointList(const std::vector<Vector2d>& points)
{
    std::wstring text;
    for (const Vector2d& p : points) {
        if (!text.empty()) {
            text += L' ';
        }
        text += formatNumber(p.x);
        text += L',';
        text += formatNumber(p.y);
    }
    return text;
}

Vector2d vertexMean(const std::vector<Vector2d>& points)
{
    Vector2d sum;
    for (const Vector2d& p : points) {
        sum = sum + p;
    }
    return points.empty() ? sum : sum / static_cast<double>(points.size());
}

// Area centroid, falling back to the vertex mean for a degenerate outline.
Vector2d centroid(const std::vector<Vector2d>& points)
{
    double twiceArea = 0;
    Vector2d sum;
    const Vector2d origin = vertexMean(points);
    for (std::size_t i = 0; i < points.size(); ++i) {
        const Vector2d a = points[i] - origin;
        const Vector2d b = points[(i + 1) % points.size()] - origin;
        const double c = a.x * b.y - b.x * a.y;
        twiceArea += c;
        sum = sum + (a + b) * c;
    }
    if (std::fabs(twiceArea) < 1e-9) {
        return origin;
    }
    return origin + sum / (3.0 * twiceArea);
}

XmlAttributeList classAndId(const std::wstring& cls, const std::wstring& id)
{
    XmlAttributeList a;
    a.add(L"class", cls);
    a.add(L"data-id", id);
    return a;
}

void line(XmlTextWriter& out, const std::wstring& cls, const Vector2d& a, const Vector2d& b,
          XmlAttributeList attributes = {})
{
    if (!cls.empty()) {
        attributes.add(L"class", cls);
    }
    attributes.add(L"x1", formatNumber(a.x));
    attributes.add(L"y1", formatNumber(a.y));
    attributes.add(L"x2", formatNumber(b.x));
    attributes.add(L"y2", formatNumber(b.y));
    out.empty(L"line", attributes);
}

void polygon(XmlTextWriter& out, const std::wstring& cls, const std::vector<Vector2d>& points,
             XmlAttributeList attributes = {})
{
    if (!cls.empty()) {
        attributes.add(L"class", cls);
    }
    attributes.add(L"points", pointList(points));
    out.empty(L"polygon", attributes);
}

// A filled arrowhead with its tip at `tip`, pointing along `direction`.
void arrowhead(XmlTextWriter& out, const Vector2d& tip, const Vector2d& direction, double size)
{
    const Vector2d d = direction.unit();
    const Vector2d n(-d.y, d.x);
    const Vector2d back = tip - d * size;
    polygon(out, L"arrowhead", {tip, back + n * (size / 2), back - n * (size / 2)});
}

std::wstring openingKind(int code)
{
    switch (code) {
    case 1:
        return L"window";
    case 2:
        return L"door";
    case 3:
        return L"passage";
    default:
        return L"other";
    }
}

std::wstring twoDecimals(double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.2f", value);
    return std::wstring(buffer, buffer + std::char_traits<char>::length(buffer));
}

// A label drawn upright at a plan point (the label layer keeps y down).
void label(XmlTextWriter& out, const std::wstring& cls, const Vector2d& at, const std::wstring& text,
           double dy = 0)
{
    XmlAttributeList a;
    a.add(L"class", cls);
    a.add(L"x", formatNumber(at.x));
    a.add(L"y", formatNumber(-at.y + dy));
    out.value(L"text", a, text);
}

// The walking line of a stair: block to block through their centres; a
// single block is walked along its longer side.
std::vector<Vector2d> walkingLine(const std::vector<std::vector<Vector2d>>& blocks)
{
    std::vector<Vector2d> path;
    for (const auto& block : blocks) {
        if (!block.empty()) {
            path.push_back(vertexMean(block));
        }
    }
    if (path.size() == 1 && blocks.front().size() == 4) {
        const auto& b = blocks.front();
        const Vector2d along = b[1] - b[0];
        const Vector2d across = b[2] - b[1];
        if (along.lengthSquared() >= across.lengthSquared()) {
            path = {(b[0] + b[3]) / 2.0, (b[1] + b[2]) / 2.0};
        } else {
            path = {(b[0] + b[1]) / 2.0, (b[3] + b[2]) / 2.0};
        }
    }
    return path;
}

// Tread lines of a straight four-cornered block: the block divided into its
// steps across the walking direction.
void treads(XmlTextWriter& out, const std::vector<Vector2d>& b, int steps, const Vector2d& walking)
{
    if (b.size() != 4 || steps < 2 || steps > kMostTreads) {
        return;
    }
    const Vector2d w = walking.unit();
    const bool alongFirstSide = std::fabs(dot((b[1] - b[0]).unit(), w)) >= std::fabs(dot((b[2] - b[1]).unit(), w));
    for (int k = 1; k < steps; ++k) {
        const double t = static_cast<double>(k) / steps;
        if (alongFirstSide) {
            line(out, L"tread", b[0] + (b[1] - b[0]) * t, b[3] + (b[2] - b[3]) * t);
        } else {
            line(out, L"tread", b[1] + (b[2] - b[1]) * t, b[0] + (b[3] - b[0]) * t);
        }
    }
}

// The largest 1, 2 or 5 times a power of ten not above `limit`.
double roundLength(double limit)
{
    double unit = std::pow(10.0, std::floor(std::log10(std::max(limit, 1.0))));
    for (const double f : {5.0, 2.0, 1.0}) {
        if (f * unit <= limit) {
            return f * unit;
        }
    }
    return unit;
}

std::wstring lengthText(double mm)
{
    const auto whole = [](double v) { return std::to_wstring(static_cast<long long>(std::llround(v))); };
    return mm >= 1000 ? whole(mm / 1000) + L" m" : whole(mm) + L" mm";
}

struct Layout {
    Bounds plan;
    double font = 100;
    double x0 = 0, y0 = 0, width = 0, height = 0;  // view box, y down
};

Layout layoutOf(const Bounds& plan)
{
    Layout l;
    l.plan = plan;
    if (plan.empty()) {
        l.plan.add(Vector2d(0, 0));
        l.plan.add(Vector2d(1000, 1000));
    }
    const double extent = std::max({l.plan.maxX - l.plan.minX, l.plan.maxY - l.plan.minY, 1000.0});
    l.font = extent / 60;
    const double margin = 2 * l.font;
    l.x0 = l.plan.minX - margin - 2 * l.font;  // room for Y axis names
    l.y0 = -l.plan.maxY - margin - 2.5 * l.font;  // the title
    l.width = (l.plan.maxX + margin) - l.x0;
    l.height = (-l.plan.minY + margin + 4 * l.font) - l.y0;  // X axis names and the scale bar
    return l;
}

Bounds boundsOf(const StoreyRecords& r, DrawnCounts& counts)
{
    Bounds b;
    auto take = [&](bool ok, auto add) {
        if (ok) {
            add();
            ++counts.drawn;
        } else {
            ++counts.notDrawn;
        }
    };
    for (const auto* room : r.rooms) {
        take(drawable(room->outline), [&] { b.add(room->outline); });
    }
    for (const auto* wall : r.walls) {
        take(drawable(wall->start) && drawable(wall->end), [&] { b.add(wall->start), b.add(wall->end); });
    }
    for (const auto* l : r.outerLines) {
        take(drawable(l->points), [&] { b.add(l->points); });
    }
    for (const auto* o : r.openings) {
        take(drawable(o->start) && drawable(o->end), [&] { b.add(o->start), b.add(o->end); });
    }
    for (const auto* s : r.stairs) {
        const bool ok = std::all_of(s->blockOutlines.begin(), s->blockOutlines.end(),
                                    [](const auto& block) { return drawable(block); });
        take(ok, [&] {
            for (const auto& block : s->blockOutlines) {
                b.add(block);
            }
        });
    }
    for (const auto* roof : r.roofs) {
        take(drawable(roof->outline) && drawable(roof->baseLineStart) && drawable(roof->baseLineEnd), [&] {
            b.add(roof->outline);
            b.add(roof->baseLineStart);
            b.add(roof->baseLineEnd);
        });
    }
    return b;
}

void drawGrid(XmlTextWriter& out, const Importer::ImportModel& model, const Layout& l, std::vector<std::pair<Vector2d, std::wstring>>& names)
{
    const Vector2d origin = model.gridOrigin;
    const Vector2d spacing = model.gridSpacing;
    if (!drawable(origin)) {
        return;
    }
    const double margin = 2 * l.font;
    auto axis = [&](double o, double step, double lo, double hi, bool vertical) {
        if (!(std::isfinite(step) && step > 0)) {
            return;
        }
        const double first = std::ceil((lo - o) / step);
        const double last = std::floor((hi - o) / step);
        if (!(last - first < kMostGridLines)) {
            return;
        }
        for (auto k = static_cast<long long>(first); k <= static_cast<long long>(last); ++k) {
            const double v = o + static_cast<double>(k) * step;
            const std::wstring name = (vertical ? L"X" : L"Y") + std::to_wstring(k);
            if (vertical) {
                line(out, L"grid", Vector2d(v, l.plan.minY - margin), Vector2d(v, l.plan.maxY + margin));
                names.emplace_back(Vector2d(v, l.plan.minY - margin - 1.2 * l.font), name);
            } else {
                line(out, L"grid", Vector2d(l.plan.minX - margin, v), Vector2d(l.plan.maxX + margin, v));
                names.emplace_back(Vector2d(l.plan.minX - margin - 1.2 * l.font, v), name);
            }
        }
    };
    out.start(L"g", [] {
        XmlAttributeList a;
        a.add(L"class", L"grid-lines");
        return a;
    }());
    axis(origin.x, spacing.x, l.plan.minX - margin, l.plan.maxX + margin, true);
    axis(origin.y, spacing.y, l.plan.minY - margin, l.plan.maxY + margin, false);
    out.end(L"g");
}

}  // namespace

double areaSquareMetres(const std::vector<Vector2d>& outline)
{
    double twiceArea = 0;
    for (std::size_t i = 0; i < outline.size(); ++i) {
        const Vector2d& a = outline[i];
        const Vector2d& b = outline[(i + 1) % outline.size()];
        twiceArea += a.x * b.y - b.x * a.y;
    }
    return std::fabs(twiceArea) / 2 / 1e6;
}

double tatami(double squareMetres) { return squareMetres / 1.62; }

DrawnCounts drawStorey(XmlTextWriter& out, const Importer::ImportModel& model, const StoreyRecords& r)
{
    DrawnCounts counts;
    const Layout l = layoutOf(boundsOf(r, counts));

    XmlAttributeList svg;
    svg.add(L"xmlns", L"http://www.w3.org/2000/svg");
    svg.add(L"class", L"storey");
    svg.add(L"data-storey", std::to_wstring(r.storey));
    svg.add(L"viewBox", formatNumber(l.x0) + L" " + formatNumber(l.y0) + L" " + formatNumber(l.width) + L" " +
                            formatNumber(l.height));
    svg.add(L"font-size", formatNumber(l.font));
    out.start(L"svg", svg);
    const auto level = model.levelByStorey.find(r.storey);
    const std::wstring title = L"Storey " + std::to_wstring(r.storey) +
                               (level != model.levelByStorey.end()
                                    ? L" · level " + formatNumber(level->second) + L" mm"
                                    : std::wstring(L" · no level in the file"));
    out.value(L"title", title);
    out.value(L"style", svgStyle(model));

    std::vector<std::pair<Vector2d, std::wstring>> axisNames;
    XmlAttributeList planGroup;
    planGroup.add(L"class", L"plan");
    planGroup.add(L"transform", L"scale(1,-1)");
    out.start(L"g", planGroup);
    drawGrid(out, model, l, axisNames);

    for (const auto* room : r.rooms) {
        if (drawable(room->outline)) {
            polygon(out, {}, room->outline, classAndId(L"room kind-" + std::to_wstring(room->kindCode), room->id));
        }
    }
    for (const auto* line : r.outerLines) {
        if (drawable(line->points)) {
            polygon(out, {}, line->points, classAndId(L"exterior-line", line->id));
        }
    }
    for (const auto* wall : r.walls) {
        if (drawable(wall->start) && drawable(wall->end)) {
            XmlAttributeList a = classAndId(L"wall kind-" + std::to_wstring(wall->kindCode), wall->id);
            if (std::isfinite(wall->thickness) && wall->thickness > 0 && wall->thickness <= kFarthest) {
                a.add(L"stroke-width", formatNumber(wall->thickness));
            }
            line(out, {}, wall->start, wall->end, a);
        }
    }
    for (const auto* o : r.openings) {
        if (drawable(o->start) && drawable(o->end)) {
            out.start(L"g", classAndId(L"opening " + openingKind(o->kindCode), o->id));
            line(out, L"gap", o->start, o->end);
            line(out, L"leaf", o->start, o->end);
            out.end(L"g");
        }
    }
    for (const auto* s : r.stairs) {
        const bool ok = std::all_of(s->blockOutlines.begin(), s->blockOutlines.end(),
                                    [](const auto& block) { return drawable(block); });
        if (!ok) {
            continue;
        }
        out.start(L"g", classAndId(L"stair form-" + std::to_wstring(s->form), s->id));
        const std::vector<Vector2d> walk = walkingLine(s->blockOutlines);
        for (std::size_t i = 0; i < s->blockOutlines.size(); ++i) {
            const auto& block = s->blockOutlines[i];
            polygon(out, L"stair-block", block);
            if (i < s->stepCounts.size() && i < s->turnAngles.size() && s->turnAngles[i] == 0 && walk.size() >= 2) {
                // The walking direction through this block: towards the next
                // block, or on from the one before for the last.
                const Vector2d centre = vertexMean(block);
                Vector2d direction = walk.back() - walk.front();
                if (s->blockOutlines.size() > 1) {
                    direction = i + 1 < walk.size() ? walk[i + 1] - centre : centre - walk[i - 1];
                }
                treads(out, block, s->stepCounts[i], direction);
            }
        }
        if (walk.size() >= 2 && !(walk.back() == walk[walk.size() - 2])) {
            XmlAttributeList a;
            a.add(L"class", L"walk");
            a.add(L"points", pointList(walk));
            out.empty(L"polyline", a);
            arrowhead(out, walk.back(), walk.back() - walk[walk.size() - 2], l.font * 0.8);
        }
        out.end(L"g");
    }
    for (const auto* roof : r.roofs) {
        if (!(drawable(roof->outline) && drawable(roof->baseLineStart) && drawable(roof->baseLineEnd))) {
            continue;
        }
        out.start(L"g", classAndId(L"roof", roof->id));
        polygon(out, L"roof-outline", roof->outline);
        line(out, L"roof-base", roof->baseLineStart, roof->baseLineEnd);
        // Downhill: from the middle of the face square onto its reference
        // line, where the eaves are.
        const Vector2d along = (roof->baseLineEnd - roof->baseLineStart).unit();
        const Vector2d middle = centroid(roof->outline);
        const Vector2d foot = roof->baseLineStart + along * dot(middle - roof->baseLineStart, along);
        if (along.lengthSquared() > 0 && (foot - middle).length() > l.font) {
            line(out, L"downhill", middle, foot);
            arrowhead(out, foot, foot - middle, l.font * 0.8);
        }
        out.end(L"g");
    }
    out.end(L"g");

    // Upright texts over the plan.
    XmlAttributeList labels;
    labels.add(L"class", L"labels");
    out.start(L"g", labels);
    for (const auto& [at, name] : axisNames) {
        label(out, L"axis-name", at, name, 0.35 * l.font);
    }
    for (const auto* room : r.rooms) {
        if (drawable(room->outline) && !room->outline.empty()) {
            const Vector2d c = centroid(room->outline);
            const double m2 = areaSquareMetres(room->outline);
            label(out, L"room-name", c, room->name.empty() ? room->kindName : room->name, -0.2 * l.font);
            label(out, L"room-area", c, twoDecimals(m2) + L" m² · " + twoDecimals(tatami(m2)) + L"畳", 0.9 * l.font);
        }
    }
    for (const auto* o : r.openings) {
        if (!o->modelNumber.empty() && drawable(o->start) && drawable(o->end)) {
            label(out, L"model-number", (o->start + o->end) / 2.0, o->modelNumber, -0.5 * l.font);
        }
    }
    XmlAttributeList t;
    t.add(L"class", L"title");
    t.add(L"x", formatNumber(l.plan.minX));
    t.add(L"y", formatNumber(l.y0 + 1.6 * l.font));
    out.value(L"text", t, title);

    // Scale bar below the plan, at most a quarter of its width.
    const double bar = roundLength((l.plan.maxX - l.plan.minX) / 4);
    const double barY = -l.plan.minY + 2 * l.font + 2.6 * l.font;
    XmlAttributeList scale;
    scale.add(L"class", L"scale-bar");
    out.start(L"g", scale);
    line(out, L"bar", Vector2d(l.plan.minX, barY), Vector2d(l.plan.minX + bar, barY));
    label(out, L"bar-length", Vector2d(l.plan.minX + bar + 0.5 * l.font, -barY), lengthText(bar), 0.35 * l.font);
    out.end(L"g");
    out.end(L"g");
    out.end(L"svg");
    return counts;
}

}  // namespace Viewer
