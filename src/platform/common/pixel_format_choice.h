#pragma once
// Choosing a pixel format the way Windows' ChoosePixelFormat does, for the bindings that
// have to do it themselves. Each binding reads its formats (GLX visuals, EGL configs)
// into plain numbers, in the order the window system lists them; this picks the one
// closest to the program's request. No window system is needed here.
#include "platform/gl_binding.h"

// One format as the window system describes it.
struct PixelFormatCandidate {
    bool usable = false;          // RGBA, OpenGL can draw into it where the binding draws, main plane
    bool doubleBuffered = false;  // drawn into a back buffer that a swap shows
    bool slow = false;            // marked slow by the window system (a software path, say)
    int redBits = 0;
    int greenBits = 0;
    int blueBits = 0;
    int alphaBits = 0;
    int depthBits = 0;
    int stencilBits = 0;
    int accumBits = 0;  // accumulation bits of the red channel, the way GLX reports them
};

// Index (from 1) of the candidate closest to the request, or 0 when none will do.
//
// A candidate will do when it is usable, has a depth buffer, and is double-buffered if
// the request asks for that. Among those, closer means, in this order of weight:
// - colour channels: 8-8-8 above 16 colour bits, 5-6-5 at 16 and below;
// - the depth buffer: 24 bits above 16 requested, else 16;
// - not slow;
// - alpha, stencil and accumulation bits as the request gives them (the program asks for
//   none, so extra ones count against a candidate).
// On a tie the preferred candidate (an index from 1; 0 for none) wins, then the one
// listed first.
int closestPixelFormat(const PixelFormatCandidate* candidates, int count, const PixelFormatRequest& request,
                       int preferred = 0);
