// The Linux program's choice of window system: Wayland with a reachable compositor,
// X11 with --x11 or without one.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/backend_choice.h"

namespace {

bool reachable(const char*) { return true; }
bool unreachable(const char*) { return false; }

// The arguments after the program name, WAYLAND_DISPLAY, whether its compositor answers,
// and the choice with the arguments left for the program.
TEST(BackendChoice, WaylandOnlyWithAReachableCompositorAndNoX11Option) {
    const struct {
        std::vector<std::string> arguments;
        const char* display;
        bool answers;
        bool wayland;
        std::vector<std::string> left;
    } cases[] = {
        {{"/s"}, "wayland-1", true, true, {"/s"}},
        {{"/s"}, "wayland-1", false, false, {"/s"}},
        {{"/s"}, nullptr, true, false, {"/s"}},
        {{"/s"}, "", true, false, {"/s"}},
        {{"--x11", "/s", "-x11"}, "wayland-1", true, false, {"/s"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> words = {"orvel"};
        words.insert(words.end(), c.arguments.begin(), c.arguments.end());
        std::vector<char*> argv;
        for (std::string& word : words) argv.push_back(word.data());
        argv.push_back(nullptr);
        int argc = int(words.size());
        EXPECT_EQ(chooseWayland(argc, argv.data(), c.display, c.answers ? reachable : unreachable), c.wayland)
            << (c.display ? c.display : "unset") << " " << c.answers;
        EXPECT_EQ(std::vector<std::string>(argv.begin() + 1, argv.begin() + argc), c.left);
        EXPECT_EQ(argv[std::size_t(argc)], nullptr);
    }
    EXPECT_FALSE(waylandSocketAccepts("/nonexistent/orvel-test-socket"));
}

}  // namespace
