#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/geometry/Vector2.h"
#include "common/geometry/Vector3.h"

namespace Importer {

// Text-to-value conversions of CEDXM values. They never fail: text that is
// not a number gives the value of its leading numeric part, or 0.

// Decimal integer: leading white space, optional sign, digits up to the
// first other character; saturates at the 32-bit limits.
int toInt(std::wstring_view text);

// Decimal number with "." as separator whatever the user's locale (the
// file format fixes it): leading white space, sign, digits, point,
// exponent, up to the first character that cannot continue the number.
double toDouble(std::wstring_view text);

// The point tokens of a point list: the text cut at every blank (U+0020
// only), empty pieces dropped.
std::vector<std::wstring> splitBlank(std::wstring_view text);

// x,y: sets the point when the token has a comma that is not its first
// character; otherwise leaves the point unchanged. A further comma ends y.
void toPoint2(std::wstring_view token, Common::Vector2<double>& point);

// x,y,z: sets the point when the first comma exists, is not the first
// character and differs from the last comma; otherwise leaves it unchanged.
void toPoint3(std::wstring_view token, Common::Vector3<double>& point);

// A point list: one point per token, a token without a usable comma
// giving (0, 0).
std::vector<Common::Vector2<double>> toPoints2(std::wstring_view text);
std::vector<Common::Vector3<double>> toPoints3(std::wstring_view text);

// A segment "x,y x,y": the first two tokens; with fewer than two tokens
// both ends are (0, 0).
void toSegment(std::wstring_view text, Common::Vector2<double>& start, Common::Vector2<double>& end);

}  // namespace Importer
