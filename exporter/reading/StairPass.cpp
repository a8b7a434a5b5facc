#include "exporter/reading/StairPass.h"

#include <cmath>
#include <numbers>
#include <vector>

#include "common/host/ObjectWalk.h"

namespace Exporter {

namespace {

// The numbers of one host stair that the blocks are laid out from.
struct StairData {
    Vector2d start;
    double width = 0;
    int form = 0;
    double tread1 = 0;
    double tread2 = 0;
    double tread3 = 0;
    int count1 = 0;
    int count2 = 0;
    int count3 = 0;
    int pattern1 = 0;
    int pattern2 = 0;
    int side = 0;
    double direction = 0;
    int formFlag = 0;
    int skip = 0;
};

// The host's stair reading fills 32 values: 3 doubles, an unsigned 16-bit,
// 3 doubles, 6 unsigned 16-bit, a double, 5 unsigned 16-bit, a double,
// 4 unsigned 16-bit, a double, 7 unsigned 16-bit.
StairData readStairData(Common::HostDocument& document)
{
    const Common::HostReply read = document.readStair();
    const Common::Arguments& args = read.args;

    // Positions are counted from 1, as the host documents them.
    auto real = [&](int position) { return args[static_cast<std::size_t>(position - 1)].value.asNumber(); };
    auto integer = [&](int position) {
        return static_cast<int>(args[static_cast<std::size_t>(position - 1)].value.asInteger());
    };
    StairData s;
    s.start = Vector2d(real(1), real(2));
    s.width = real(3);
    s.form = integer(4);
    s.tread1 = real(5);
    s.tread2 = real(6);
    s.tread3 = real(7);
    s.count1 = integer(8);
    s.count2 = integer(9);
    s.count3 = integer(10);
    s.pattern1 = integer(11);
    s.pattern2 = integer(12);
    s.side = integer(13);
    s.direction = real(14);
    s.formFlag = integer(15);
    s.skip = integer(30);
    return s;
}

// Lays the blocks out one after the other in a frame that moves and turns:
// B the base point, d across the stair, n the climbing direction.
class BlockLayout {
public:
    BlockLayout(ExportStair& stair, const StairData& data) : stair_(stair), w_(data.width), d2_(data.tread2)
    {
        const double a = data.direction * std::numbers::pi / 180.0;
        d_ = Vector2d(std::cos(a), std::sin(a));
        n_ = Vector2d(-std::sin(a), std::cos(a));
        b_ = data.start;
        if (data.side == 1) {
            b_ = b_ - d_ * w_;
        }
    }

    void flight(int stepValue, double tread)
    {
        const double length = (stepValue - 1) * tread;
        add(0, stepValue - 1, {b_, b_ + d_ * w_, b_ + d_ * w_ + n_ * length, b_ + n_ * length});
        b_ = b_ + n_ * length;
    }

    void straightLanding()
    {
        add(0, 1, {b_, b_ + d_ * w_, b_ + d_ * w_ + n_ * d2_, b_ + n_ * d2_});
        b_ = b_ + n_ * d2_;
    }

    void cornerLanding(int pattern, bool counterClockwise)
    {
        add(counterClockwise ? 90 : 270, pattern + 1, {b_, b_ + d_ * w_, b_ + d_ * w_ + n_ * w_, b_ + n_ * w_});
        if (counterClockwise) {
            turn(std::numbers::pi / 2);
        } else {
            b_ = b_ + d_ * w_ + n_ * w_;
            turn(-std::numbers::pi / 2);
        }
    }

    void uTurnLanding(int pattern, bool counterClockwise)
    {
        const Vector2d& b = b_;
        const Vector2d wd = d_ * w_;
        const Vector2d dn = n_ * d2_;
        switch (pattern) {
        case 0:
        case 2:
        case 5: {
            const int steps = pattern == 0 ? 1 : pattern == 2 ? 3 : 5;
            if (counterClockwise) {
                add(180, steps, {b, b + wd, b + wd + dn, b - wd + dn, b - wd});
            } else {
                add(180, steps, {b, b + wd, b + wd * 2, b + wd * 2 + dn, b + dn});
            }
            break;
        }
        case 3: {
            // A fan of three winders around the middle of the near edge.
            const Vector2d cd = d_ * (w_ / std::sqrt(3.0));
            if (counterClockwise) {
                add(60, 1, {b, b + wd, b + wd + dn, b + cd + dn});
                add(60, 3, {b, b + cd + dn, b - cd + dn});
                add(60, 1, {b, b - cd + dn, b - wd + dn, b - wd});
            } else {
                const Vector2d left = b + wd - cd + dn;
                const Vector2d right = b + wd + cd + dn;
                add(300, 1, {b, b + wd, left, b + dn});
                add(300, 3, {left, b + wd, right});
                add(300, 1, {right, b + wd, b + wd * 2, b + wd * 2 + dn});
            }
            break;
        }
        case 1:
        case 4:
        case 6:
        case 7:
        case 8:
        case 9:
        case 10: {
            static const int firstSteps[11] = {0, 3, 0, 0, 3, 0, 3, 1, 1, 3, 3};
            static const int secondSteps[11] = {0, 1, 0, 0, 2, 0, 3, 2, 3, 1, 1};
            const int angle = counterClockwise ? 90 : 270;
            add(angle, firstSteps[pattern], {b, b + wd, b + wd + dn, b + dn});
            if (counterClockwise) {
                add(angle, secondSteps[pattern], {b, b + dn, b - wd + dn, b - wd});
            } else {
                add(angle, secondSteps[pattern], {b + wd + dn, b + wd, b + wd * 2, b + wd * 2 + dn});
            }
            break;
        }
        default:
            break;  // an unknown division gives no landing block; the stair still turns
        }
        if (counterClockwise) {
            turn(std::numbers::pi);
        } else {
            b_ = b_ + wd * 2;
            turn(-std::numbers::pi);
        }
    }

private:
    void add(double angle, int steps, std::vector<Vector2d> outline)
    {
        stair_.turnAngles.push_back(angle);
        stair_.stepCounts.push_back(steps);
        stair_.blockOutlines.push_back(std::move(outline));
    }

    void turn(double theta)
    {
        d_.rotate(theta);
        n_.rotate(theta);
    }

    ExportStair& stair_;
    double w_;
    double d2_;
    Vector2d b_;
    Vector2d d_;
    Vector2d n_;
};

void layOutBlocks(ExportStair& stair, const StairData& s)
{
    BlockLayout layout(stair, s);
    const bool ccw = s.side != 0;
    switch (s.form) {
    case 0:
        layout.flight(s.count1, s.tread1);
        break;
    case 1:
        if (s.count1 > 1) {
            layout.flight(s.count1, s.tread1);
        }
        layout.straightLanding();
        if (s.count2 > 1) {
            layout.flight(s.count2, s.tread1);
        }
        break;
    case 2:
        if (s.count1 > 1) {
            layout.flight(s.count1, s.tread1);
        }
        layout.cornerLanding(s.pattern1, ccw);
        if (s.count2 >= 2) {
            layout.flight(s.count2, s.tread2);
        }
        break;
    case 3:
        if (s.count1 > 1) {
            layout.flight(s.count1, s.tread1);
        }
        layout.uTurnLanding(s.pattern1, ccw);
        if (s.count2 >= 2) {
            layout.flight(s.count2, s.tread1);
        }
        break;
    case 4:
    case 5:
        if (s.count1 > 1) {
            layout.flight(s.count1, s.tread1);
        }
        layout.cornerLanding(s.pattern1, ccw);
        if (s.count2 > 1) {
            layout.flight(s.count2, s.tread2);
        }
        // Form 5 turns back the other way at its second landing.
        layout.cornerLanding(s.pattern2, s.form == 4 ? ccw : !ccw);
        if (s.count3 >= 2) {
            layout.flight(s.count3, s.tread3);
        }
        break;
    default:
        break;  // an unknown form is kept as a stair without blocks
    }
}

}  // namespace

void readStairs(ExportModel& model, Common::HostDocument& document)
{
    Common::forEachHostObject(document, [&] {
        const std::int32_t storey = document.currentObjectStorey();
        const std::uint32_t type = document.currentObjectType();
        if (type < 13 || type > 18) {
            return;
        }
        const StairData data = readStairData(document);
        if (data.skip == 1) {
            Common::reportLeftOut(model.report, L"stair", storey, L"", L"the stair is marked in the plan to be skipped, so it is not exported");
            return;
        }
        auto stair = std::make_unique<ExportStair>();
        stair->storey = storey;
        stair->form = data.formFlag == 0 ? 3 : 1;
        layOutBlocks(*stair, data);
        model.stairs.push_back(std::move(stair));
    });
}

}  // namespace Exporter
