#include "platform/common/message_queue.h"

#include <cstdio>
#include <cstring>

#include "platform/messages.h"

bool PostedQueue::post(const QueuedMessage& message) {
    if (count == CAPACITY) return false;
    items[count++] = message;
    return true;
}

bool PostedQueue::take(QueuedMessage& message) {
    if (count == 0) return false;
    message = items[0];
    for (int i = 1; i < count; ++i) items[i - 1] = items[i];
    --count;
    return true;
}

bool PostedQueue::find(QueuedMessage& message, WindowHandle window, std::uint32_t first, std::uint32_t last,
                       bool remove) {
    for (int i = 0; i < count; ++i) {
        if (items[i].window == window && items[i].message >= first && items[i].message <= last) {
            message = items[i];
            if (remove) {
                for (int j = i + 1; j < count; ++j) items[j - 1] = items[j];
                --count;
            }
            return true;
        }
    }
    return false;
}

void PostedQueue::removeFor(WindowHandle window) {
    int kept = 0;
    for (int i = 0; i < count; ++i) {
        if (items[i].window != window) items[kept++] = items[i];
    }
    count = kept;
}

std::uintptr_t WindowTimers::set(std::uintptr_t id, std::uint32_t periodMs, std::uint32_t now) {
    Timer* slot = nullptr;
    for (Timer& t : timers) {
        if (t.active && t.id == id) slot = &t;
    }
    for (Timer& t : timers) {
        if (slot == nullptr && !t.active) slot = &t;
    }
    if (slot == nullptr) return 0;
    *slot = {true, id, periodMs, now};
    return id;
}

bool WindowTimers::kill(std::uintptr_t id) {
    for (Timer& t : timers) {
        if (t.active && t.id == id) {
            t.active = false;
            return true;
        }
    }
    return false;
}

bool WindowTimers::due(std::uint32_t now, std::uintptr_t& id, bool take) {
    for (Timer& t : timers) {
        if (t.active && now - t.lastFire >= t.periodMs) {
            if (take) t.lastFire = now;
            id = t.id;
            return true;
        }
    }
    return false;
}

std::int64_t WindowTimers::delay(std::uint32_t now) const {
    std::int64_t shortest = -1;
    for (const Timer& t : timers) {
        if (!t.active) continue;
        const std::uint32_t since = now - t.lastFire;
        const std::int64_t d = since >= t.periodMs ? 0 : std::int64_t(t.periodMs - since);
        if (shortest < 0 || d < shortest) shortest = d;
    }
    return shortest;
}

int WindowTimers::active() const {
    int n = 0;
    for (const Timer& t : timers) n += t.active ? 1 : 0;
    return n;
}

std::uint32_t WindowTimers::periodOf(std::uintptr_t id) const {
    for (const Timer& t : timers) {
        if (t.active && t.id == id) return t.periodMs;
    }
    return 0;
}

void WindowTimers::clear() {
    for (Timer& t : timers) t.active = false;
}

bool ClassTable::add(const char* name, WindowProc procedure) {
    if (name == nullptr || name[0] == '\0' || procedure == nullptr || find(name) != nullptr) return false;
    for (Entry& e : entries) {
        if (!e.inUse) {
            e.inUse = true;
            std::snprintf(e.name, sizeof e.name, "%s", name);
            e.procedure = procedure;
            return true;
        }
    }
    return false;
}

WindowProc ClassTable::find(const char* name) const {
    if (name == nullptr) return nullptr;
    for (const Entry& e : entries) {
        if (e.inUse && std::strcmp(e.name, name) == 0) return e.procedure;
    }
    return nullptr;
}

void ClassTable::clear() {
    for (Entry& e : entries) e.inUse = false;
}

std::uint32_t RegisteredMessages::numberOf(const char* name) {
    for (int i = 0; i < count; ++i) {
        if (std::strcmp(names[i], name) == 0) return 0xC000u + std::uint32_t(i);
    }
    if (count == CAPACITY) return 0;
    std::snprintf(names[count], sizeof names[count], "%s", name);
    return 0xC000u + std::uint32_t(count++);
}

bool peekQueuedMessage(PostedQueue& posted, WindowTimers* timers, QueuedMessage& message, WindowHandle window,
                       std::uint32_t first, std::uint32_t last, bool remove, std::uint32_t now) {
    if (posted.find(message, window, first, last, remove)) return true;
    std::uintptr_t id = 0;
    if (timers == nullptr || first > WM_TIMER || WM_TIMER > last || !timers->due(now, id, remove)) return false;
    message = {window, WM_TIMER, id, 0};
    return true;
}
