#pragma once
// Strokes of the banner font: polylines along the centre of each pen stroke.
#include <string_view>
#include <vector>

struct PathPoint {
    float x;
    float y;
};

using Polyline = std::vector<PathPoint>;

// Reads one stroke from a small path language, coordinates in font units, y upwards:
//   M x y                         start at a point
//   L x y                         straight line to a point
//   A cx cy rx ry fromDeg toDeg   elliptical arc from one angle to the other (degrees,
//                                 counter-clockwise from +x; toDeg < fromDeg runs clockwise);
//                                 joined to the current point by a line if the stroke has one
// Returns an empty polyline for text it cannot read.
Polyline parseStroke(std::string_view text);
