#include "saver/saver_state.h"

std::uint8_t lowDetail = 0;
std::int32_t colorBits = 16;
