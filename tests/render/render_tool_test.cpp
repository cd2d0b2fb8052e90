// Checks on orvel-render's output: the tool runs the real scene and frame driver on
// headless EGL, and these tests read its PNG frames and state lines back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "render_tool_support.h"

namespace {

constexpr double PI = 3.14159265358979323846;

std::vector<std::string> args(std::initializer_list<std::string> list) { return list; }

int brightest(Rgb p) { return std::max({p.r, p.g, p.b}); }

// Fraction of pixels that are exactly black.
double blackFraction(const Image& image) {
    int black = 0;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) black += brightest(image.at(x, y)) == 0;
    return double(black) / (image.width * image.height);
}

struct Ring {
    const char* name;
    double radius;
    double spin;  // rad/s about the vertical axis
};
constexpr Ring INNER = {"innerRing", 5.0, 1.0053096};
constexpr Ring OUTER = {"outerRing", 10.0, 0.31415924};

// A point of the ring circle in the world: radius r in the ring's local x-z plane, the
// plane tilted 15 degrees about x, then spun about the vertical axis, centred on
// (0, 0, -15). The spin has run for the steps of every frame so far, which add up to
// 0.033 s more than the scene time the frame was drawn at. `sideways` moves the circle
// along the camera's x axis by that many radii, for a control circle off the ring.
Vec ringPoint(const Ring& ring, const StateLine& s, double phi, double sideways) {
    const double theta = (s.at("time") + 0.033) * ring.spin;
    const double tilt = 15.0 * PI / 180.0;
    const Vec axisX = {std::cos(theta), 0.0, -std::sin(theta)};
    const Vec axisZ = {std::cos(tilt) * std::sin(theta), -std::sin(tilt), std::cos(tilt) * std::cos(theta)};
    const Vec side = {s.at("camera.axisX.0"), s.at("camera.axisX.1"), s.at("camera.axisX.2")};
    const double a = ring.radius * std::cos(phi);
    const double b = ring.radius * std::sin(phi);
    const double c = ring.radius * sideways;
    return {a * axisX.x + b * axisZ.x + c * side.x, a * axisX.y + b * axisZ.y + c * side.y,
            -15.0 + a * axisX.z + b * axisZ.z + c * side.z};
}

// How much of the ring's circle, projected through the frame's camera, lies on pixels
// lit in the ring's colour: the fraction of on-screen circle samples with a pixel
// within two whose strongest colour channel stands out from the frame's median by half
// of the ring colour's. -1 when too little of the circle is on screen.
double ringCoverage(const Image& image, const StateLine& s, const Ring& ring, double sideways) {
    const std::string key = std::string(ring.name) + ".color.";
    const double colour[3] = {s.at(key + "0"), s.at(key + "1"), s.at(key + "2")};
    const int channel = int(std::max_element(colour, colour + 3) - colour);
    auto level = [channel](Rgb p) { return channel == 0 ? p.r : channel == 1 ? p.g : p.b; };
    std::vector<int> levels;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) levels.push_back(level(image.at(x, y)));
    }
    std::nth_element(levels.begin(), levels.begin() + levels.size() / 2, levels.end());
    const int wanted = std::min(250, levels[levels.size() / 2] + int(0.5 * 255.0 * colour[channel]));

    int onScreen = 0;
    int lit = 0;
    for (int i = 0; i < 360; ++i) {
        double column = 0.0;
        double row = 0.0;
        const Vec p = ringPoint(ring, s, i * PI / 180.0, sideways);
        if (!projectToPixel(s, p, image.width, image.height, column, row)) {
            continue;
        }
        const int cx = int(column);
        const int cy = int(row);
        if (cx < 2 || cy < 2 || cx >= image.width - 2 || cy >= image.height - 2) {
            continue;
        }
        ++onScreen;
        bool found = false;
        for (int y = cy - 2; y <= cy + 2 && !found; ++y) {
            for (int x = cx - 2; x <= cx + 2 && !found; ++x) {
                found = level(image.at(x, y)) >= wanted;
            }
        }
        lit += found;
    }
    return onScreen < 90 ? -1.0 : double(lit) / onScreen;
}

TEST(RenderTool, RingsAreDrawnWhereTheCameraAndPlacementsPutThem) {
    const std::string dir = scratchDir("rings");
    const RunResult run = runRender(
        args({"--size", "160x120", "--fps", "5", "--frames", "201", "--every", "25", "--out", dir, "--state",
              dir + "/state.jsonl"}));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::vector<StateLine> states = readStateLines(dir + "/state.jsonl");
    ASSERT_EQ(states.size(), 201u);

    // Frames from T = 4.8 to 39.8 s: the camera swings from level to high above. The
    // control is the same circle moved sideways on screen by half its radius; it crosses
    // the ring twice and otherwise meets only sparks, motes and grid.
    double onSum = 0.0;
    double offSum = 0.0;
    int onCount = 0;
    int offCount = 0;
    for (int frame = 26; frame <= 201; frame += 25) {
        const StateLine& s = states[frame - 1];
        const Image image = readPng(framePath(dir, frame));
        ASSERT_EQ(image.width, 160) << frame;
        for (const Ring& ring : {INNER, OUTER}) {
            const double on = ringCoverage(image, s, ring, 0.0);
            const double off = ringCoverage(image, s, ring, 0.5);
            ASSERT_GE(on, 0.0) << ring.name << " mostly off screen in frame " << frame;
            EXPECT_GE(on, 0.55) << ring.name << " in frame " << frame;
            EXPECT_GT(on, off) << ring.name << " in frame " << frame;
            onSum += on;
            ++onCount;
            if (off >= 0.0) {
                offSum += off;
                ++offCount;
            }
        }
    }
    EXPECT_GE(onSum / onCount, 0.85);
    ASSERT_GT(offCount, onCount / 2);
    EXPECT_LE(offSum / offCount, 0.6);
}

// The banner's place on a width x height frame: eye x 0.15..0.55, y -0.41..-0.21 at
// depth 1.5. Gives the banner texel (column, row from its top) seen at a pixel centre.
bool bannerTexelAt(int x, int y, int width, int height, const Image& banner, double& u, double& v) {
    const double nx = (x + 0.5) / width * 2.0 - 1.0;
    const double ny = 1.0 - (y + 0.5) / height * 2.0;
    const double s = (nx * 0.4 * 1.5 - 0.15) / 0.4;
    const double t = (ny * 0.3 * 1.5 + 0.41) / 0.2;
    u = s * banner.width;
    v = (1.0 - t) * banner.height;
    return s > 0.0 && s < 1.0 && t > 0.0 && t < 1.0;
}

struct BannerMatch {
    int corePixels;  // pixels whose banner texels all around are bright
    int shown;       // of those, pixels at least about as bright as the banner there
};

// Compares a frame with the banner bitmap where the title would lie.
BannerMatch matchBanner(const Image& frame, const Image& banner) {
    BannerMatch match{0, 0};
    for (int y = 0; y < frame.height; ++y) {
        for (int x = 0; x < frame.width; ++x) {
            double u = 0.0;
            double v = 0.0;
            if (!bannerTexelAt(x, y, frame.width, frame.height, banner, u, v)) {
                continue;
            }
            // The dimmest texel within two of the sample point, channel by channel.
            int least[3] = {255, 255, 255};
            for (int ty = int(v) - 2; ty <= int(v) + 2; ++ty) {
                for (int tx = int(u) - 2; tx <= int(u) + 2; ++tx) {
                    const Rgb t =
                        banner.at(std::clamp(tx, 0, banner.width - 1), std::clamp(ty, 0, banner.height - 1));
                    least[0] = std::min(least[0], t.r);
                    least[1] = std::min(least[1], t.g);
                    least[2] = std::min(least[2], t.b);
                }
            }
            if (std::max({least[0], least[1], least[2]}) < 128) {
                continue;
            }
            ++match.corePixels;
            const Rgb p = frame.at(x, y);
            match.shown += p.r >= least[0] * 0.8 - 8 && p.g >= least[1] * 0.8 - 8 && p.b >= least[2] * 0.8 - 8;
        }
    }
    return match;
}

TEST(RenderTool, FadesInFromBlackWithTheTitleForTheFirstSeconds) {
    const std::string dir = scratchDir("timeline");
    const RunResult run = runRender(args({"--size", "320x240", "--fps", "10", "--frames", "91", "--every", "30",
                                          "--out", dir, "--state", dir + "/state.jsonl"}));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::vector<StateLine> states = readStateLines(dir + "/state.jsonl");
    ASSERT_EQ(states.size(), 91u);

    const Image first = readPng(framePath(dir, 1));
    ASSERT_EQ(first.width, 320);
    ASSERT_EQ(first.height, 240);
    EXPECT_EQ(blackFraction(first), 1.0) << "the fade-in veil covers the whole first frame";

    const Image banner = readBmp(ORVEL_BANNER_BMP);
    ASSERT_EQ(banner.width, 128);
    // Frames 31 and 91 are drawn at T = 2.93 s (title at full brightness) and 8.93 s.
    ASSERT_NEAR(states[30].at("time"), 2.933, 1e-3);
    ASSERT_NEAR(states[90].at("time"), 8.933, 1e-3);
    const BannerMatch shown = matchBanner(readPng(framePath(dir, 31)), banner);
    const BannerMatch gone = matchBanner(readPng(framePath(dir, 91)), banner);
    ASSERT_GE(shown.corePixels, 100);
    EXPECT_GE(shown.shown, shown.corePixels * 95 / 100);
    EXPECT_LE(gone.shown, gone.corePixels / 3);
}

TEST(RenderTool, LowDetailDrawsNoGrids) {
    const std::string full = scratchDir("full-detail");
    const std::string low = scratchDir("low-detail");
    for (const std::string& dir : {full, low}) {
        std::vector<std::string> a = {"--size", "160x120", "--fps",  "5",  "--frames",
                                      "201",    "--every", "50",    "--out", dir};
        if (dir == low) a.push_back("--low");
        const RunResult run = runRender(a);
        ASSERT_EQ(run.exitCode, 0) << run.err;
    }
    for (int frame = 51; frame <= 201; frame += 50) {
        // The grids fill the view with faint violet; without them only the sprites
        // light a few pixels, so almost all of the frame stays black.
        const double fullBlack = blackFraction(readPng(framePath(full, frame)));
        const double lowBlack = blackFraction(readPng(framePath(low, frame)));
        EXPECT_LE(fullBlack, 0.2) << "frame " << frame;
        EXPECT_GE(lowBlack, 0.8) << "frame " << frame;
        EXPECT_LT(lowBlack, 0.999) << "frame " << frame << ": the sprites must still be drawn";
    }
}

TEST(RenderTool, StateLinesCarryTheFrameClockAndTheScene) {
    const std::string dir = scratchDir("state");
    for (const bool low : {false, true}) {
        std::vector<std::string> a = {"--size", "32x24", "--fps",   "20",
                                      "--frames", "4",   "--state", dir + "/state.jsonl"};
        if (low) a.push_back("--low");
        const RunResult run = runRender(a);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const std::vector<StateLine> states = readStateLines(dir + "/state.jsonl");
        ASSERT_EQ(states.size(), 4u);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(states[i].at("frame"), i + 1);
            for (const char* key : {"camera.axisZ.2", "innerRing.size", "outerRing.color.3", "gridHeights.2"}) {
                EXPECT_TRUE(states[i].count(key)) << key;
            }
            EXPECT_EQ(states[i].at("motes"), low ? 400 : 1000);
            // Every spark so far is still alive (they live at least a second) and took
            // four draws, after the 8000 of the motes and the 600 of the rings.
            EXPECT_EQ(states[i].at("draws"), 8600 + 4 * states[i].at("particles")) << "frame " << i + 1;
        }
        // The first two frames step by 0.033 s, then by the virtual clock's 50 ms.
        EXPECT_EQ(states[0].at("time"), 0.0);
        EXPECT_EQ(float(states[0].at("step")), 0.033f);
        EXPECT_EQ(float(states[1].at("time")), 0.033f);
        EXPECT_EQ(float(states[1].at("step")), 0.033f);
        EXPECT_EQ(float(states[2].at("step")), 0.05f);
        EXPECT_NEAR(states[3].at("time"), 0.133, 1e-6);
        EXPECT_EQ(states[0].at("particles"), low ? 2 : 11);
        EXPECT_EQ(states[0].at("camera.position.2"), 40.0);
    }
}

TEST(RenderTool, SameCommandGivesTheSameBytes) {
    const std::string first = scratchDir("same-1");
    const std::string second = scratchDir("same-2");
    for (const std::string& dir : {first, second}) {
        const RunResult run =
            runRender(args({"--size", "160x120", "--frames", "301", "--every", "150", "--out", dir}));
        ASSERT_EQ(run.exitCode, 0) << run.err;
    }
    for (int frame : {1, 151, 301}) {
        const std::string a = readFile(framePath(first, frame));
        ASSERT_FALSE(a.empty()) << "frame " << frame;
        EXPECT_TRUE(a == readFile(framePath(second, frame))) << "frame " << frame;
    }
    EXPECT_FALSE(std::filesystem::exists(framePath(first, 2))) << "--every 150 saves frames 1, 151, 301";
    EXPECT_EQ(readPng(framePath(first, 301)).height, 120);
}

TEST(RenderTool, BadArgumentsGetTheUsageAndExitCode2) {
    const RunResult help = runRender(args({"--help"}));
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("usage: orvel-render"), std::string::npos);
    EXPECT_NE(help.out.find("--state FILE"), std::string::npos);

    const std::string dir = scratchDir("bad-arguments") + "/never";
    const std::vector<std::vector<std::string>> bad = {
        {"--bogus"},          {"frames"},            {"--size", "0x480"},    {"--size", "640x0"},
        {"--size", "-4x4"},   {"--size", "9000x10"}, {"--size", "640x480x"}, {"--size", "640"},
        {"--size", "x480"},   {"--size", " 64x48"},  {"--fps", "0"},         {"--fps", "abc"},
        {"--fps", "60fps"},   {"--fps", "2000"},     {"--frames", "0"},      {"--frames", "1.5"},
        {"--seconds", "0"},   {"--seconds", "-1"},   {"--seconds", "nan"},   {"--seconds", "2s"},
        {"--every", "0"},     {"--out"},             {"--state", ""},        {"--low=1"},
        {"--seconds", "2", "--frames", "10"},
    };
    for (std::vector<std::string> a : bad) {
        std::string shown;
        for (const std::string& part : a) shown += " '" + part + "'";
        a.insert(a.begin(), {"--out", dir});
        const RunResult run = runRender(a);
        EXPECT_EQ(run.exitCode, 2) << shown;
        EXPECT_NE(run.err.find("usage: orvel-render"), std::string::npos) << shown;
        EXPECT_TRUE(run.out.empty()) << shown;
    }
    EXPECT_FALSE(std::filesystem::exists(dir)) << "a refused command writes nothing";
}

TEST(RenderTool, OutputAndEglFailuresExitWith1) {
    const std::string dir = scratchDir("failures");
    std::ofstream(dir + "/plain-file") << "x";
    RunResult run = runRender(args({"--frames", "1", "--out", dir + "/plain-file/frames"}));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("cannot create the output directory"), std::string::npos) << run.err;

    run = runRender(args({"--frames", "1", "--state", dir + "/missing/state.jsonl"}));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("cannot write the state file"), std::string::npos) << run.err;

    // With no EGL vendor library to load there is no display, so no context.
    run = runRender(args({"--frames", "1", "--size", "16x16", "--out", dir + "/frames"}),
                    {"__EGL_VENDOR_LIBRARY_FILENAMES=" + dir + "/no-such-vendor.json"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("no EGL display or OpenGL context"), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(framePath(dir + "/frames", 1)));
}

}  // namespace
