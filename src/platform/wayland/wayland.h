#pragma once
// Shared between the Wayland platform's files: the connection and the globals the
// program binds, the outputs with the saver's surface on each, the records of the
// program's own windows, and the hooks between the window code, the input code and the
// EGL binding. Window handles are small numbers naming a record; a DeviceContext points
// at a WaylandWindow.
#include <cstdint>

#include "platform/handles.h"
#include "platform/common/window_queue.h"
#include "platform/window_system.h"

struct wl_display;
struct wl_registry;
struct wl_compositor;
struct wl_seat;
struct wl_output;
struct wl_surface;
struct wl_egl_window;
struct xdg_wm_base;
struct xdg_surface;
struct xdg_toplevel;
struct zxdg_output_manager_v1;
struct zxdg_output_v1;
struct zwlr_layer_shell_v1;
struct zwlr_layer_surface_v1;

struct WaylandOutput;
struct wl_callback;
struct wl_buffer;
struct wl_shm;
struct wp_viewporter;
struct wp_viewport;
struct wp_fractional_scale_manager_v1;
struct wp_fractional_scale_v1;

// One Wayland surface the program draws in: a layer surface on an output, or the
// surface of an xdg toplevel. Its size, in the compositor's logical units, comes from
// the compositor's configure events; its buffer has the pixels of the output it is on.
struct WaylandSurface {
    wl_surface* surface;
    zwlr_layer_surface_v1* layer;
    xdg_surface* xdg;
    xdg_toplevel* toplevel;
    wl_egl_window* eglWindow;
    void* eglSurface;   // EGLSurface, made once a rendering context exists
    int width;          // logical size
    int height;
    bool configured;    // the first configure has been acknowledged
    WaylandOutput* output;  // the layer surface's output, or the output a toplevel last entered
    int preferredScale;     // wp_fractional_scale_v1's preferred scale in 120ths; 0 when none came
    int bufferScale;        // the integer scale set on the surface (1 with a viewport)
    int bufferWidth;        // the buffer's size in pixels
    int bufferHeight;
    wp_viewport* viewport;
    wp_fractional_scale_v1* fractional;
    wl_buffer* cover;       // the black buffer shown until the first frame, until released
    bool covered;           // the black buffer, or a frame, has been committed
    wl_callback* frameCallback;  // asked with the last frame shown; null once it is done
    std::uint32_t frameAskedAt;  // when, on the tick count
    std::uint32_t frameLatency;  // how long the last one took to come, in ms
    unsigned shown;         // frames shown on this surface
};

// An output (a monitor) of the compositor, with the saver's surface on it while the
// full-screen saver runs.
struct WaylandOutput {
    bool inUse;
    std::uint32_t name;  // the registry's name of the global
    wl_output* output;
    zxdg_output_v1* xdgOutput;
    int x;               // logical position in the compositor's space
    int y;
    int width;           // logical size (0 until known)
    int height;
    int pixelWidth;      // the current mode
    int pixelHeight;
    int scale;           // wl_output's integer scale
    bool logicalKnown;   // position and size came from xdg-output
    bool remakeSaver;    // the compositor closed the saver's surface here; make it again
    std::uint32_t closedAt;  // when it did, on the tick count
    std::uint32_t remakeAt;  // when to make it again
    char label[32];      // the output's name, such as "HEADLESS-1"
    int shownWidth;      // the saver's last picture shown here, in pixels, and their count
    int shownHeight;
    unsigned shown;
    WaylandSurface saver;
};

inline constexpr int OUTPUT_CAPACITY = 8;

enum class WaylandWindowKind { FullScreen, Toplevel, Child };

// Text written on a window's device context since its last frame was shown, drawn over
// the next frame before it is shown (Wayland has no drawing on a surface's shown
// picture). Longer text is cut.
inline constexpr int TEXT_OUT_CAPACITY = 4;
inline constexpr int TEXT_OUT_LENGTH = 16;
struct WaylandTextOut {
    int x;  // the text's top-left corner in the window
    int y;
    int count;
    char text[TEXT_OUT_LENGTH];
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
    bool transparent;  // false: on Windows' default white background
};

// One of the program's windows: what the queue keeps of it, then the Wayland side. The
// full-screen saver draws on every output's layer surface; a toplevel (the window mode's
// own window) hosts one child, which draws on the toplevel's surface.
struct WaylandWindow : QueueWindow {
    WaylandWindowKind kind;
    WindowHandle parent;     // the host of a child; null otherwise
    WaylandSurface own;      // the toplevel's surface
    int viewWidth;           // the drawing surface's size when the viewport was fitted
    int viewHeight;
    int pixelFormat;
    std::uint8_t textRed;    // the device context's text colour and background mode
    std::uint8_t textGreen;
    std::uint8_t textBlue;
    bool transparentText;
    WaylandTextOut texts[TEXT_OUT_CAPACITY];
    int textCount;
};

struct WaylandGlobals {
    wl_display* display;
    wl_compositor* compositor;
    zwlr_layer_shell_v1* layerShell;
    xdg_wm_base* wmBase;
    zxdg_output_manager_v1* outputManager;
    wl_seat* seat;
    wl_shm* shm;
    wp_viewporter* viewporter;
    wp_fractional_scale_manager_v1* fractionalScale;
};
extern WaylandGlobals wayland;
extern WaylandOutput waylandOutputs[OUTPUT_CAPACITY];

// The connection, opened on first use with its globals bound. Null, after one line on
// standard error saying why, when no compositor can be reached.
wl_display* waylandDisplay();
// Ends the program with the lost compositor's exit code and a line saying so.
[[noreturn]] void waylandLostCompositor();
// Waits until the compositor has answered everything sent so far.
void waylandRoundtrip();

// Window handles.
WindowHandle waylandHandleOf(const WaylandWindow& window);
WaylandWindow* waylandFindHandle(WindowHandle handle);
WaylandWindow* waylandFullScreenWindow();
// The window whose device context this is, or null.
WaylandWindow* waylandWindowOfDeviceContext(DeviceContext dc);
// The window a surface belongs to, and the surface's own record; null when it is none
// of the program's.
WaylandWindow* waylandWindowOfSurface(wl_surface* surface, WaylandSurface** record);

// The surfaces a window draws on: every configured output surface for the full-screen
// saver, its own surface for the stand-in, the host's surface for a child.
int waylandDrawingSurfaces(WaylandWindow& window, WaylandSurface** surfaces, int capacity);

// The box that a window's picture spans, in the compositor's logical units: for the
// full-screen saver the box around the outputs it covers, otherwise its one surface,
// at (0, 0).
struct WaylandBox {
    int left;
    int top;
    int width;
    int height;
};
WaylandBox waylandPictureBox(WaylandWindow& window);

// Outputs (outputs.cpp): bound as the registry announces them, with their places,
// sizes, scales and names followed; forgotten as they go.
void waylandAddOutput(wl_registry* registry, std::uint32_t name, std::uint32_t version);
void waylandRemoveOutput(std::uint32_t name);
void waylandWatchOutputPlace(WaylandOutput& output);
WaylandOutput* waylandOutputOf(wl_output* handle);
WaylandOutput* waylandFirstOutput();
WaylandOutput* waylandFirstOutputBut(const WaylandOutput* other);

// The saver's layer surface is made on each output that exists or appears while the
// full-screen saver runs, taken down with its output, and made again when the
// compositor closes it while its output stays. A change of an output's scale or size
// reaches the surfaces on it.
void waylandOutputAdded(WaylandOutput& output);
void waylandOutputRemoved(WaylandOutput& output);
void waylandOutputChanged(WaylandOutput& output);
void waylandRemakeClosedSurfaces();
void waylandReleaseSurface(WaylandSurface& surface);
// The windows' own surfaces on an output that goes, or whose scale changes.
void waylandForgetOutput(WaylandOutput& output);
void waylandRefitSurfacesOn(WaylandOutput& output);

// Each surface's buffer (surface_buffers.cpp): prepared once made (its output, the
// listeners for the output it enters and its preferred scale), fitted to its size and
// its output's density (the black cover at the first fit, the EGL window once a
// rendering context exists), and its parts released with it.
void waylandPrepareSurface(WaylandSurface& surface, WaylandOutput* output);
void waylandFitBuffer(WaylandSurface& surface);
void waylandReleaseSurfaceParts(WaylandSurface& surface);
// Frame callbacks: one asked with each picture shown; a surface wants a frame once it
// has a rendering surface and no callback is outstanding, and awaits one while its
// callback is outstanding but recent.
void waylandAskFrame(WaylandSurface& surface);
bool waylandWantsFrame(const WaylandSurface& surface);
bool waylandAwaitsFrame(const WaylandSurface& surface);
// The paint of each window held until its surfaces want a frame (waylandUpdatePaintHolds
// in window.cpp says when); checked again after every read of the compositor's events.
void waylandUpdatePaintHolds();
// When every output was first covered (0 until then), on posixMicroseconds' clock.
std::uint64_t waylandCoveredMicroseconds();

// The seat's input as window messages, queued for the message queue.
void waylandSeatCapabilities(std::uint32_t capabilities);
void waylandQueueInput(const QueuedMessage& message);
// The pointer's position in the compositor's space, relative to where it was first seen.
CursorPos waylandCursorPosition();
void waylandHideCursorNow();

// A frame (frame_present.cpp): as the paint request is handed out, the surfaces that
// want a frame are chosen and the first is made current with its part of the picture.
void waylandBeginFrame(WaylandWindow& window);

// The backend's own drawing over the scene's (the text): every state saved, then
// identity matrices, the current viewport, and no lighting, fog, depth test, blending,
// alpha test, culling or texturing; the end puts every state back.
void waylandBeginPlainDrawing();
void waylandEndPlainDrawing();

// Draws the text written on the window since its last frame over the picture, a box of
// width x height logical units in the current viewport, with the current rendering
// context, leaving every state as found.
void waylandDrawTexts(const WaylandWindow& window, int width, int height);

// The EGL binding: the surface's EGL window once a context exists, its new size, and
// its end; a surface made current, and its picture shown (false when EGL fails).
void waylandEglAttach(WaylandSurface& surface);
void waylandEglResize(WaylandSurface& surface);
void waylandEglDetach(WaylandSurface& surface);
bool waylandMakeSurfaceCurrent(WaylandSurface& surface);
bool waylandSwapSurface(WaylandSurface& surface);
bool waylandContextCurrent();

// The process arguments as platformStart was given them.
char** waylandArguments();
// Closes the saver's windows, as a close request would, once a signal (SIGTERM, SIGINT)
// has asked the saver to end.
void waylandHandleEndSignal();

// The window mode's toplevel: a record claimed for it, and a close request from the
// compositor handed to the picture inside it.
WaylandWindow* waylandClaimRecord();
void waylandCloseChildrenOf(WaylandWindow& host);
// The full-screen saver as a full-screen toplevel, where there is no layer shell.
void waylandFullScreenToplevel(WaylandWindow& window);

// --- The window mode's window with decorations (decorated_window.cpp)
// Makes the window's own surface a toplevel that has a title bar and a close button:
// drawn by the compositor where it offers them, by libdecor otherwise. The size is the
// window's until the compositor gives one. False when it cannot be made.
bool waylandDecoratedToplevel(WaylandWindow& window, const char* title);
// Lets go of the decorations of a surface about to be destroyed; nothing for others.
void waylandUndecorate(WaylandSurface& surface);
