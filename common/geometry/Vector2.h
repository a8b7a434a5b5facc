#pragma once

#include <cmath>

namespace Common {

// A 2-D value used both as a point and as a vector. Lengths are millimetres,
// angles radians. Division by zero and the unit vector of a zero vector give
// (0, 0) instead of a floating-point error.
template <typename T>
class Vector2 {
public:
    T x{};
    T y{};

    Vector2() = default;
    Vector2(T xValue, T yValue) : x(xValue), y(yValue) {}
    Vector2(const Vector2&) = default;
    Vector2& operator=(const Vector2&) = default;
    virtual ~Vector2() = default;

    Vector2 operator-(const Vector2& other) const { return Vector2(x - other.x, y - other.y); }
    Vector2 operator+(const Vector2& other) const { return Vector2(x + other.x, y + other.y); }
    Vector2 operator*(T s) const { return Vector2(x * s, y * s); }
    Vector2 operator/(T s) const
    {
        if (s == T{}) {
            return Vector2();
        }
        return Vector2(x / s, y / s);
    }
    bool operator==(const Vector2& other) const { return x == other.x && y == other.y; }

    // Index 0 gives x, 1 gives y; any other index falls back to x.
    T operator[](int index) const { return index == 1 ? y : x; }

    T lengthSquared() const { return x * x + y * y; }
    T length() const { return std::sqrt(lengthSquared()); }
    Vector2 unit() const { return *this / length(); }

    // Rotates this vector counter-clockwise by theta (y axis up), in place.
    void rotate(double theta)
    {
        const double c = std::cos(theta);
        const double s = std::sin(theta);
        const T nx = x * c - y * s;
        const T ny = x * s + y * c;
        x = nx;
        y = ny;
    }
};

template <typename T>
T dot(const Vector2<T>& a, const Vector2<T>& b)
{
    return a.x * b.x + a.y * b.y;
}

template <typename T>
T cross(const Vector2<T>& a, const Vector2<T>& b)
{
    return a.x * b.y - a.y * b.x;
}

using Vector2d = Vector2<double>;

}  // namespace Common
