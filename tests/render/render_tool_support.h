#pragma once
// Helpers of the orvel-render checks: running the tool, reading its PNG frames and
// state lines, reading the banner bitmap, and projecting world points to pixels the
// way the renderer's fixed 4:3 frustum does.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct RunResult {
    int exitCode;  // -1 when the tool did not exit normally
    std::string out;
    std::string err;
};

// Runs orvel-render with the arguments; extraEnv entries ("NAME=value") are added to
// the environment.
RunResult runRender(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv = {});

// A fresh, empty scratch directory for one test.
std::string scratchDir(const std::string& name);

struct Rgb {
    int r, g, b;
};

// 8-bit RGB pixels, rows top-down.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> data;

    Rgb at(int x, int y) const {
        const std::uint8_t* p = &data[(std::size_t(y) * width + x) * 3];
        return {p[0], p[1], p[2]};
    }
};

// The PNG file as RGB, or an empty image when it cannot be read.
Image readPng(const std::string& path);
// A 24-bit BMP file as RGB, or an empty image.
Image readBmp(const std::string& path);

std::string readFile(const std::string& path);
std::string framePath(const std::string& dir, int frame);

// One state line: every number in it, keyed by its path ("frame", "camera.position.0",
// "innerRing.color.2", "gridHeights.1"); null values are left out.
using StateLine = std::map<std::string, double>;
// Every line of a state file; a line that is not a flat JSON object of numbers, arrays
// and objects makes the test fail.
std::vector<StateLine> readStateLines(const std::string& path);

struct Vec {
    double x, y, z;
};

// Pixel position (column, row from the top) of a world point seen by the camera of the
// state line, on a width x height surface; false when it is behind the eye.
bool projectToPixel(const StateLine& state, Vec world, int width, int height, double& column, double& row);
