#include "scaleedge.h"

#include <cmath>

int ScaleEdge(int v, float s, float& remainder)
{
    const float scaled = static_cast<float>(v) * s;
    int result = static_cast<int>(scaled);
    remainder += scaled - static_cast<float>(result);
    // Strictly more than one pixel: a remainder of exactly 1.0 waits for the
    // next relayout, which keeps an edge from jumping back and forth when a
    // size is restored.
    if (std::fabs(remainder) > 1.0f) {
        const int whole = static_cast<int>(remainder);
        result += whole;
        remainder -= static_cast<float>(whole);
    }
    return result;
}
