// The program's windows on Wayland: their records for the Windows message queue
// (platform/common/window_queue.h, with input and waiting in events.cpp), their making and
// ending, device contexts and the cursor.
//
// The full-screen saver window is one window of the queue drawn on a layer surface of
// every output (surfaces.cpp); a child is the window mode's picture, drawn on its host
// toplevel's surface. Wayland has no windows of other programs to draw in, so a preview
// in a foreign window is refused.
#include <wayland-client.h>

#include <cstdio>

#include "platform/messages.h"
#include "platform/platform.h"
#include "platform/posix/process.h"
#include "platform/wayland/wayland.h"
#include "platform/common/window_queue.h"
#include "platform/window_system.h"

namespace {

// Handles are the record's slot plus this, so that none is null or a small integer.
constexpr std::uintptr_t HANDLE_BASE = 0x5100;

WaylandWindow windows[QUEUE_WINDOW_CAPACITY];
bool endSignalHandled = false;
bool cursorHidden = false;

WaylandWindow* freeRecord() {
    for (WaylandWindow& w : windows) {
        if (!w.inUse) return &w;
    }
    return nullptr;
}

void destroyWindow(WaylandWindow* w) {
    if (w == nullptr || !w->inUse || w->destroying) return;
    w->destroying = true;
    const WindowHandle handle = waylandHandleOf(*w);
    if (w->procedure != nullptr) w->procedure(handle, WM_DESTROY, 0, 0);
    for (WaylandWindow& child : windows) {
        if (child.inUse && child.parent == handle) destroyWindow(&child);
    }
    queueForgetWindow(handle);
    if (w->kind == WaylandWindowKind::FullScreen) {
        for (WaylandOutput& output : waylandOutputs) {
            if (output.inUse) waylandReleaseSurface(output.saver);
        }
    }
    waylandReleaseSurface(w->own);
    if (wayland.display != nullptr) wl_display_flush(wayland.display);
    *w = WaylandWindow{};
}

}  // namespace

WindowHandle waylandHandleOf(const WaylandWindow& window) {
    return reinterpret_cast<WindowHandle>(HANDLE_BASE + std::uintptr_t(&window - windows));
}

WaylandWindow* waylandFindHandle(WindowHandle handle) {
    const std::uintptr_t value = reinterpret_cast<std::uintptr_t>(handle);
    if (value < HANDLE_BASE || value >= HANDLE_BASE + QUEUE_WINDOW_CAPACITY) return nullptr;
    WaylandWindow& w = windows[value - HANDLE_BASE];
    return w.inUse ? &w : nullptr;
}

WaylandWindow* waylandWindowOfDeviceContext(DeviceContext dc) {
    for (WaylandWindow& w : windows) {
        if (w.inUse && dc == &w) return &w;
    }
    return nullptr;
}

WaylandWindow* waylandFullScreenWindow() {
    for (WaylandWindow& w : windows) {
        if (w.inUse && !w.destroying && w.kind == WaylandWindowKind::FullScreen) return &w;
    }
    return nullptr;
}

WaylandWindow* waylandWindowOfSurface(wl_surface* surface, WaylandSurface** record) {
    if (surface == nullptr) return nullptr;
    for (WaylandWindow& w : windows) {
        if (!w.inUse || w.destroying) continue;
        if (w.kind == WaylandWindowKind::FullScreen && w.own.surface == surface) {
            if (record != nullptr) *record = &w.own;
            return &w;
        }
        if (w.kind == WaylandWindowKind::Toplevel && w.own.surface == surface) {
            if (record != nullptr) *record = &w.own;
            // Input on the window mode's window belongs to the picture inside it.
            for (WaylandWindow& child : windows) {
                if (child.inUse && child.parent == waylandHandleOf(w)) return &child;
            }
            return &w;
        }
        if (w.kind != WaylandWindowKind::FullScreen) continue;
        for (WaylandOutput& output : waylandOutputs) {
            if (output.inUse && output.saver.surface == surface) {
                if (record != nullptr) *record = &output.saver;
                return &w;
            }
        }
    }
    return nullptr;
}

int waylandDrawingSurfaces(WaylandWindow& window, WaylandSurface** surfaces, int capacity) {
    int count = 0;
    if (window.kind == WaylandWindowKind::FullScreen && window.own.surface != nullptr) {
        if (window.own.configured && capacity > 0) surfaces[count++] = &window.own;
    } else if (window.kind == WaylandWindowKind::FullScreen) {
        for (WaylandOutput& output : waylandOutputs) {
            if (count < capacity && output.inUse && output.saver.configured) surfaces[count++] = &output.saver;
        }
    } else if (window.kind == WaylandWindowKind::Child) {
        WaylandWindow* host = waylandFindHandle(window.parent);
        if (host != nullptr && host->own.configured && capacity > 0) surfaces[count++] = &host->own;
    }
    return count;
}

void waylandHandleEndSignal() {
    if (endSignalHandled || !posixEndRequested()) return;
    endSignalHandled = true;
    posixDrainWakeDescriptor();
    for (WaylandWindow& w : windows) {
        if (w.inUse && !w.destroying && w.kind != WaylandWindowKind::Toplevel) {
            platformPostMessage(waylandHandleOf(w), WM_CLOSE, 0, 0);
        }
    }
}

// --- platform.h: device contexts and client size

DeviceContext platformGetDC(WindowHandle window) { return waylandFindHandle(window); }

void platformReleaseDC(WindowHandle, DeviceContext) {}

ClientSize platformClientSize(WindowHandle window) {
    const ScreenRect rect = platformClientRect(window);
    return {rect.right, rect.bottom};
}

// The full-screen saver's client area is the box around the outputs it covers, as a
// window over the whole screen is on X11 and Windows.
ScreenRect platformClientRect(WindowHandle window) {
    WaylandWindow* w = waylandFindHandle(window);
    if (w == nullptr) return {0, 0, 0, 0};
    const WaylandBox box = waylandPictureBox(*w);
    return {0, 0, box.width, box.height};
}

// --- window_system.h

bool platformRegisterClass(const WindowClassRequest& request) { return queueRegisterClass(request); }

WindowHandle platformCreateWindow(const WindowRequest& request) {
    const WindowProc procedure = queueClassProcedure(request.className);
    WaylandWindow* w = freeRecord();
    if (procedure == nullptr || w == nullptr || waylandDisplay() == nullptr) return nullptr;
    const bool child = (request.style & WS_CHILD) != 0;
    WaylandWindow* host = child ? waylandFindHandle(request.parent) : nullptr;
    if (child && (host == nullptr || host->kind != WaylandWindowKind::Toplevel)) return nullptr;

    *w = WaylandWindow{};
    const WindowHandle handle = waylandHandleOf(*w);
    queueOpenWindow(*w, handle, procedure);
    w->kind = child ? WaylandWindowKind::Child : WaylandWindowKind::FullScreen;
    w->parent = child ? request.parent : nullptr;
    if (!child) {
        // Every output gets its surface now; the compositor's first configure gives
        // each its size before the scene is set up for it.
        if (wayland.layerShell == nullptr) waylandFullScreenToplevel(*w);
        for (WaylandOutput& output : waylandOutputs) {
            if (output.inUse) waylandOutputAdded(output);
        }
        waylandRoundtrip();
        waylandRoundtrip();
    }

    if (w->procedure(handle, WM_CREATE, 0, 0) == -1) {
        destroyWindow(w);
        return nullptr;
    }
    if (waylandFindHandle(handle) != w) return nullptr;
    if ((request.style & WS_VISIBLE) != 0) {
        w->needsPaint = true;
        w->procedure(handle, WM_SHOWWINDOW, 1, 0);
    }
    return waylandFindHandle(handle) == w ? handle : nullptr;
}

WindowHandle platformGetParent(WindowHandle window) {
    const WaylandWindow* w = waylandFindHandle(window);
    return w != nullptr ? w->parent : nullptr;
}

std::int32_t platformColorDepth(DeviceContext) { return 32; }

int platformGetMessage(QueuedMessage& message) {
    waylandHandleEndSignal();
    return queueGetMessage(message);
}

LRESULT platformDefWindowProc(WindowHandle window, std::uint32_t message, WPARAM, LPARAM) {
    return queueDefaultProcessing(window, message);
}

// SetCursor(none): the pointer shows no image over the saver's surfaces from now on.
// Done once, so that asking before every frame costs nothing.
void platformHideCursor() {
    if (cursorHidden || waylandFullScreenWindow() == nullptr) return;
    cursorHidden = true;
    waylandHideCursorNow();
}

// --- The queue's backend calls

QueueWindow& backendQueueWindow(int index) { return windows[index]; }

void backendNoteMessageMade(const QueuedMessage& message) {
    if (message.message != WM_PAINT) return;
    posixNoteFrameStart();
    if (WaylandWindow* w = waylandFindHandle(message.window)) waylandBeginFrame(*w);
}

void backendDestroyWindow(QueueWindow& window) { destroyWindow(static_cast<WaylandWindow*>(&window)); }

// The window mode's own window is a Toplevel record; the host file makes it.
WaylandWindow* waylandClaimRecord() {
    WaylandWindow* w = freeRecord();
    if (w == nullptr) return nullptr;
    *w = WaylandWindow{};
    queueOpenWindow(*w, waylandHandleOf(*w), nullptr);
    w->kind = WaylandWindowKind::Toplevel;
    return w;
}

void waylandCloseChildrenOf(WaylandWindow& host) {
    for (WaylandWindow& w : windows) {
        if (w.inUse && !w.destroying && w.parent == waylandHandleOf(host)) {
            platformPostMessage(waylandHandleOf(w), WM_CLOSE, 0, 0);
        }
    }
}

WaylandBox waylandPictureBox(WaylandWindow& window) {
    WaylandSurface* surfaces[OUTPUT_CAPACITY];
    const int count = waylandDrawingSurfaces(window, surfaces, OUTPUT_CAPACITY);
    if (count == 0) return {0, 0, 0, 0};
    if (surfaces[0]->layer == nullptr) return {0, 0, surfaces[0]->width, surfaces[0]->height};
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    for (int i = 0; i < count; ++i) {
        const WaylandSurface& s = *surfaces[i];
        const int x = s.output->x;
        const int y = s.output->y;
        if (i == 0 || x < left) left = x;
        if (i == 0 || y < top) top = y;
        if (i == 0 || x + s.width > right) right = x + s.width;
        if (i == 0 || y + s.height > bottom) bottom = y + s.height;
    }
    return {left, top, right - left, bottom - top};
}

// A window's paint waits until its surfaces want a frame, so that one frame serves every
// output at the same moment. A surface whose frame callback has not come for a while is
// asleep (its output is off, or hidden) and holds nothing up; while none wants a frame,
// nothing is drawn.
void waylandUpdatePaintHolds() {
    for (WaylandWindow& w : windows) {
        if (!w.inUse || w.procedure == nullptr) continue;
        WaylandSurface* surfaces[OUTPUT_CAPACITY];
        const int count = waylandDrawingSurfaces(w, surfaces, OUTPUT_CAPACITY);
        bool wanted = false;
        bool awaited = false;
        for (int i = 0; i < count; ++i) {
            wanted = wanted || waylandWantsFrame(*surfaces[i]);
            awaited = awaited || waylandAwaitsFrame(*surfaces[i]);
        }
        w.paintHeld = !wanted || awaited;
    }
}

void waylandForgetOutput(WaylandOutput& output) {
    for (WaylandWindow& w : windows) {
        if (w.inUse && w.own.output == &output) w.own.output = waylandFirstOutputBut(&output);
    }
}

void waylandRefitSurfacesOn(WaylandOutput& output) {
    for (WaylandWindow& w : windows) {
        if (w.inUse && w.own.output == &output && w.own.configured) waylandFitBuffer(w.own);
    }
}
