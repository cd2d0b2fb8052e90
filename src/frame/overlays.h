#pragma once
// The timed overlays of the first seconds, drawn over the finished scene in eye
// coordinates.

// The title banner in the lower right: full brightness up to 4 s, gone at 8 s.
void drawTitleOverlay(double sceneTime);

// A black veil over the whole view, fading from opaque at 0 s to nothing at 2 s. It
// relies on the identity modelview matrix that the title overlay loads.
void drawFadeInOverlay(double sceneTime);
