#include "platform/common/pixel_format_choice.h"

#include <cstdlib>

namespace {

constexpr long COLOUR_WEIGHT = 1000;  // per bit of a colour channel off the wanted size
constexpr long DEPTH_WEIGHT = 10;     // per bit of depth buffer off the wanted size
constexpr long SLOW_PENALTY = 100;    // a slow format loses to one 10 depth bits further off
constexpr long EXTRA_WEIGHT = 1;      // per bit of alpha, stencil or accumulation off the request

bool willDo(const PixelFormatCandidate& candidate, const PixelFormatRequest& request) {
    if (!candidate.usable || candidate.depthBits <= 0) return false;  // a depth buffer is always wanted
    return (request.dwFlags & PIXEL_FORMAT_DOUBLEBUFFER) == 0 || candidate.doubleBuffered;
}

// How far a candidate that will do is from the request; lower is closer.
long distance(const PixelFormatCandidate& candidate, const PixelFormatRequest& request) {
    const bool highColour = request.cColorBits > 16;
    const int wantRed = highColour ? 8 : 5;
    const int wantGreen = highColour ? 8 : 6;
    const int wantBlue = highColour ? 8 : 5;
    const int wantDepth = request.cDepthBits > 16 ? 24 : 16;
    long result = COLOUR_WEIGHT * (std::labs(candidate.redBits - wantRed) + std::labs(candidate.greenBits - wantGreen) +
                                   std::labs(candidate.blueBits - wantBlue));
    result += DEPTH_WEIGHT * std::labs(candidate.depthBits - wantDepth);
    if (candidate.slow) result += SLOW_PENALTY;
    result += EXTRA_WEIGHT * (std::labs(candidate.alphaBits - request.cAlphaBits) +
                              std::labs(candidate.stencilBits - request.cStencilBits) +
                              std::labs(candidate.accumBits - request.cAccumBits));
    return result;
}

}  // namespace

int closestPixelFormat(const PixelFormatCandidate* candidates, int count, const PixelFormatRequest& request,
                       int preferred) {
    int best = 0;
    long bestDistance = 0;
    for (int i = 0; i < count; ++i) {
        if (!willDo(candidates[i], request)) continue;
        const long d = distance(candidates[i], request);
        const bool better = best == 0 || d < bestDistance || (d == bestDistance && i + 1 == preferred);
        if (better) {
            best = i + 1;
            bestDistance = d;
        }
    }
    return best;
}
