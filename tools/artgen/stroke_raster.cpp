#include "stroke_raster.h"

#include <cmath>

namespace {
// Squared distance from (px, py) to the segment a..b.
float segmentDistanceSquared(float px, float py, PathPoint a, PathPoint b)
{
    const float ex = b.x - a.x;
    const float ey = b.y - a.y;
    const float lengthSquared = ex * ex + ey * ey;
    float t = 0.0f;
    if (lengthSquared > 0.0f) {
        t = ((px - a.x) * ex + (py - a.y) * ey) / lengthSquared;
        t = t < 0.0f ? 0.0f : (t > 1.0f ? 1.0f : t);
    }
    const float dx = px - (a.x + ex * t);
    const float dy = py - (a.y + ey * t);
    return dx * dx + dy * dy;
}

int clampIndex(float v, int limit)
{
    if (v < 0.0f) return 0;
    if (v > static_cast<float>(limit)) return limit;
    return static_cast<int>(v);
}

// Marks every sample within `radius` of segment a..b (sample coordinates in pixels).
void stampSegment(std::vector<unsigned char>& samples, int columns, int rows, int perAxis, PathPoint a,
                         PathPoint b, float radius)
{
    const float scale = static_cast<float>(perAxis);
    const int x0 = clampIndex(std::floor((std::fmin(a.x, b.x) - radius) * scale), columns - 1);
    const int x1 = clampIndex(std::ceil((std::fmax(a.x, b.x) + radius) * scale), columns - 1);
    const int y0 = clampIndex(std::floor((std::fmin(a.y, b.y) - radius) * scale), rows - 1);
    const int y1 = clampIndex(std::ceil((std::fmax(a.y, b.y) + radius) * scale), rows - 1);
    const float radiusSquared = radius * radius;
    for (int sy = y0; sy <= y1; ++sy) {
        const float py = (static_cast<float>(sy) + 0.5f) / scale;
        for (int sx = x0; sx <= x1; ++sx) {
            const float px = (static_cast<float>(sx) + 0.5f) / scale;
            if (segmentDistanceSquared(px, py, a, b) <= radiusSquared) {
                samples[static_cast<std::size_t>(sy) * columns + sx] = 1;
            }
        }
    }
}
}  // namespace

FloatPlane rasterizeStrokes(int width, int height, const std::vector<Polyline>& strokes, float penRadius,
                            int samplesPerAxis)
{
    const int columns = width * samplesPerAxis;
    const int rows = height * samplesPerAxis;
    std::vector<unsigned char> samples(static_cast<std::size_t>(columns) * rows, 0);
    for (const Polyline& stroke : strokes) {
        for (std::size_t i = 0; i < stroke.size(); ++i) {
            const PathPoint a = stroke[i];
            const PathPoint b = i + 1 < stroke.size() ? stroke[i + 1] : stroke[i];
            stampSegment(samples, columns, rows, samplesPerAxis, a, b, penRadius);
        }
    }

    FloatPlane coverage(width, height);
    const float perPixel = static_cast<float>(samplesPerAxis * samplesPerAxis);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            int count = 0;
            for (int sy = 0; sy < samplesPerAxis; ++sy) {
                const std::size_t row = static_cast<std::size_t>(y * samplesPerAxis + sy) * columns;
                for (int sx = 0; sx < samplesPerAxis; ++sx) count += samples[row + x * samplesPerAxis + sx];
            }
            coverage.at(x, y) = static_cast<float>(count) / perPixel;
        }
    }
    return coverage;
}
