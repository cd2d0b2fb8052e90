#include "render_tool_support.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <png.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

extern char** environ;

RunResult runRender(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv) {
    const std::string dir = ORVEL_RENDER_SCRATCH;
    std::filesystem::create_directories(dir);
    const std::string tag = std::to_string(::getpid());
    const std::string outPath = dir + "/stdout-" + tag;
    const std::string errPath = dir + "/stderr-" + tag;

    std::vector<std::string> argStore = {ORVEL_RENDER_PATH};
    argStore.insert(argStore.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : argStore) argv.push_back(a.data());
    argv.push_back(nullptr);

    std::vector<std::string> envStore;
    for (char** e = environ; *e != nullptr; ++e) envStore.emplace_back(*e);
    envStore.insert(envStore.end(), extraEnv.begin(), extraEnv.end());
    std::vector<char*> envp;
    for (std::string& e : envStore) envp.push_back(e.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        ADD_FAILURE() << "cannot start " << argv[0] << ": " << std::strerror(spawned);
        return {-1, "", ""};
    }
    int status = 0;
    waitpid(pid, &status, 0);
    RunResult result{WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(outPath), readFile(errPath)};
    std::filesystem::remove(outPath);
    std::filesystem::remove(errPath);
    return result;
}

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

std::string framePath(const std::string& dir, int frame) {
    char name[32];
    std::snprintf(name, sizeof name, "/frame-%06d.png", frame);
    return dir + name;
}

Image readPng(const std::string& path) {
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    Image image;
    if (!png_image_begin_read_from_file(&png, path.c_str())) {
        return image;
    }
    png.format = PNG_FORMAT_RGB;
    image.data.resize(PNG_IMAGE_SIZE(png));
    if (!png_image_finish_read(&png, nullptr, image.data.data(), 0, nullptr)) {
        image.data.clear();
        return image;
    }
    image.width = int(png.width);
    image.height = int(png.height);
    return image;
}

static std::uint32_t le32(const std::string& b, std::size_t at) {
    return std::uint32_t(std::uint8_t(b[at])) | std::uint32_t(std::uint8_t(b[at + 1])) << 8 |
           std::uint32_t(std::uint8_t(b[at + 2])) << 16 | std::uint32_t(std::uint8_t(b[at + 3])) << 24;
}

Image readBmp(const std::string& path) {
    const std::string bytes = readFile(path);
    Image image;
    if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M' || bytes[28] != 24) {
        return image;
    }
    const std::uint32_t offset = le32(bytes, 10);
    const int width = int(le32(bytes, 18));
    const int rawHeight = int(le32(bytes, 22));
    const int height = std::abs(rawHeight);
    const std::size_t stride = (std::size_t(width) * 3 + 3) & ~std::size_t(3);
    if (bytes.size() < offset + stride * height) {
        return image;
    }
    image.width = width;
    image.height = height;
    image.data.resize(std::size_t(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        const std::size_t row = offset + stride * std::size_t(rawHeight > 0 ? height - 1 - y : y);
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = &image.data[(std::size_t(y) * width + x) * 3];
            p[0] = std::uint8_t(bytes[row + 3 * x + 2]);  // stored blue, green, red
            p[1] = std::uint8_t(bytes[row + 3 * x + 1]);
            p[2] = std::uint8_t(bytes[row + 3 * x]);
        }
    }
    return image;
}

namespace {

// A strict reader for the subset the state lines use: objects, arrays, numbers, null.
struct JsonReader {
    const std::string& text;
    std::size_t at = 0;
    StateLine& values;

    bool eat(char c) {
        if (at < text.size() && text[at] == c) {
            ++at;
            return true;
        }
        return false;
    }

    bool value(const std::string& path) {
        if (eat('{')) {
            if (eat('}')) return true;
            do {
                if (!eat('"')) return false;
                const std::size_t end = text.find('"', at);
                if (end == std::string::npos) return false;
                const std::string key = text.substr(at, end - at);
                at = end + 1;
                if (!eat(':') || !value(path.empty() ? key : path + "." + key)) return false;
            } while (eat(','));
            return eat('}');
        }
        if (eat('[')) {
            if (eat(']')) return true;
            int index = 0;
            do {
                if (!value(path + "." + std::to_string(index++))) return false;
            } while (eat(','));
            return eat(']');
        }
        if (text.compare(at, 4, "null") == 0) {
            at += 4;
            return true;
        }
        const char* start = text.c_str() + at;
        char* end = nullptr;
        const double number = std::strtod(start, &end);
        if (end == start || *start == '+' || *start == ' ') return false;
        at += std::size_t(end - start);
        values[path] = number;
        return true;
    }
};

}  // namespace

std::vector<StateLine> readStateLines(const std::string& path) {
    std::ifstream in(path);
    std::vector<StateLine> lines;
    std::string text;
    while (std::getline(in, text)) {
        StateLine line;
        JsonReader reader{text, 0, line};
        const bool good = reader.value("") && reader.at == text.size();
        EXPECT_TRUE(good) << "not a JSON object of numbers: " << text;
        lines.push_back(line);
    }
    return lines;
}

bool projectToPixel(const StateLine& s, Vec p, int width, int height, double& column, double& row) {
    const Vec d = {p.x - s.at("camera.position.0"), p.y - s.at("camera.position.1"),
                   p.z - s.at("camera.position.2")};
    auto along = [&](const char* axis) {
        const std::string a = std::string("camera.") + axis + ".";
        return d.x * s.at(a + "0") + d.y * s.at(a + "1") + d.z * s.at(a + "2");
    };
    const double ex = along("axisX");
    const double ey = along("axisY");
    const double ez = along("axisZ");
    if (ez > -1.0) {
        return false;  // behind the near plane; the camera looks along -axisZ
    }
    // glFrustum(-0.4, 0.4, -0.3, 0.3, 1, 400) on the whole surface.
    const double nx = ex / -ez / 0.4;
    const double ny = ey / -ez / 0.3;
    column = (nx + 1.0) * 0.5 * width;
    row = (1.0 - ny) * 0.5 * height;
    return true;
}
