// The headless platform's windows: records in a fixed table, window classes, a message
// queue in Windows' order, timers on the headless clock, paint that stays requested until
// it is validated, a scripted cursor, foreground window and input.
#include <cstdio>
#include <cstring>

#include "platform/headless/headless.h"
#include "platform/headless/internal.h"
#include "platform/messages.h"
#include "platform/platform.h"
#include "platform/common/window_queue.h"
#include "platform/window_system.h"

namespace {

constexpr int INPUT_CAPACITY = 64;
constexpr int DEFAULT_LOG_CAPACITY = 64;

struct HeadlessWindow : QueueWindow {
    int width;
    int height;
    int dcsInUse;
    HeadlessDeviceContext dc;
    HeadlessWindow* parent;
    std::uint32_t style;
    std::uint32_t exStyle;
    int x;
    int y;
    char className[48];
    char title[48];
};

struct ScheduledInput {
    std::uint32_t atTick;
    std::uint32_t message;
    WPARAM wParam;
    LPARAM lParam;
    CursorPos cursor;  // where a mouse move takes the cursor
};

bool isDue(std::uint32_t atTick) { return std::int32_t(platformTickCount() - atTick) >= 0; }

static_assert(HEADLESS_WINDOW_CAPACITY == QUEUE_WINDOW_CAPACITY);
HeadlessWindow windows[HEADLESS_WINDOW_CAPACITY];
ScheduledInput inputs[INPUT_CAPACITY];
int inputCount = 0;
int messageLimit = -1;
ScreenRect screen = {0, 0, 640, 480};
std::int32_t colorDepth = 32;
CursorPos cursor = {100, 100};
WindowHandle foreground = nullptr;
int hideCursorCount = 0;
int timerMessages = 0;
int paintCount = 0;
std::uint32_t paintTicks[HEADLESS_PAINT_LOG_CAPACITY];
std::uint32_t defaultLog[DEFAULT_LOG_CAPACITY];
int defaultLogCount = 0;
HeadlessWindowInfo lastCreated;
HeadlessClassInfo lastClass;
bool failClasses = false;
bool failWindows = false;

// Window handles are small numbers, as window numbers on a command line are: 0x10010,
// 0x10020 and so on, one for each slot of the table.
constexpr std::uintptr_t HANDLE_BASE = 0x10000;
constexpr std::uintptr_t HANDLE_STEP = 0x10;

WindowHandle handleOf(const HeadlessWindow* w) {
    if (w == nullptr) return nullptr;
    return reinterpret_cast<WindowHandle>(HANDLE_BASE + HANDLE_STEP * std::uintptr_t(w - windows + 1));
}

HeadlessWindow* findWindow(WindowHandle handle) {
    const std::uintptr_t number = reinterpret_cast<std::uintptr_t>(handle);
    if (number <= HANDLE_BASE || (number - HANDLE_BASE) % HANDLE_STEP != 0) return nullptr;
    const std::uintptr_t slot = (number - HANDLE_BASE) / HANDLE_STEP - 1;
    if (slot >= std::uintptr_t(HEADLESS_WINDOW_CAPACITY) || !windows[slot].inUse) return nullptr;
    return &windows[slot];
}

HeadlessWindow* findWindowOfDC(DeviceContext dc) {
    for (HeadlessWindow& w : windows) {
        if (w.inUse && dc == &w.dc) return &w;
    }
    return nullptr;
}

void copyText(char (&to)[48], const char* from) {
    std::snprintf(to, sizeof to, "%s", from != nullptr ? from : "");
}

HeadlessWindow* allocateWindow(int width, int height, WindowProc procedure) {
    if (width < 0 || height < 0) return nullptr;
    for (HeadlessWindow& w : windows) {
        if (!w.inUse) {
            w = HeadlessWindow{};
            queueOpenWindow(w, handleOf(&w), procedure);
            w.width = width;
            w.height = height;
            return &w;
        }
    }
    return nullptr;
}

HeadlessWindow* newestSaverWindow() {
    HeadlessWindow* newest = nullptr;
    for (HeadlessWindow& w : windows) {
        if (w.inUse && w.procedure != nullptr && (newest == nullptr || w.serial > newest->serial)) newest = &w;
    }
    return newest;
}

void destroy(HeadlessWindow* w) {
    if (w == nullptr || !w->inUse) return;
    // The window learns of its end first, then its children, as on Windows.
    if (w->procedure != nullptr) w->procedure(handleOf(w), WM_DESTROY, 0, 0);
    for (HeadlessWindow& child : windows) {
        if (child.inUse && child.parent == w) destroy(&child);
    }
    queueForgetWindow(handleOf(w));
    if (foreground == handleOf(w)) foreground = nullptr;
    w->inUse = false;
}

bool takeDueInput(QueuedMessage& message) {
    // The earliest due input, in the order it was queued among equal times.
    int best = -1;
    for (int i = 0; i < inputCount; ++i) {
        if (isDue(inputs[i].atTick) && (best < 0 || std::int32_t(inputs[i].atTick - inputs[best].atTick) < 0)) {
            best = i;
        }
    }
    if (best < 0) return false;
    const ScheduledInput input = inputs[best];
    for (int i = best + 1; i < inputCount; ++i) inputs[i - 1] = inputs[i];
    --inputCount;
    HeadlessWindow* target = findWindow(foreground);
    if (target == nullptr) target = newestSaverWindow();
    if (input.message == WM_MOUSEMOVE) cursor = input.cursor;
    // Input with no window to go to is dropped, as the system would drop it.
    if (target == nullptr) return takeDueInput(message);
    message = {handleOf(target), input.message, input.wParam, input.lParam};
    return true;
}

}  // namespace

void resetHeadlessWindows() {
    for (HeadlessWindow& w : windows) w.inUse = false;
    queueReset();
    inputCount = 0;
    messageLimit = -1;
    screen = {0, 0, 640, 480};
    colorDepth = 32;
    cursor = {100, 100};
    foreground = nullptr;
    hideCursorCount = 0;
    timerMessages = 0;
    paintCount = 0;
    defaultLogCount = 0;
    lastCreated = HeadlessWindowInfo{};
    lastClass = HeadlessClassInfo{};
    failClasses = false;
    failWindows = false;
}

// --- Controls

WindowHandle headlessCreateWindow(int width, int height) { return handleOf(allocateWindow(width, height, nullptr)); }

void headlessDestroyWindow(WindowHandle window) { destroy(findWindow(window)); }

int headlessDCsInUse(WindowHandle window) {
    const HeadlessWindow* w = findWindow(window);
    return w ? w->dcsInUse : 0;
}

HeadlessDeviceContext* headlessDeviceContext(DeviceContext dc) {
    HeadlessWindow* w = findWindowOfDC(dc);
    return w ? &w->dc : nullptr;
}

void headlessSetScreenRect(ScreenRect rect) { screen = rect; }
void headlessSetColorDepth(std::int32_t bits) { colorDepth = bits; }
void headlessSetCursorPos(CursorPos position) { cursor = position; }
void headlessSetForegroundWindow(WindowHandle window) { foreground = window; }
int headlessHideCursorCount() { return hideCursorCount; }

bool headlessQueueInput(std::uint32_t atTick, std::uint32_t message, WPARAM wParam, LPARAM lParam) {
    if (inputCount == INPUT_CAPACITY) return false;
    inputs[inputCount++] = {atTick, message, wParam, lParam, cursor};
    return true;
}

bool headlessQueueMouseMove(std::uint32_t atTick, std::int32_t x, std::int32_t y) {
    if (inputCount == INPUT_CAPACITY) return false;
    // lParam carries client coordinates, which the saver never reads: it asks for the
    // cursor's screen position.
    const LPARAM packed = LPARAM(std::uint32_t(y & 0xFFFF) << 16 | std::uint32_t(x & 0xFFFF));
    inputs[inputCount++] = {atTick, WM_MOUSEMOVE, 0, packed, {x, y}};
    return true;
}

void headlessSetMessageLimit(int messages) { messageLimit = messages; }

int headlessPaintCount() { return paintCount; }

std::uint32_t headlessPaintTick(int index) {
    const int first = paintCount > HEADLESS_PAINT_LOG_CAPACITY ? paintCount - HEADLESS_PAINT_LOG_CAPACITY : 0;
    return paintTicks[(first + index) % HEADLESS_PAINT_LOG_CAPACITY];
}

int headlessDefaultProcessingCount(std::uint32_t message) {
    int count = 0;
    for (int i = 0; i < defaultLogCount && i < DEFAULT_LOG_CAPACITY; ++i) count += defaultLog[i] == message;
    return count;
}

int headlessTimerMessageCount() { return timerMessages; }

HeadlessWindowInfo headlessWindowInfo(WindowHandle window) {
    HeadlessWindowInfo info{};
    const HeadlessWindow* w = findWindow(window);
    if (w == nullptr) return info;
    info.exists = true;
    info.parent = handleOf(w->parent);
    info.style = w->style;
    info.exStyle = w->exStyle;
    info.x = w->x;
    info.y = w->y;
    info.width = w->width;
    info.height = w->height;
    std::memcpy(info.className, w->className, sizeof info.className);
    std::memcpy(info.title, w->title, sizeof info.title);
    info.activeTimers = w->timers.active();
    return info;
}

std::uint32_t headlessTimerPeriod(WindowHandle window, std::uintptr_t id) {
    const HeadlessWindow* w = findWindow(window);
    return w != nullptr ? w->timers.periodOf(id) : 0;
}

HeadlessClassInfo headlessLastRegisteredClass() { return lastClass; }

WindowHandle headlessNewestWindow() { return handleOf(newestSaverWindow()); }

HeadlessWindowInfo headlessLastCreatedWindow() { return lastCreated; }

void headlessFailClassRegistration(bool fail) { failClasses = fail; }
void headlessFailWindowCreation(bool fail) { failWindows = fail; }

// --- Platform operations

DeviceContext platformGetDC(WindowHandle window) {
    HeadlessWindow* w = findWindow(window);
    if (!w) return nullptr;
    ++w->dcsInUse;
    return &w->dc;
}

void platformReleaseDC(WindowHandle window, DeviceContext dc) {
    HeadlessWindow* w = findWindow(window);
    if (w && dc == &w->dc && w->dcsInUse > 0) --w->dcsInUse;
}

ClientSize platformClientSize(WindowHandle window) {
    const HeadlessWindow* w = findWindow(window);
    return w ? ClientSize{w->width, w->height} : ClientSize{0, 0};
}

bool platformRegisterClass(const WindowClassRequest& request) {
    if (failClasses || !queueRegisterClass(request)) return false;
    lastClass = {{}, request.style, request.procedure, request.instance, request.iconResource, request.blackBackground};
    copyText(lastClass.name, request.name);
    return true;
}

WindowHandle platformCreateWindow(const WindowRequest& request) {
    const WindowProc procedure = queueClassProcedure(request.className);
    if (failWindows || procedure == nullptr) return nullptr;
    if (request.parent != nullptr && findWindow(request.parent) == nullptr) return nullptr;
    HeadlessWindow* w = allocateWindow(request.width, request.height, procedure);
    if (w == nullptr) return nullptr;
    w->parent = findWindow(request.parent);
    w->style = request.style;
    w->exStyle = request.exStyle;
    w->x = request.x;
    w->y = request.y;
    copyText(w->className, request.className);
    copyText(w->title, request.title);
    WindowHandle handle = handleOf(w);
    lastCreated = headlessWindowInfo(handle);
    if (w->procedure(handle, WM_CREATE, 0, 0) == -1) {
        destroy(w);
        return nullptr;
    }
    if (w->inUse && (request.style & WS_VISIBLE) != 0) {
        w->needsPaint = true;
        w->procedure(handle, WM_SHOWWINDOW, 1, 0);
    }
    return w->inUse ? handle : nullptr;
}

bool platformIsWindow(WindowHandle window) { return findWindow(window) != nullptr; }

WindowHandle platformGetParent(WindowHandle window) {
    const HeadlessWindow* w = findWindow(window);
    return w != nullptr ? handleOf(w->parent) : nullptr;
}

WindowHandle platformFindWindow(const char* className, const char* title) {
    for (HeadlessWindow& w : windows) {
        if (w.inUse && w.procedure != nullptr && std::strcmp(w.className, className) == 0 &&
            std::strcmp(w.title, title) == 0) {
            return handleOf(&w);
        }
    }
    return nullptr;
}

WindowHandle platformGetForegroundWindow() { return findWindow(foreground) ? foreground : nullptr; }

void platformSetForegroundWindow(WindowHandle window) {
    if (findWindow(window)) foreground = window;
}

ScreenRect platformScreenRect() { return screen; }

ScreenRect platformClientRect(WindowHandle window) {
    const HeadlessWindow* w = findWindow(window);
    return w != nullptr ? ScreenRect{0, 0, w->width, w->height} : ScreenRect{0, 0, 0, 0};
}

std::int32_t platformColorDepth(DeviceContext dc) { return findWindowOfDC(dc) != nullptr ? colorDepth : 0; }

int platformGetMessage(QueuedMessage& message) {
    if (messageLimit == 0) return -1;
    const int result = queueGetMessage(message);
    if (result == 1 && messageLimit > 0) --messageLimit;
    return result;
}

LRESULT platformDefWindowProc(WindowHandle window, std::uint32_t message, WPARAM, LPARAM) {
    defaultLog[defaultLogCount % DEFAULT_LOG_CAPACITY] = message;
    ++defaultLogCount;
    return queueDefaultProcessing(window, message);
}

CursorPos platformGetCursorPos() { return cursor; }

void platformHideCursor() { ++hideCursorCount; }

// --- The queue's backend calls

QueueWindow& backendQueueWindow(int index) { return windows[index]; }

bool backendTakeInput(QueuedMessage& message) { return takeDueInput(message); }

// Nothing waits: wait, on the headless clock, for the next input or tick. With nothing to
// come, the real call would block for ever; fail instead.
bool backendWaitForEvents(std::int64_t timerDelayMs) {
    const std::uint32_t now = platformTickCount();
    bool found = timerDelayMs >= 0;
    std::uint32_t delay = found ? std::uint32_t(timerDelayMs) : 0;
    for (int i = 0; i < inputCount; ++i) {
        const std::uint32_t d = inputs[i].atTick - now;
        if (!found || d < delay) delay = d;
        found = true;
    }
    if (found) headlessAdvanceTickCount(delay);
    return found;
}

void backendNoteMessageMade(const QueuedMessage& message) {
    if (message.message == WM_PAINT) {
        paintTicks[paintCount % HEADLESS_PAINT_LOG_CAPACITY] = platformTickCount();
        ++paintCount;
    } else if (message.message == WM_TIMER) {
        ++timerMessages;
    }
}

void backendDestroyWindow(QueueWindow& window) { destroy(static_cast<HeadlessWindow*>(&window)); }
