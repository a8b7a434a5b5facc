#include "importer/xml/TextValues.h"

#include <climits>

#include "common/text/Numbers.h"

namespace Importer {

namespace {

bool isSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r'; }

std::wstring_view skipSpace(std::wstring_view text)
{
    while (!text.empty() && isSpace(text.front())) {
        text.remove_prefix(1);
    }
    return text;
}

// Calls take(token) for every token between single blanks, empty ones
// left out; the tokens are views into `text`, so point lists are read
// without a copy of each point.
template <typename Take>
void forEachBlankSeparated(std::wstring_view text, Take&& take)
{
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t blank = text.find(L' ', pos);
        const std::size_t end = blank == std::wstring_view::npos ? text.size() : blank;
        if (end > pos) {
            take(text.substr(pos, end - pos));
        }
        pos = end + 1;
    }
}

}  // namespace

int toInt(std::wstring_view text)
{
    text = skipSpace(text);
    bool negative = false;
    if (!text.empty() && (text.front() == L'+' || text.front() == L'-')) {
        negative = text.front() == L'-';
        text.remove_prefix(1);
    }
    long long value = 0;
    for (const wchar_t c : text) {
        if (c < L'0' || c > L'9') {
            break;
        }
        value = value * 10 + (c - L'0');
        if (value > static_cast<long long>(INT_MAX) + 1) {
            value = static_cast<long long>(INT_MAX) + 1;  // saturated; more digits change nothing
        }
    }
    if (negative) {
        return static_cast<int>(-value < INT_MIN ? INT_MIN : -value);
    }
    return static_cast<int>(value > INT_MAX ? INT_MAX : value);
}

double toDouble(std::wstring_view text)
{
    text = skipSpace(text);
    // Only ASCII can continue a number; the conversion stops at anything else.
    std::size_t length = 0;
    while (length < text.size() && text[length] > 0 && text[length] <= 0x7E && !isSpace(text[length])) {
        ++length;
    }
    if (length == 0) {
        return 0.0;
    }
    std::string narrow(length, '\0');
    for (std::size_t i = 0; i < length; ++i) {
        narrow[i] = static_cast<char>(text[i]);
    }
    return Common::parseClassicDouble(narrow);
}

std::vector<std::wstring> splitBlank(std::wstring_view text)
{
    std::vector<std::wstring> tokens;
    forEachBlankSeparated(text, [&](std::wstring_view token) { tokens.emplace_back(token); });
    return tokens;
}

void toPoint2(std::wstring_view token, Common::Vector2<double>& point)
{
    const std::size_t comma = token.find(L',');
    if (comma == std::wstring_view::npos || comma == 0) {
        return;
    }
    point.x = toDouble(token.substr(0, comma));
    point.y = toDouble(token.substr(comma + 1));
}

void toPoint3(std::wstring_view token, Common::Vector3<double>& point)
{
    const std::size_t first = token.find(L',');
    const std::size_t last = token.rfind(L',');
    if (first == std::wstring_view::npos || first == 0 || last == first) {
        return;
    }
    point.x = toDouble(token.substr(0, first));
    point.y = toDouble(token.substr(first + 1, last - first - 1));
    point.z = toDouble(token.substr(last + 1));
}

std::vector<Common::Vector2<double>> toPoints2(std::wstring_view text)
{
    std::vector<Common::Vector2<double>> points;
    forEachBlankSeparated(text, [&](std::wstring_view token) {
        Common::Vector2<double> point;
        toPoint2(token, point);
        points.push_back(point);
    });
    return points;
}

std::vector<Common::Vector3<double>> toPoints3(std::wstring_view text)
{
    std::vector<Common::Vector3<double>> points;
    forEachBlankSeparated(text, [&](std::wstring_view token) {
        Common::Vector3<double> point;
        toPoint3(token, point);
        points.push_back(point);
    });
    return points;
}

void toSegment(std::wstring_view text, Common::Vector2<double>& start, Common::Vector2<double>& end)
{
    std::wstring_view tokens[2];
    std::size_t count = 0;
    forEachBlankSeparated(text, [&](std::wstring_view token) {
        if (count < 2) {
            tokens[count] = token;
        }
        ++count;
    });
    start = Common::Vector2<double>();
    end = Common::Vector2<double>();
    if (count < 2) {
        return;
    }
    toPoint2(tokens[0], start);
    toPoint2(tokens[1], end);
}

}  // namespace Importer
