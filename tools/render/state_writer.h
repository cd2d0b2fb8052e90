#pragma once
// One JSON object per frame, one per line, for checking a render from outside:
//   {"frame":1,"time":0,"step":0.033,
//    "camera":{"position":[x,y,z],"axisX":[..],"axisY":[..],"axisZ":[..]},
//    "innerRing":{"color":[r,g,b,a],"size":s},"outerRing":{...},
//    "particles":n,"motes":m,"gridHeights":[y1,y2,y3],"draws":d}
// time and step are the scene time the frame was drawn at and the step it moved by;
// the rest is read after the frame. Numbers are written in their shortest exact form,
// and a number that is not finite is written as null.
#include <cstdint>
#include <cstdio>

// Writes the line for frame (counted from 1); false when the write failed.
bool writeStateLine(std::FILE* file, std::int64_t frame, double time, float step);
