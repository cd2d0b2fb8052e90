#pragma once
// Icon 103: a dithered blue-violet glow, brightest in the centre, on a dark violet ground.
#include <vector>

#include "ico_writer.h"
#include "rgb_image.h"

constexpr int ICON_SIZE = 32;

// 32 x 32 in the 16 standard colours, dithered along a ramp of them.
PaletteImage makeIcon16();

// 32 x 32 in 256 colours (standard 16, a 6 x 6 x 6 colour cube, greys), dithered per channel.
PaletteImage makeIcon256();

// size x size in full colour, undithered: the icon of the Linux desktop's menus.
RgbImage makeIconTrueColor(int size);
