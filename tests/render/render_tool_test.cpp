// Checks on orvel-render's output: the tool runs the real scene and frame driver on
// headless EGL, and these tests read its PNG frames and state lines back.
#include <gtest/gtest.h>
#include <png.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

constexpr double PI = 3.14159265358979323846;

struct RunResult {
    int exitCode;  // -1 when the tool did not exit normally
    std::string out, err;
};
struct Rgb {
    int r, g, b;
};
// 8-bit RGB pixels, rows top-down; empty when the PNG file cannot be read.
struct Image {
    int width = 0, height = 0;
    std::vector<std::uint8_t> data;
    Rgb at(int x, int y) const {
        const std::uint8_t* p = &data[(std::size_t(y) * width + x) * 3];
        return {p[0], p[1], p[2]};
    }
};
using Point = std::array<double, 3>;

// A fresh, empty scratch directory for one test.
std::string scratchDir(const std::string& name) {
    const std::string dir = std::string(ORVEL_RENDER_SCRATCH) + "/" + name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs orvel-render with the arguments; `environment` ("NAME=value ...") is put before it.
RunResult runRender(const std::vector<std::string>& args, const std::string& environment = "") {
    const std::string dir = scratchDir("run-" + std::to_string(::getpid()));
    std::string command = environment + " '" ORVEL_RENDER_PATH "'";
    for (const std::string& a : args) command += " '" + a + "'";  // no argument holds a quote
    command += " >'" + dir + "/out' 2>'" + dir + "/err'";
    const int status = std::system(command.c_str());
    RunResult result{WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(dir + "/out"), readFile(dir + "/err")};
    std::filesystem::remove_all(dir);
    return result;
}

std::string framePath(const std::string& dir, int frame) {
    const std::string number = std::to_string(frame);
    return dir + "/frame-" + std::string(6 - number.size(), '0') + number + ".png";
}

Image readPng(const std::string& path) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    Image image;
    if (png_image_begin_read_from_file(&png, path.c_str())) {
        png.format = PNG_FORMAT_RGB;
        image.data.resize(PNG_IMAGE_SIZE(png));
        if (png_image_finish_read(&png, nullptr, image.data.data(), 0, nullptr)) {
            image.width = int(png.width);
            image.height = int(png.height);
        }
    }
    return image;
}

std::vector<std::string> readLines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The number at a path of keys and array indexes ("camera.axisX.0") in a state line,
// found by searching the text: the lines hold no strings but keys.
double stateNumber(const std::string& line, const std::string& path) {
    std::size_t at = 0;  // the character before the value: ':', '[' or ','
    std::istringstream parts(path);
    for (std::string part; at != std::string::npos && std::getline(parts, part, '.');) {
        if (part[0] >= '0' && part[0] <= '9') {
            at = line.find('[', at);
            for (int i = std::stoi(part); i > 0 && at != std::string::npos; --i) at = line.find(',', at + 1);
        } else if ((at = line.find('"' + part + "\":", at)) != std::string::npos) {
            at += part.size() + 2;
        }
    }
    EXPECT_NE(at, std::string::npos) << path << " not in " << line;
    return at == std::string::npos ? 0.0 : std::strtod(line.c_str() + at + 1, nullptr);
}

// The pixel (column, row from the top) where the camera of the state line sees world
// point p through glFrustum(-0.4, 0.4, -0.3, 0.3, 1, 400) on a width x height surface;
// false when the point is behind the near plane.
bool projectToPixel(const std::string& s, Point p, int width, int height, double& column, double& row) {
    Point e = {};  // eye coordinates, along the camera's axes
    for (int axis = 0; axis < 3; ++axis) {
        for (int i = 0; i < 3; ++i) {
            const std::string k = std::to_string(i);
            e[axis] += (p[i] - stateNumber(s, "camera.position." + k)) *
                       stateNumber(s, std::string("camera.axis") + "XYZ"[axis] + "." + k);
        }
    }
    if (e[2] > -1.0) return false;  // the camera looks along -axisZ
    column = (e[0] / -e[2] / 0.4 + 1.0) * 0.5 * width;
    row = (1.0 - e[1] / -e[2] / 0.3) * 0.5 * height;
    return true;
}

// Fraction of the pixels in columns x0..x1-1, rows y0..y1-1 that pass the test.
template <typename Test>
double fraction(const Image& image, int x0, int y0, int x1, int y1, Test test) {
    int count = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) count += test(image.at(x, y));
    return double(count) / ((x1 - x0) * (y1 - y0));
}
double blackFraction(const Image& image) {
    return fraction(image, 0, 0, image.width, image.height, [](Rgb p) { return p.r + p.g + p.b == 0; });
}
bool bright(Rgb p) { return std::max({p.r, p.g, p.b}) >= 160; }

// A point at angle phi on a circle of the given radius in a ring's local x-z plane, the
// plane tilted 15 degrees about x, then spun about the vertical axis at `spin` rad/s,
// centred on (0, 0, -15). The spin has run for the steps of every frame so far, which
// add up to 0.033 s more than the scene time the frame was drawn at.
Point ringPoint(const std::string& s, double radius, double spin, double phi) {
    const double theta = (stateNumber(s, "time") + 0.033) * spin, tilt = 15.0 * PI / 180.0;
    const double a = radius * std::cos(phi), b = radius * std::sin(phi);
    return {a * std::cos(theta) + b * std::cos(tilt) * std::sin(theta), -b * std::sin(tilt),
            -15.0 - a * std::sin(theta) + b * std::cos(tilt) * std::cos(theta)};
}

// The fraction of the circle's on-screen points, projected through the frame's camera,
// with a bright pixel within two; -1 when too little of the circle is on screen.
double litFraction(const Image& image, const std::string& s, double radius, double spin) {
    int onScreen = 0, lit = 0;
    for (int i = 0; i < 360; ++i) {
        double column = 0.0, row = 0.0;
        if (!projectToPixel(s, ringPoint(s, radius, spin, i * PI / 180.0), image.width, image.height, column, row))
            continue;
        const int cx = int(column), cy = int(row);
        if (cx < 2 || cy < 2 || cx >= image.width - 2 || cy >= image.height - 2) continue;
        ++onScreen;
        bool found = false;
        for (int y = cy - 2; y <= cy + 2; ++y)
            for (int x = cx - 2; x <= cx + 2; ++x) found = found || bright(image.at(x, y));
        lit += found;
    }
    return onScreen < 90 ? -1.0 : double(lit) / onScreen;
}

TEST(RenderTool, RingsAreDrawnWhereTheCameraAndPlacementsPutThem) {
    const std::string dir = scratchDir("rings");
    const RunResult run = runRender({"--size", "160x120", "--fps", "5", "--frames", "201", "--every", "25", "--out",
                                     dir, "--state", dir + "/state.jsonl"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::vector<std::string> states = readLines(dir + "/state.jsonl");
    ASSERT_EQ(states.size(), 201u);

    // Frames from T = 4.8 to 39.8 s, while the camera swings from level to high above.
    // The controls are circles of 0.75 and 1.5 times the radius, between and outside
    // the rings, which meet only sparks, motes and the other ring's glow.
    double controlSum = 0.0;
    int controls = 0;
    for (int frame = 26; frame <= 201; frame += 25) {
        const Image image = readPng(framePath(dir, frame));  // a missing frame fails below: no circle on it
        for (auto [radius, spin] : {std::pair{5.0, 1.0053096}, std::pair{10.0, 0.31415924}}) {  // inner, outer
            EXPECT_GE(litFraction(image, states[frame - 1], radius, spin), 0.7) << radius << "-ring, frame " << frame;
            for (double scale : {0.75, 1.5}) {
                const double control = litFraction(image, states[frame - 1], scale * radius, spin);
                controlSum += std::max(control, 0.0);
                controls += control >= 0.0;
            }
        }
    }
    ASSERT_GE(controls, 24);
    EXPECT_LE(controlSum / controls, 0.5);
}

TEST(RenderTool, LowDetailDrawsNoGridsAndRunsRepeatByteForByte) {
    const std::string full = scratchDir("full"), again = scratchDir("again"), low = scratchDir("low");
    for (const std::string& dir : {full, again, low}) {
        std::vector<std::string> a = {"--size", "160x120", "--fps", "5", "--frames", "201", "--every", "50",
                                      "--out", dir};
        if (dir == low) a.push_back("--low");
        const RunResult run = runRender(a);
        ASSERT_EQ(run.exitCode, 0) << run.err;
    }
    EXPECT_FALSE(std::filesystem::exists(framePath(full, 2))) << "--every 50 saves frames 1, 51, 101, ...";
    for (int frame = 51; frame <= 201; frame += 50) {
        const std::string bytes = readFile(framePath(full, frame));
        ASSERT_FALSE(bytes.empty()) << "frame " << frame;
        EXPECT_TRUE(bytes == readFile(framePath(again, frame))) << "frame " << frame << " differs between runs";
        // The grids fill the view with faint violet; without them only the sprites
        // light a few pixels, so almost all of the frame stays black.
        const double lowBlack = blackFraction(readPng(framePath(low, frame)));
        EXPECT_LE(blackFraction(readPng(framePath(full, frame))), 0.2) << "frame " << frame;
        EXPECT_GE(lowBlack, 0.8) << "frame " << frame;
        EXPECT_LT(lowBlack, 0.999) << "frame " << frame << ": the sprites must still be drawn";
    }
}

TEST(RenderTool, BadArgumentsExitWith2AndNoEglWith1) {
    const std::string dir = scratchDir("refused") + "/never";
    const std::vector<std::vector<std::string>> bad = {
        {"--bogus"}, {"--size", "640x"}, {"--frames", "1.5"}, {"--out"}, {"--seconds", "2", "--frames", "10"}};
    for (std::vector<std::string> a : bad) {
        const std::string shown = a[0] + (a.size() > 1 ? " " + a[1] : "");
        a.insert(a.begin(), {"--out", dir});
        const RunResult run = runRender(a);
        EXPECT_EQ(run.exitCode, 2) << shown;
        EXPECT_NE(run.err.find("usage: orvel-render"), std::string::npos) << shown;
    }
    EXPECT_FALSE(std::filesystem::exists(dir)) << "a refused command writes nothing";

    // With no EGL vendor library to load there is no display, so no context.
    const RunResult run = runRender({"--frames", "1", "--size", "16x16", "--out", dir},
                                    "__EGL_VENDOR_LIBRARY_FILENAMES=" + dir + "/no-such-vendor.json");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("no EGL display or OpenGL context"), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(framePath(dir, 1)));
}

}  // namespace
