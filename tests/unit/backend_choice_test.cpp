// The Linux program's choice of window system: Wayland with a reachable compositor,
// X11 with --x11 or without one.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/backend_choice.h"

namespace {

bool reachable(const char*) { return true; }
bool unreachable(const char*) { return false; }

struct Arguments {
    std::vector<std::string> text;
    std::vector<char*> pointers;
    int argc = 0;
    explicit Arguments(std::vector<std::string> words) : text(std::move(words)) {
        for (std::string& word : text) pointers.push_back(word.data());
        pointers.push_back(nullptr);
        argc = int(text.size());
    }
};

}  // namespace

TEST(BackendChoice, ReachableCompositorRunsWayland) {
    Arguments a({"orvel", "/s"});
    EXPECT_TRUE(chooseWayland(a.argc, a.pointers.data(), "wayland-1", reachable));
    EXPECT_EQ(a.argc, 2);
}

TEST(BackendChoice, UnreachableCompositorRunsX11) {
    Arguments a({"orvel", "/s"});
    EXPECT_FALSE(chooseWayland(a.argc, a.pointers.data(), "wayland-1", unreachable));
}

TEST(BackendChoice, NoWaylandDisplayRunsX11) {
    Arguments a({"orvel", "/s"});
    EXPECT_FALSE(chooseWayland(a.argc, a.pointers.data(), nullptr, reachable));
    EXPECT_FALSE(chooseWayland(a.argc, a.pointers.data(), "", reachable));
}

TEST(BackendChoice, X11OptionForcesX11AndIsTakenOut) {
    Arguments a({"orvel", "--x11", "/s", "-x11"});
    EXPECT_FALSE(chooseWayland(a.argc, a.pointers.data(), "wayland-1", reachable));
    ASSERT_EQ(a.argc, 2);
    EXPECT_STREQ(a.pointers[1], "/s");
    EXPECT_EQ(a.pointers[2], nullptr);
}

TEST(BackendChoice, NoSocketIsNotReachable) {
    EXPECT_FALSE(waylandSocketAccepts("/nonexistent/orvel-test-socket"));
}
