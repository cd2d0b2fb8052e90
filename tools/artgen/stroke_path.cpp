#include "stroke_path.h"

#include <cstdlib>
#include <string>

#include "art_math.h"

namespace {
constexpr float ARC_STEP_DEGREES = 5.0f;

// Reads the next number, skipping spaces; false at the end or on anything else.
bool readNumber(std::string_view text, std::size_t& pos, float& value)
{
    while (pos < text.size() && text[pos] == ' ') ++pos;
    std::size_t end = pos;
    while (end < text.size() && (text[end] == '-' || text[end] == '.' || (text[end] >= '0' && text[end] <= '9'))) ++end;
    if (end == pos) return false;
    const std::string number(text.substr(pos, end - pos));
    char* stop = nullptr;
    value = std::strtof(number.c_str(), &stop);
    if (stop != number.c_str() + number.size()) return false;
    pos = end;
    return true;
}

bool readNumbers(std::string_view text, std::size_t& pos, float* values, int count)
{
    for (int i = 0; i < count; ++i) {
        if (!readNumber(text, pos, values[i])) return false;
    }
    return true;
}

void appendArc(Polyline& line, const float* a)
{
    const float cx = a[0], cy = a[1], rx = a[2], ry = a[3], from = a[4], to = a[5];
    const float sweep = to - from;
    int steps = static_cast<int>((sweep < 0 ? -sweep : sweep) / ARC_STEP_DEGREES) + 1;
    for (int i = 0; i <= steps; ++i) {
        const float angle = from + sweep * static_cast<float>(i) / static_cast<float>(steps);
        line.push_back(PathPoint{cx + rx * portableCosDeg(angle), cy + ry * portableSinDeg(angle)});
    }
}
}  // namespace

Polyline parseStroke(std::string_view text)
{
    Polyline line;
    std::size_t pos = 0;
    while (true) {
        while (pos < text.size() && text[pos] == ' ') ++pos;
        if (pos >= text.size()) break;
        const char command = text[pos++];
        float values[6];
        if (command == 'M' && line.empty() && readNumbers(text, pos, values, 2)) {
            line.push_back(PathPoint{values[0], values[1]});
        } else if (command == 'L' && !line.empty() && readNumbers(text, pos, values, 2)) {
            line.push_back(PathPoint{values[0], values[1]});
        } else if (command == 'A' && readNumbers(text, pos, values, 6)) {
            appendArc(line, values);
        } else {
            return Polyline{};
        }
    }
    return line;
}
