// Checks on orvel-render's output: the tool runs the real scene and frame driver on
// headless EGL, and these tests read its PNG frames back.
#include <gtest/gtest.h>
#include <png.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct RunResult {
    int exitCode;  // -1 when the tool did not exit normally
    std::string out, err;
};

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

// The fraction of black pixels in a PNG file; not a number when it cannot be read.
double blackFraction(const std::string& path) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    std::vector<std::uint8_t> rgb;
    if (png_image_begin_read_from_file(&png, path.c_str())) {
        png.format = PNG_FORMAT_RGB;
        rgb.resize(PNG_IMAGE_SIZE(png));
        if (!png_image_finish_read(&png, nullptr, rgb.data(), 0, nullptr)) rgb.clear();
    }
    int black = 0;
    for (std::size_t i = 0; i + 2 < rgb.size(); i += 3) black += (rgb[i] | rgb[i + 1] | rgb[i + 2]) == 0;
    return 3.0 * black / double(rgb.size());
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
        const double lowBlack = blackFraction(framePath(low, frame));
        EXPECT_LE(blackFraction(framePath(full, frame)), 0.2) << "frame " << frame;
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
