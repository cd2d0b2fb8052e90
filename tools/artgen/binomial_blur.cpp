#include "binomial_blur.h"

namespace {
std::vector<float> binomialWeights(int radius)
{
    std::vector<double> row{1.0};
    for (int n = 0; n < 2 * radius; ++n) {
        std::vector<double> next(row.size() + 1, 0.0);
        for (std::size_t k = 0; k < row.size(); ++k) {
            next[k] += row[k];
            next[k + 1] += row[k];
        }
        row = next;
    }
    double total = 0.0;
    for (double w : row) total += w;
    std::vector<float> weights;
    for (double w : row) weights.push_back(static_cast<float>(w / total));
    return weights;
}
}  // namespace

FloatPlane binomialBlur(const FloatPlane& source, int radius)
{
    const std::vector<float> weights = binomialWeights(radius);
    FloatPlane across(source.width, source.height);
    for (int y = 0; y < source.height; ++y) {
        for (int x = 0; x < source.width; ++x) {
            float sum = 0.0f;
            for (int k = -radius; k <= radius; ++k) {
                const int sx = x + k;
                if (sx >= 0 && sx < source.width) sum += weights[static_cast<std::size_t>(k + radius)] * source.at(sx, y);
            }
            across.at(x, y) = sum;
        }
    }
    FloatPlane result(source.width, source.height);
    for (int y = 0; y < source.height; ++y) {
        for (int x = 0; x < source.width; ++x) {
            float sum = 0.0f;
            for (int k = -radius; k <= radius; ++k) {
                const int sy = y + k;
                if (sy >= 0 && sy < source.height) sum += weights[static_cast<std::size_t>(k + radius)] * across.at(x, sy);
            }
            result.at(x, y) = sum;
        }
    }
    return result;
}
