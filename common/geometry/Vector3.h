#pragma once

namespace Common {

// A 3-D point: the corners of an opening's rectangle in space.
template <typename T>
class Vector3 {
public:
    T x{};
    T y{};
    T z{};

    Vector3() = default;
    Vector3(T xValue, T yValue, T zValue) : x(xValue), y(yValue), z(zValue) {}
    Vector3(const Vector3&) = default;
    Vector3& operator=(const Vector3&) = default;
    virtual ~Vector3() = default;

    bool operator==(const Vector3& other) const { return x == other.x && y == other.y && z == other.z; }
};

using Vector3d = Vector3<double>;

}  // namespace Common
