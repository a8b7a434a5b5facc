#include "importer/building/StairBuilder.h"

#include <array>
#include <cmath>
#include <numbers>

#include "importer/building/HostArguments.h"
#include "importer/building/ModelByStorey.h"

namespace Importer {

using namespace HostArgs;

namespace {

constexpr double kAbsentTread = 300;

// The host's stair measures, arguments 5 to 13 of the host's new stair.
struct StairMeasures {
    std::array<double, 3> treads{};  // first tread, second and third measure
    std::array<int, 3> risers{};
    std::array<int, 2> turnSteps{};
    int directionFlag = 0;
};

class Blocks {
public:
    explicit Blocks(const ImportStair& s) : stair_(s) {}

    std::size_t count() const { return stair_.stepCounts.size(); }
    bool exists(std::size_t i) const { return i < count(); }
    // Point j of block i; beyond the last point means the last point.
    Vector2d point(std::size_t i, std::size_t j) const
    {
        const auto& outline = stair_.blockOutlines[i];
        if (outline.empty()) {
            return Vector2d();
        }
        return outline[std::min(j, outline.size() - 1)];
    }
    double distance(std::size_t i, std::size_t j, std::size_t k) const { return (point(i, j) - point(i, k)).length(); }
    int steps(std::size_t i) const { return stair_.stepCounts[i]; }
    double run(std::size_t i) const { return distance(i, 2, 1); }
    double tread(std::size_t i) const { return run(i) / steps(i); }

private:
    const ImportStair& stair_;
};

int digit(int code, int n) { return (code >> (4 * n)) & 0xF; }

// A flight of block i (present) or the host's placeholder (absent).
void flight(const Blocks& b, bool present, std::size_t& next, double& tread, int& risers)
{
    if (present && b.exists(next)) {
        tread = b.tread(next);
        risers = b.steps(next) + 1;
        ++next;
    } else {
        tread = kAbsentTread;
        risers = 1;
    }
}

int halfTurnSteps(int pair)
{
    switch (pair) {
    case 11:
        return 1;
    case 12:
        return 7;
    case 13:
        return 8;
    case 21:
        return 9;
    case 22:
        return 4;
    case 31:
        return 10;
    case 33:
        return 6;
    default:
        return 0;
    }
}

StairMeasures measure(const Blocks& b, int type, int code, int pattern, bool flag)
{
    StairMeasures m;
    std::size_t next = 0;
    switch (type) {
    case 0:
        m.treads[0] = b.tread(0);
        m.risers[0] = b.steps(0) + 1;
        break;
    case 1:
        if (pattern == 0x44 && b.steps(0) == 1) {  // block 0 is the landing
            m.treads = {b.tread(1), b.run(0), b.tread(1)};
            m.risers[0] = 1;
            m.risers[1] = b.steps(1) + 1;
        } else if (pattern == 0x44) {
            m.treads = {b.tread(0), b.run(1), b.tread(0)};
            m.risers[0] = b.steps(0) + 1;
            m.risers[1] = 1;
        } else {
            m.treads = {b.tread(0), b.run(1), b.tread(0)};
            m.risers[0] = b.steps(0) + 1;
            m.risers[1] = b.steps(2) + 1;
        }
        break;
    case 2: {
        flight(b, digit(code, 2) != 0, next, m.treads[0], m.risers[0]);
        const std::size_t turn = next++;
        m.turnSteps[0] = b.exists(turn) ? b.steps(turn) - 1 : 0;
        flight(b, digit(code, 0) != 0, next, m.treads[1], m.risers[1]);
        m.directionFlag = flag ? 1 : 0;
        break;
    }
    case 3: {
        flight(b, digit(code, 4) != 0, next, m.treads[0], m.risers[0]);
        const std::size_t k = next;
        const int turn = (code >> 4) & 0xFFF;
        std::size_t turnBlocks = 0;
        if (b.exists(k)) {
            if (turn == 0x1 || turn == 0x7) {
                m.treads[1] = flag ? b.distance(k, 2, 1) : b.distance(k, 0, 4);
                m.turnSteps[0] = b.steps(k) <= 3 ? b.steps(k) - 1 : b.steps(k);
                turnBlocks = 1;
            } else if ((turn == 0x22 || turn == 0x66) && b.exists(k + 1)) {
                m.treads[1] = b.distance(k, 2, 1);
                m.turnSteps[0] = halfTurnSteps(10 * b.steps(k) + b.steps(k + 1));
                turnBlocks = 2;
            } else if (turn == 0x333 || turn == 0x555) {
                m.treads[1] = flag ? b.distance(k, 2, 1) : b.distance(k, 0, 3);
                m.turnSteps[0] = 3;
                turnBlocks = 3;
            }
        }
        const std::size_t last = k + turnBlocks;
        if (digit(code, 0) != 0 && b.exists(last)) {
            m.risers[1] = b.steps(last) + 1;
        } else {
            m.treads[1] = kAbsentTread;
            m.risers[1] = 1;
        }
        m.directionFlag = flag ? 1 : 0;
        break;
    }
    default: {  // 4 and 5: flight, turn, flight, turn, flight
        flight(b, digit(code, 4) != 0, next, m.treads[0], m.risers[0]);
        const std::size_t firstTurn = next++;
        m.turnSteps[0] = b.exists(firstTurn) ? b.steps(firstTurn) - 1 : 0;
        flight(b, digit(code, 2) != 0, next, m.treads[1], m.risers[1]);
        const std::size_t secondTurn = next++;
        m.turnSteps[1] = b.exists(secondTurn) ? b.steps(secondTurn) - 1 : 0;
        flight(b, digit(code, 0) != 0, next, m.treads[2], m.risers[2]);
        m.directionFlag = flag ? 1 : 0;
        break;
    }
    }
    return m;
}

void applyBarrierFree(StairMeasures& m, int type, double r)
{
    const int flights = type == 2 ? 2 : (type == 4 || type == 5) ? 3 : 0;
    if (flights == 0) {
        m.treads[0] = nudgeTread(m.treads[0], r);
        return;
    }
    for (int i = 0; i < flights; ++i) {
        double& t = m.treads[static_cast<std::size_t>(i)];
        if (m.risers[static_cast<std::size_t>(i)] != 1) {
            t = nudgeTread(t, r);
        } else if (2 * r + t < 550) {
            t = 550 - 2 * r;
        } else if (2 * r + t > 650) {
            t = 650 - 2 * r;
        }
    }
}

double floorLevelOf(const ImportModel& model, int storey)
{
    const auto it = model.floorLevelByStorey.find(storey);
    return it == model.floorLevelByStorey.end() ? 0.0 : static_cast<double>(it->second);
}

}  // namespace

std::optional<int> stairBlockPattern(const ImportStair& stair)
{
    const std::size_t n = stair.turnAngles.size();
    if (n == 0 || n > 5 || stair.stepCounts.size() != n || stair.blockOutlines.size() != n) {
        return std::nullopt;
    }
    int pattern = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double angle = stair.turnAngles[i];
        int d = -1;
        if (angle == 270) {
            d = 2;
        } else if (angle == 300) {
            d = 3;
        } else if (angle == 0) {
            d = 4;
        } else if (angle == 60) {
            d = 5;
        } else if (angle == 90) {
            d = 6;
        } else if (angle == 180) {
            // A half-turn block reaches back behind its first edge (7) or on
            // beyond it (1); the first outline point that does decides.
            const auto& outline = stair.blockOutlines[i];
            if (outline.size() >= 2) {
                const Vector2d e = outline[1] - outline[0];
                const double length = e.length();
                for (std::size_t j = 2; j < outline.size() && length > 0; ++j) {
                    const double p = Common::dot(outline[j] - outline[0], e) / length / length;
                    if (p < -0.1) {
                        d = 7;
                        break;
                    }
                    if (p > 1.1) {
                        d = 1;
                        break;
                    }
                }
            }
            if (d < 0) {
                continue;  // the block adds no digit
            }
        } else {
            return std::nullopt;
        }
        pattern = pattern * 16 + d;
    }
    return pattern;
}

double nudgeTread(double t, double r)
{
    const double span = 2 * r + t;
    double k1 = 0;
    if (span < 550) {
        k1 = 550 - span;
    } else if (span > 650) {
        k1 = 650 - span;
    }
    const double k2 = r / t > 22.0 / 21.0 ? r * 21 / 22 - t : 0;
    const double k3 = t < 195 ? 195 - t : 0;
    double k = k1;
    if (std::fabs(k2) >= std::fabs(k)) {
        k = k2;
    }
    if (std::fabs(k3) >= std::fabs(k)) {
        k = k3;
    }
    return std::fabs(k) < 0.5 ? t + k : t;
}

void buildStairs(const ImportModel& model, Common::HostDocument& document, int storey, int barrierFreeGrade,
                 Common::Platform& platform)
{
    buildStairs(model, document, storey, barrierFreeGrade, platform, ModelByStorey(model).of(storey).stairs);
}

void buildStairs(const ImportModel& model, Common::HostDocument& document, int storey, int barrierFreeGrade,
                 Common::Platform& platform, const std::vector<std::size_t>& stairs)
{
    for (const std::size_t index : stairs) {
        const ImportStair& stair = *model.stairs[index];
        const std::optional<int> pattern = stairBlockPattern(stair);
        const auto found = pattern ? model.stairPatternTable.find(*pattern) : model.stairPatternTable.end();
        if (found == model.stairPatternTable.end() || ((found->second >> 24) & 0xF) > 5) {
            Common::reportLeftOut(model.report, L"stair", storey, stair.id, L"the host has no stair of this shape (its blocks and turns)");
            continue;
        }
        const int code = found->second;
        const int type = (code >> 24) & 0xF;
        const Blocks blocks(stair);
        const Vector2d p0 = blocks.point(0, 0);
        const Vector2d p1 = blocks.point(0, 1);
        const double width = (p1 - p0).length();
        const double angle = std::atan2(p1.y - p0.y, p1.x - p0.x) * 180.0 / std::numbers::pi;
        const bool flag = type >= 2 && ((code >> 20) & 0xF) == 3;
        const Vector2d origin = flag ? p1 : p0;

        StairMeasures m = measure(blocks, type, code, *pattern, flag);
        if (barrierFreeGrade >= 3) {
            long long steps = 0;
            for (int s : stair.stepCounts) {
                steps += s;
            }
            const double r = (floorLevelOf(model, storey + 1) - floorLevelOf(model, storey)) /
                             static_cast<double>(1 + steps);
            applyBarrierFree(m, type, r);
        }
        bool finite = std::isfinite(origin.x) && std::isfinite(origin.y) && std::isfinite(width);
        for (double t : m.treads) {
            finite = finite && std::isfinite(t);
        }
        if (!finite) {
            Common::reportLeftOut(model.report, L"stair", storey, stair.id, L"a flight has no steps or its measures are not finite numbers");
            platform.reportError(L"Stair " + std::to_wstring(index + 1) + L" (storey " + std::to_wstring(storey) +
                                 L") skipped: a flight has no steps or its measures are not finite numbers");
            continue;
        }
        const auto u16 = [](int v) { return ui2(static_cast<std::uint16_t>(v)); };
        Common::Arguments args{r8(origin.x),      r8(origin.y),       r8(width),
                               u16(type),         r8(m.treads[0]),    r8(m.treads[1]),
                               r8(m.treads[2]),   u16(m.risers[0]),   u16(m.risers[1]),
                               u16(m.risers[2]),  u16(m.turnSteps[0]), u16(m.turnSteps[1]),
                               i4(m.directionFlag), r8(angle),        i4(stair.form != 3 ? 1 : 0),
                               i4(1),             i4(1),              i4(1),
                               i4(0),             r8(750.0),          i4(1),
                               i4(1),             i4(1),              i4(0),
                               r8(750.0),         i4(0),              i4(0),
                               i4(0),             i4(0),              i4(0),
                               ui2(0),            ui2(2)};
        document.newStair(std::move(args));
    }
}

}  // namespace Importer
