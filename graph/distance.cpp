// Straight-line distances: the float formula as written, and the same formula
// freed of float's exponent limits where a step would leave them.
#include <algorithm>
#include <cfloat>
#include <cmath>

#include "graph/scene.h"

// A float sum of squares at least this large and finite is the sum without
// exponent limits too: a square that underflowed (below 2^-126) was either
// under half an ulp of what it was added to, or part of a partial sum below
// 2^-100, itself under half an ulp of the square it then met. One check
// instead of one per square, so the common case costs a compare.
constexpr float kSumKeptWhole = 0x1p-74f;

// The formula (dx*dx + dy*dy) + dz*dz, then its root when root is set, each
// step rounded to float's 24 bits as if float had no exponent limits; the
// differences come in double, exact or rounded to 53 bits, which rounds to
// the same float. Worked at the power of two that brings the largest
// difference to [1, 2): every step then stays in range, and a difference too
// small for its square to stay normal there is below a rounding of the sum.
static double rangeFree(double dx, double dy, double dz, bool root)
{
    const double largest = std::max({std::fabs(dx), std::fabs(dy), std::fabs(dz)});
    if (largest == 0.0)
        return 0.0;
    const int shift = std::ilogb(largest);
    const float sx = static_cast<float>(std::ldexp(dx, -shift));
    const float sy = static_cast<float>(std::ldexp(dy, -shift));
    const float sz = static_cast<float>(std::ldexp(dz, -shift));
    const float xx = sx * sx;
    const float yy = sy * sy;
    const float zz = sz * sz;
    const float planar = xx + yy;
    const float sum = planar + zz;
    // A power of four comes out of the root exactly, so scaling commutes with it.
    return root ? std::ldexp(static_cast<double>(std::sqrt(sum)), shift)
                : std::ldexp(static_cast<double>(sum), 2 * shift);
}

static double rangeFreeDistance(const Vertex& a, const Vertex& b)
{
    return rangeFree(static_cast<double>(a.x) - b.x, static_cast<double>(a.y) - b.y,
                     static_cast<double>(a.z) - b.z, true);
}

// The formula in float as written, before the root.
static float floatSquare(const Vertex& a, const Vertex& b)
{
    const float dx = a.x - b.x;
    const float dy = a.y - b.y;
    const float dz = a.z - b.z;
    const float xx = dx * dx;
    const float yy = dy * dy;
    const float zz = dz * dz;
    const float planar = xx + yy;
    return planar + zz;
}

float vertexDistance(const Vertex& a, const Vertex& b)
{
    const float sum = floatSquare(a, b);
    if (sum >= kSumKeptWhole && sum <= FLT_MAX)
        return std::sqrt(sum);
    // Overflow keeps its +infinity: such a link is refused, which keeps every
    // link within 2^64 and so every route's float sum finite.
    return sum > FLT_MAX ? sum : static_cast<float>(rangeFreeDistance(a, b));
}

float distanceEstimate(const Vertex& a, const Vertex& b)
{
    const float sum = floatSquare(a, b);
    if (sum >= kSumKeptWhole && sum <= FLT_MAX)
        return std::sqrt(sum);
    const double wide = rangeFreeDistance(a, b);
    return wide <= FLT_MAX ? static_cast<float>(wide) : FLT_MAX;
}

double pickDistance(const Vertex& vertex, float x, float y)
{
    if (!std::isfinite(vertex.x) || !std::isfinite(vertex.y) || !std::isfinite(x) || !std::isfinite(y))
        return HUGE_VAL; // nowhere near anything
    const float dx = vertex.x - x;
    const float dy = vertex.y - y;
    const float xx = dx * dx;
    const float yy = dy * dy;
    const double distance = xx + yy;
    if (distance >= kSumKeptWhole && distance <= FLT_MAX)
        return distance;
    return rangeFree(static_cast<double>(vertex.x) - x, static_cast<double>(vertex.y) - y, 0.0, false);
}
