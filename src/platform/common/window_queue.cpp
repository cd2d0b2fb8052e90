#include "platform/common/window_queue.h"

#include "platform/messages.h"
#include "platform/platform.h"

namespace {

ClassTable classes;
PostedQueue posted;
RegisteredMessages registeredMessages;
bool quitPosted = false;
int quitCode = 0;
std::uint64_t nextSerial = 1;

bool waits(const QueueWindow& w) { return w.inUse && !w.destroying; }

bool takePaint(QueuedMessage& message) {
    QueueWindow* oldest = nullptr;
    for (int i = 0; i < QUEUE_WINDOW_CAPACITY; ++i) {
        QueueWindow& w = backendQueueWindow(i);
        if (waits(w) && w.procedure != nullptr && w.needsPaint && !w.paintHeld && (oldest == nullptr || w.serial < oldest->serial)) {
            oldest = &w;
        }
    }
    if (oldest == nullptr) return false;
    message = {oldest->handle, WM_PAINT, 0, 0};
    return true;
}

bool takeDueTimer(QueuedMessage& message) {
    for (int i = 0; i < QUEUE_WINDOW_CAPACITY; ++i) {
        QueueWindow& w = backendQueueWindow(i);
        std::uintptr_t id = 0;
        if (waits(w) && w.timers.due(platformTickCount(), id, true)) {
            message = {w.handle, WM_TIMER, id, 0};
            return true;
        }
    }
    return false;
}

// Milliseconds until the next timer tick, or -1 when none will come.
std::int64_t nextTimerDelay() {
    const std::uint32_t now = platformTickCount();
    std::int64_t delay = -1;
    for (int i = 0; i < QUEUE_WINDOW_CAPACITY; ++i) {
        const QueueWindow& w = backendQueueWindow(i);
        const std::int64_t d = waits(w) ? w.timers.delay(now) : -1;
        if (d >= 0 && (delay < 0 || d < delay)) delay = d;
    }
    return delay;
}

}  // namespace

void queueOpenWindow(QueueWindow& window, WindowHandle handle, WindowProc procedure) {
    window.inUse = true;
    window.destroying = false;
    window.serial = nextSerial++;
    window.handle = handle;
    window.procedure = procedure;
    window.needsPaint = false;
    window.paintHeld = false;
    window.timers.clear();
}

QueueWindow* queueFindWindow(WindowHandle handle) {
    if (handle == nullptr) return nullptr;
    for (int i = 0; i < QUEUE_WINDOW_CAPACITY; ++i) {
        QueueWindow& w = backendQueueWindow(i);
        if (w.inUse && w.handle == handle) return &w;
    }
    return nullptr;
}

void queueForgetWindow(WindowHandle handle) { posted.removeFor(handle); }

WindowProc queueClassProcedure(const char* className) { return classes.find(className); }

bool queueRegisterClass(const WindowClassRequest& request) { return classes.add(request.name, request.procedure); }

int queueGetMessage(QueuedMessage& message) {
    for (;;) {
        if (posted.take(message) || backendTakeInput(message)) return 1;
        if (quitPosted) {
            quitPosted = false;
            message = {nullptr, WM_QUIT, WPARAM(std::intptr_t(quitCode)), 0};
            return 0;
        }
        if (takePaint(message) || takeDueTimer(message)) {
            backendNoteMessageMade(message);
            return 1;
        }
        if (!backendWaitForEvents(nextTimerDelay())) return -1;
    }
}

LRESULT queueDefaultProcessing(WindowHandle window, std::uint32_t message) {
    QueueWindow* w = queueFindWindow(window);
    if (w == nullptr) return 0;
    if (message == WM_CLOSE) backendDestroyWindow(*w);
    if (message == WM_PAINT) w->needsPaint = false;
    return 0;
}

void queueReset() {
    classes.clear();
    posted.clear();
    registeredMessages.clear();
    quitPosted = false;
    quitCode = 0;
}

// --- window_system.h

std::uint32_t platformRegisterWindowMessage(const char* name) { return registeredMessages.numberOf(name); }

void platformTranslateMessage(const QueuedMessage&) {}

LRESULT platformDispatchMessage(const QueuedMessage& message) {
    const QueueWindow* w = queueFindWindow(message.window);
    return w != nullptr ? callWindowProcedure(w->procedure, message) : 0;
}

bool platformPeekMessage(QueuedMessage& message, WindowHandle window, std::uint32_t first, std::uint32_t last,
                         std::uint32_t removeFlags) {
    QueueWindow* w = queueFindWindow(window);
    return peekQueuedMessage(posted, w != nullptr ? &w->timers : nullptr, message, window, first, last,
                             (removeFlags & PM_REMOVE) != 0, platformTickCount());
}

bool platformPostMessage(WindowHandle window, std::uint32_t message, WPARAM wParam, LPARAM lParam) {
    // Windows of other programs take no Windows messages.
    return queueFindWindow(window) != nullptr && posted.post({window, message, wParam, lParam});
}

LRESULT platformSendMessage(WindowHandle window, std::uint32_t message, WPARAM wParam, LPARAM lParam) {
    const QueueWindow* w = queueFindWindow(window);
    return w != nullptr ? callWindowProcedure(w->procedure, {window, message, wParam, lParam}) : 0;
}

void platformPostQuitMessage(int exitCode) {
    quitPosted = true;
    quitCode = exitCode;
}

std::uintptr_t platformSetTimer(WindowHandle window, std::uintptr_t id, std::uint32_t periodMs) {
    QueueWindow* w = queueFindWindow(window);
    return w != nullptr ? w->timers.set(id, periodMs, platformTickCount()) : 0;
}

bool platformKillTimer(WindowHandle window, std::uintptr_t id) {
    QueueWindow* w = queueFindWindow(window);
    return w != nullptr && w->timers.kill(id);
}

void platformInvalidateRect(WindowHandle window) {
    if (QueueWindow* w = queueFindWindow(window)) w->needsPaint = true;
}
