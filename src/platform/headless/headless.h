#pragma once
// Controls of the headless platform, for the offline renderer and the tests. Its clock
// moves only when the caller moves it (or, if asked, when the program sleeps), its
// windows are records in a fixed table with a message queue in Windows' order, and its
// text output draws nothing but is logged on the device context so that callers can see
// what would have been written. The cursor, the foreground window, input, the registry,
// libraries and dialogs are scripted by the caller. All records are static: nothing is
// allocated.
#include <cstdint>

#include "platform/handles.h"
#include "platform/window_system.h"

// One text output: position and the text, cut to 31 characters.
struct HeadlessTextOut {
    int x;
    int y;
    char text[32];
};

inline constexpr int HEADLESS_TEXT_LOG_CAPACITY = 8;

// The state of a window's device context. A reset gives black text, an opaque
// background and an empty log.
struct HeadlessDeviceContext {
    std::uint8_t textRed;
    std::uint8_t textGreen;
    std::uint8_t textBlue;
    bool transparentBackground;
    int textOutCount;  // outputs since the last reset; the first ones are kept below
    HeadlessTextOut textOuts[HEADLESS_TEXT_LOG_CAPACITY];
};

inline constexpr int HEADLESS_WINDOW_CAPACITY = 8;

// True when the EGL binding has a rendering context current on the calling thread.
bool headlessGlContextIsCurrent();

// Clock: platformTickCount returns this value, which wraps at 2^32.
void headlessSetTickCount(std::uint32_t ms);
void headlessAdvanceTickCount(std::uint32_t ms);

// Sleep requests: how many were made and the last one asked for. When sleeping advances
// the clock, a sleep of ms moves the clock on by ms, as real time would.
std::uint64_t headlessSleepCount();
std::uint32_t headlessLastSleepMs();
void headlessSetSleepAdvancesClock(bool advances);

// A window with the given client size and no window procedure (a host window, such as
// the display settings' preview area), or nullptr when the size is negative or all
// HEADLESS_WINDOW_CAPACITY windows are in use.
WindowHandle headlessCreateWindow(int width, int height);
// Destroys the window and its children; each gets WM_DESTROY.
void headlessDestroyWindow(WindowHandle window);

// Device contexts taken from the window and not yet released.
int headlessDCsInUse(WindowHandle window);

// The record behind a device context from platformGetDC, or nullptr for anything else.
HeadlessDeviceContext* headlessDeviceContext(DeviceContext dc);
void headlessResetDeviceContext(DeviceContext dc);

// Back to the start: clock at 0, no sleeps recorded, no windows, classes, messages,
// input, registry values, libraries or dialog script; the screen 640 x 480 at 32 bits,
// the cursor at (100, 100), Windows NT's platform identifier.
void headlessReset();

// --- Screen, cursor and foreground window

void headlessSetScreenRect(ScreenRect rect);
void headlessSetColorDepth(std::int32_t bits);
void headlessSetCursorPos(CursorPos position);
void headlessSetForegroundWindow(WindowHandle window);
// How often the cursor was hidden.
int headlessHideCursorCount();

// --- Input and the message queue

// Input that arrives when the clock reaches atTick, for the foreground window (or, when
// there is none, the newest window made with platformCreateWindow). Any message can be
// queued this way, for example a close request from outside. A WM_MOUSEMOVE also moves the cursor to
// (x, y) when it arrives; other messages leave the cursor where it is.
bool headlessQueueInput(std::uint32_t atTick, std::uint32_t message, WPARAM wParam, LPARAM lParam);
bool headlessQueueMouseMove(std::uint32_t atTick, std::int32_t x, std::int32_t y);

// GetMessage fails (-1) after this many more messages; negative means no limit. A
// guard against a test that would otherwise run for ever.
void headlessSetMessageLimit(int messages);

// Ticks at which WM_PAINT was taken from the queue, oldest first, for the last
// HEADLESS_PAINT_LOG_CAPACITY paints, and how many there were in all.
inline constexpr int HEADLESS_PAINT_LOG_CAPACITY = 64;
int headlessPaintCount();
std::uint32_t headlessPaintTick(int index);

// How many messages of this number reached default processing (DefWindowProc).
int headlessDefaultProcessingCount(std::uint32_t message);
// How many timer ticks were taken from the queue.
int headlessTimerMessageCount();

// The properties a window was created with.
struct HeadlessWindowInfo {
    bool exists;
    WindowHandle parent;
    std::uint32_t style;
    std::uint32_t exStyle;
    int x;
    int y;
    int width;
    int height;
    char className[48];
    char title[48];
    int activeTimers;
};
HeadlessWindowInfo headlessWindowInfo(WindowHandle window);
// The period of the window's active timer id, or 0 when it has no such timer.
std::uint32_t headlessTimerPeriod(WindowHandle window, std::uintptr_t id);
// The last window class registered since the reset (its name copied); a zero name when
// none was.
struct HeadlessClassInfo {
    char name[48];
    std::uint32_t style;
    WindowProc procedure;
    InstanceHandle instance;
    int iconResource;
    bool blackBackground;
};
HeadlessClassInfo headlessLastRegisteredClass();
// The newest window made with platformCreateWindow that still exists, or nullptr.
WindowHandle headlessNewestWindow();
// The last window made with platformCreateWindow, as it was made; exists is false when
// none was made since the reset.
HeadlessWindowInfo headlessLastCreatedWindow();
// Refuse class registration or window creation from now on.
void headlessFailClassRegistration(bool fail);
void headlessFailWindowCreation(bool fail);

// --- System services

void headlessSetCommandLine(const char* commandLine);
void headlessSetModuleHandle(InstanceHandle instance);
// The version query answers with this platform identifier, or fails.
void headlessSetPlatformId(std::uint32_t platformId);
void headlessFailVersionQuery();

// A registry value under HKEY_CURRENT_USER\path; the first HEADLESS_REGISTRY_CAPACITY
// are kept. Opening a key that holds no value fails.
inline constexpr int HEADLESS_REGISTRY_CAPACITY = 4;
void headlessSetRegistryValue(const char* path, const char* name, const void* data, std::uint32_t size);
int headlessRegistryOpenCount();
int headlessRegistryKeysOpen();

// A library that platformLoadLibrary finds by name (compared without regard to case),
// with up to HEADLESS_LIBRARY_ENTRIES named entry points. A preloaded library is also
// found by platformLoadedModule, as if the process had loaded it before.
inline constexpr int HEADLESS_LIBRARY_CAPACITY = 4;
inline constexpr int HEADLESS_LIBRARY_ENTRIES = 4;
struct HeadlessEntryPoint {
    const char* name;
    ProcAddress address;
};
void headlessAddLibrary(const char* name, const HeadlessEntryPoint* entries, int count, bool preloaded = false);
int headlessLibraryLoadCount();  // platformLoadLibrary calls, found or not
int headlessLibrariesLoaded();   // loads not yet freed

// The screen-saver-running state that SystemParametersInfo sets, and its call count.
bool headlessScreenSaverRunning();
int headlessSystemParameterCalls();

// Runs the crash guard's handler as a fault would, writes the screen-saver-running state
// after it on standard error ("screen saver running: 0"), and ends the process with -1.
[[noreturn]] void headlessRaiseFault();

// Message boxes shown, and the text of the last one.
int headlessMessageBoxCount();
const char* headlessLastMessageBoxText();

// The directory in which the settings file is kept.
void headlessSetSettingsDirectory(const char* directory);

// --- Dialogs

// What the user does in the next modal dialog, step by step, once it has been
// initialised: click a control (a check box toggles itself, then the dialog gets
// WM_COMMAND with the control's id), send a raw WM_COMMAND, or press the close button.
enum class HeadlessDialogAction { Click, Command, Close };
struct HeadlessDialogStep {
    HeadlessDialogAction action;
    WPARAM value;  // the control id, or the WM_COMMAND wParam
};
inline constexpr int HEADLESS_DIALOG_STEPS = 8;
void headlessScriptDialog(const HeadlessDialogStep* steps, int count);
// The dialog template cannot be found from now on.
void headlessFailDialogCreation(bool fail);

struct HeadlessDialogRecord {
    int runs;                 // modal runs started
    WindowHandle owner;       // of the last run
    int resourceId;
    std::uint32_t checkAtInit;  // the check box right after WM_INITDIALOG
    bool ended;               // EndDialog was called
    std::intptr_t result;     // what the last run returned
};
HeadlessDialogRecord headlessDialogRecord();
