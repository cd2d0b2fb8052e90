// The Linux program's choice of window system: X11 for an X window named on the command
// line or by XSCREENSAVER_WINDOW, and with --x11; else Wayland with a reachable
// compositor.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/posix/backend_choice.h"
#include "shell/command_line.h"
#include "shell/host_arguments.h"

namespace {

bool reachable(const char*) { return true; }
bool unreachable(const char*) { return false; }

struct Case {
    std::vector<std::string> arguments;  // after the program's name
    const char* xscreensaverWindow;
    const char* waylandDisplay;
    bool answers;  // whether the compositor there accepts a connection
    bool wayland;
    std::vector<std::string> left;  // the arguments left for the program; empty: all of them
};

const char* const XSW = "0x400001";
const char* const WL = "wayland-1";

const Case CASES[] = {
    // Where the compositor is, and --x11.
    {{"/s"}, nullptr, WL, true, true, {}},
    {{"/s"}, nullptr, WL, false, false, {}},
    {{"/s"}, nullptr, nullptr, true, false, {}},
    {{"/s"}, nullptr, "", true, false, {}},
    {{"--x11", "/s", "-x11"}, nullptr, WL, true, false, {"/s"}},
    {{}, nullptr, WL, true, true, {}},
    {{"/c"}, nullptr, WL, true, true, {}},
    // xscreensaver's options and its variable.
    {{"--root"}, nullptr, WL, true, false, {}},
    {{"/s"}, XSW, WL, true, false, {}},
    {{"/s"}, "", WL, true, true, {}},
    {{"--window-id", "0x400001"}, nullptr, WL, true, false, {}},
    {{"-window-id", "4194305"}, nullptr, WL, true, false, {}},
    {{"--window"}, nullptr, WL, true, true, {}},
    {{"--window"}, XSW, WL, true, false, {}},
    {{"--window", "--root"}, nullptr, WL, true, false, {}},
    {{"--ROOT"}, nullptr, WL, true, true, {}},
    {{"/root"}, nullptr, WL, true, true, {}},
    // The Windows switches that name a window, as the saver reads them.
    {{"/p", "1234"}, nullptr, WL, true, false, {}},
    {{"/P1234"}, nullptr, WL, true, false, {}},
    {{"/-/L  7"}, nullptr, WL, true, false, {}},
    {{"\t/p 9"}, nullptr, WL, true, false, {}},
    {{"/a", "1234"}, nullptr, WL, true, false, {}},
    {{"/c:1234"}, nullptr, WL, true, false, {}},
    {{"/p", "1234", "--x11"}, nullptr, WL, true, false, {"/p", "1234"}},
    // ... and those that do not.
    {{"/p"}, nullptr, WL, true, true, {}},
    {{"/p:1234"}, nullptr, WL, true, true, {}},
    {{"/l", "00"}, nullptr, WL, true, true, {}},
    {{"/p", "4294967296"}, nullptr, WL, true, true, {}},
    {{"/p\t1234"}, nullptr, WL, true, true, {}},
    {{"/c", "1234"}, nullptr, WL, true, true, {}},
    {{"/p", "1234", "--window"}, nullptr, WL, true, true, {}},
    {{"-fps", "/p", "1234"}, nullptr, WL, true, true, {}},
};

std::string describe(const Case& c) {
    std::string text = "orvel";
    for (const std::string& argument : c.arguments) text += " [" + argument + "]";
    text += std::string(" XSCREENSAVER_WINDOW=") + (c.xscreensaverWindow ? c.xscreensaverWindow : "unset");
    text += std::string(" WAYLAND_DISPLAY=") + (c.waylandDisplay ? c.waylandDisplay : "unset");
    return text + (c.answers ? " answering" : " silent");
}

TEST(BackendChoice, X11ForANamedXWindowOrX11OptionElseWaylandWithAReachableCompositor) {
    for (const Case& c : CASES) {
        std::vector<std::string> words = {"orvel"};
        words.insert(words.end(), c.arguments.begin(), c.arguments.end());
        std::vector<char*> argv;
        for (std::string& word : words) argv.push_back(word.data());
        argv.push_back(nullptr);
        int argc = int(words.size());
        EXPECT_EQ(chooseWayland(argc, argv.data(), c.xscreensaverWindow, c.waylandDisplay,
                                c.answers ? reachable : unreachable),
                  c.wayland)
            << describe(c);
        const std::vector<std::string>& left = c.left.empty() ? c.arguments : c.left;
        EXPECT_EQ(std::vector<std::string>(argv.begin() + 1, argv.begin() + argc), left) << describe(c);
        EXPECT_EQ(argv[std::size_t(argc)], nullptr);
    }
}

// WAYLAND_DISPLAY names a socket under XDG_RUNTIME_DIR, or gives its path.
TEST(BackendChoice, FindsTheCompositorsSocketByNameOrPath) {
    char folder[] = "/tmp/orvel-socket-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string path = std::string(folder) + "/wayland-7";
    const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
    ASSERT_EQ(bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(listener, 8), 0);
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const std::string saved = runtime != nullptr ? runtime : "";
    setenv("XDG_RUNTIME_DIR", folder, 1);
    EXPECT_TRUE(waylandSocketAccepts("wayland-7"));
    EXPECT_FALSE(waylandSocketAccepts("wayland-8"));
    setenv("XDG_RUNTIME_DIR", "/nonexistent", 1);
    EXPECT_TRUE(waylandSocketAccepts(path.c_str()));
    EXPECT_FALSE(waylandSocketAccepts("wayland-7"));
    EXPECT_FALSE(waylandSocketAccepts("/nonexistent/orvel-test-socket"));
    if (runtime != nullptr) {
        setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
    } else {
        unsetenv("XDG_RUNTIME_DIR");
    }
    close(listener);
    unlink(path.c_str());
    rmdir(folder);
}

// Whether the program's entry, given these arguments, draws in an X window: the host
// options first, then the Windows switch in the argument text the program makes of them.
// False too for a host request that is refused, which the choice may send either way.
bool programDrawsInXWindow(const std::vector<std::string>& arguments, bool& refused) {
    std::vector<const char*> argv = {"orvel"};
    std::string commandLine = "orvel";
    for (const std::string& argument : arguments) {
        argv.push_back(argument.c_str());
        commandLine += ' ' + argument;
    }
    const HostRequest request = parseHostArguments(int(argv.size()), argv.data(), nullptr);
    refused = request.mode == HostMode::Refused;
    if (request.mode != HostMode::None) {
        return request.mode == HostMode::GivenWindow || request.mode == HostMode::RootWindow;
    }
    const ModeSelection selection = selectMode(isolateArgumentText(commandLine.c_str()), true);
    if (selection.window == 0) return false;
    return selection.mode == RunMode::Preview || selection.mode == RunMode::ChangePassword ||
           (selection.mode == RunMode::Configure && selection.findOwner);
}

// The choice reads the command line as the program's entry does: where the entry would
// draw in an X window, the choice is X11, and elsewhere it is Wayland.
TEST(BackendChoice, AgreesWithTheEntrysReadingOfTheCommandLine) {
    int checked = 0;
    for (const Case& c : CASES) {
        if (c.xscreensaverWindow != nullptr && c.xscreensaverWindow[0] != '\0') continue;
        if (!c.answers || !c.left.empty() || c.waylandDisplay == nullptr || c.waylandDisplay[0] == '\0') continue;
        bool refused = false;
        const bool x11 = programDrawsInXWindow(c.arguments, refused);
        if (refused) continue;
        EXPECT_EQ(!x11, c.wayland) << describe(c);
        ++checked;
    }
    EXPECT_GT(checked, 20);
}

}  // namespace
