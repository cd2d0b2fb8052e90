#pragma once
// The frame size the measuring tools take on their command lines.

// "WxH" with both sides from 1 to 16384 pixels, nothing before or after.
bool parseFrameSize(const char* text, int& width, int& height);
