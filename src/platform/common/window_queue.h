#pragma once
// The Windows message queue of the backends that build their own (headless, X11 and
// Wayland), written once: GetMessage's retrieval order (posted messages, then input, then
// the quit message, then paint for the oldest window that still needs it, then a timer
// tick), PeekMessage's search, dispatch, post and send, the quit message, default
// processing of close and paint, timers, invalidation, window classes and registered
// message numbers.
//
// A backend keeps the records of its windows, each a QueueWindow with the backend's own
// fields after it, and supplies the backend calls below: where its records are, how
// it takes input and how it waits for it. The platform calls of window_system.h for
// the queue are defined here; a backend defines platformGetMessage, platformRegisterClass
// and platformDefWindowProc itself, around queueGetMessage, queueRegisterClass and
// queueDefaultProcessing, so that it can add what it needs of its own.
#include <cstdint>

#include "platform/handles.h"
#include "platform/common/message_queue.h"
#include "platform/window_system.h"

// What the queue keeps of each window of the program.
struct QueueWindow {
    bool inUse;
    bool destroying;        // WM_DESTROY has been sent; it is sent once
    std::uint64_t serial;   // creation order: paint goes to the oldest window first
    WindowHandle handle;
    WindowProc procedure;   // null for a window that only hosts others
    bool needsPaint;
    bool paintHeld;         // set by the backend: no paint until its surfaces want a frame
    WindowTimers timers;
};

inline constexpr int QUEUE_WINDOW_CAPACITY = 8;

// --- What each backend supplies

// The record in slot index, 0 to QUEUE_WINDOW_CAPACITY - 1.
QueueWindow& backendQueueWindow(int index);
// The next input for one of the program's windows, as a message; false when none waits.
bool backendTakeInput(QueuedMessage& message);
// Waits for input or for timerDelayMs to pass (-1: no timer will come). False when
// nothing can ever come, so that GetMessage fails instead of blocking for ever.
bool backendWaitForEvents(std::int64_t timerDelayMs);
// A paint request or a timer tick made by the queue, as it is handed out.
void backendNoteMessageMade(const QueuedMessage& message);
// Default processing of WM_CLOSE: the window is destroyed.
void backendDestroyWindow(QueueWindow& window);

// --- What the queue gives the backend

// A record just claimed for a new window, made ready: in use, with its handle and
// procedure, the next serial, no paint due and no timers.
void queueOpenWindow(QueueWindow& window, WindowHandle handle, WindowProc procedure);
// The program's window with that handle, or null.
QueueWindow* queueFindWindow(WindowHandle handle);
// Forgets the messages posted to a window that is going.
void queueForgetWindow(WindowHandle handle);
// The procedure of a registered class, or null.
WindowProc queueClassProcedure(const char* className);
bool queueRegisterClass(const WindowClassRequest& request);
// GetMessage: 1 with a message, 0 with WM_QUIT, -1 when nothing can ever come.
int queueGetMessage(QueuedMessage& message);
// DefWindowProc's part that the queue knows: WM_CLOSE destroys, WM_PAINT validates.
LRESULT queueDefaultProcessing(WindowHandle window, std::uint32_t message);
// Back to the start: no classes, posted messages, quit message or registered numbers.
void queueReset();
