#pragma once
// The saver run end to end on the headless platform: a fixture that resets the platform
// and the shell's state, gives the saver a small screen, a clock that moves when it
// sleeps, the compiled-in bitmaps and a settings directory of its own.
#include <gtest/gtest.h>

#include <string>

#include "platform/handles.h"

class SaverChainTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The settings file's path, and helpers to write and read it whole.
    std::string settingsPath() const;
    void writeSettings(const std::string& text) const;
    std::string readSettings() const;
    bool settingsExist() const;

    // The number a window has on a command line.
    static std::string numberOf(WindowHandle window);

    std::string directory;
};

// Virtual-key codes used as key presses.
inline constexpr unsigned VK_SPACE = 0x20;
inline constexpr unsigned VK_A = 0x41;
