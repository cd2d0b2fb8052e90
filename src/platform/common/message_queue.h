#pragma once
// The parts of a Windows-style message queue that need no window system, shared by the
// backends that build their own queue (headless, X11, Wayland): posted messages in order,
// each window's timers on the millisecond tick count, window classes and registered
// message numbers. Fixed capacities: nothing is allocated.
#include <cstdint>

#include "platform/handles.h"
#include "platform/window_system.h"

// Messages posted to the program's windows, oldest first.
class PostedQueue {
public:
    bool post(const QueuedMessage& message);
    // The oldest message, taken off the queue.
    bool take(QueuedMessage& message);
    // The oldest message for window in [first, last], taken off when remove is set.
    bool find(QueuedMessage& message, WindowHandle window, std::uint32_t first, std::uint32_t last, bool remove);
    // Forgets every message of a window that is gone.
    void removeFor(WindowHandle window);
    void clear() { count = 0; }

private:
    static constexpr int CAPACITY = 64;
    QueuedMessage items[CAPACITY];
    int count = 0;
};

// One window's timers. A tick is due when periodMs has passed since the last one.
class WindowTimers {
public:
    // SetTimer: a new timer, or the same id restarted. 0 when every slot is taken.
    std::uintptr_t set(std::uintptr_t id, std::uint32_t periodMs, std::uint32_t now);
    bool kill(std::uintptr_t id);
    // A due tick's id; with take, the timer starts its next period now.
    bool due(std::uint32_t now, std::uintptr_t& id, bool take);
    // Milliseconds until the next tick (0 when one is due), or -1 without timers.
    std::int64_t delay(std::uint32_t now) const;
    int active() const;
    // The period of the active timer id, or 0 when there is none.
    std::uint32_t periodOf(std::uintptr_t id) const;
    void clear();

private:
    struct Timer {
        bool active;
        std::uintptr_t id;
        std::uint32_t periodMs;
        std::uint32_t lastFire;
    };
    static constexpr int CAPACITY = 4;
    Timer timers[CAPACITY] = {};
};

// Registered window classes: a name and its window procedure.
class ClassTable {
public:
    // False when the name is taken, empty, or the table is full.
    bool add(const char* name, WindowProc procedure);
    // The class's procedure, or null when there is no such class.
    WindowProc find(const char* name) const;
    void clear();

private:
    static constexpr int CAPACITY = 4;
    struct Entry {
        bool inUse;
        char name[48];
        WindowProc procedure;
    };
    Entry entries[CAPACITY] = {};
};

// RegisterWindowMessageA: the same number for the same name, from 0xC000 up; 0 when full.
class RegisteredMessages {
public:
    std::uint32_t numberOf(const char* name);
    void clear() { count = 0; }

private:
    static constexpr int CAPACITY = 16;
    char names[CAPACITY][48] = {};
    int count = 0;
};

// PeekMessage on such a queue: the oldest message posted to window in [first, last];
// else, when WM_TIMER is in the range, a due tick of the window's timers, made on demand
// as Windows does. timers is null when the window is not one of ours.
bool peekQueuedMessage(PostedQueue& posted, WindowTimers* timers, QueuedMessage& message, WindowHandle window,
                       std::uint32_t first, std::uint32_t last, bool remove, std::uint32_t now);

// A message handed straight to a window's procedure (DispatchMessage, SendMessage); 0
// when the window has none.
inline LRESULT callWindowProcedure(WindowProc procedure, const QueuedMessage& message) {
    return procedure != nullptr ? procedure(message.window, message.message, message.wParam, message.lParam) : 0;
}
