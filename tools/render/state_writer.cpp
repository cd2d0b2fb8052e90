#include "state_writer.h"

#include <charconv>
#include <cmath>
#include <type_traits>

#include "scene/random.h"
#include "frame/scene_globals.h"

namespace {

constexpr int LINE_CAPACITY = 1024;

// Appends to a fixed line buffer; text that would not fit is cut off (it always fits).
struct Line {
    char text[LINE_CAPACITY];
    char* end = text;
    char* const limit = text + LINE_CAPACITY - 2;  // room for the newline and terminator

    void put(const char* s) {
        while (*s != '\0' && end < limit) {
            *end++ = *s++;
        }
    }
    template <typename T>
    void number(T value) {
        if constexpr (std::is_floating_point_v<T>) {
            if (!std::isfinite(value)) {
                put("null");
                return;
            }
        }
        const auto [next, ec] = std::to_chars(end, limit, value);
        if (ec == std::errc()) {
            end = next;
        }
    }
    void vec(Vec3 v) {
        put("[");
        number(v.x);
        put(",");
        number(v.y);
        put(",");
        number(v.z);
        put("]");
    }
    void color(Color4 c) {
        put("[");
        number(c.r);
        put(",");
        number(c.g);
        put(",");
        number(c.b);
        put(",");
        number(c.a);
        put("]");
    }
    void ring(const SpriteSet& set) {
        put("{\"color\":");
        color(set.color);
        put(",\"size\":");
        number(set.size);
        put("}");
    }
};

}  // namespace

bool writeStateLine(std::FILE* file, std::int64_t frame, double time, float step) {
    Line line;
    line.put("{\"frame\":");
    line.number(frame);
    line.put(",\"time\":");
    line.number(time);
    line.put(",\"step\":");
    line.number(step);
    line.put(",\"camera\":{\"position\":");
    line.vec(camera.position);
    line.put(",\"axisX\":");
    line.vec(camera.axisX);
    line.put(",\"axisY\":");
    line.vec(camera.axisY);
    line.put(",\"axisZ\":");
    line.vec(camera.axisZ);
    line.put("},\"innerRing\":");
    line.ring(innerRing);
    line.put(",\"outerRing\":");
    line.ring(outerRing);
    line.put(",\"particles\":");
    line.number(particles.count);
    line.put(",\"motes\":");
    line.number(moteCount);
    line.put(",\"gridHeights\":[");
    line.number(gridPlacement1.position.y);
    line.put(",");
    line.number(gridPlacement2.position.y);
    line.put(",");
    line.number(gridPlacement3.position.y);
    line.put("],\"draws\":");
    line.number(randomDrawCount());
    line.put("}\n");
    *line.end = '\0';
    return std::fputs(line.text, file) >= 0;
}
