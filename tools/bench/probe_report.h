#pragma once
// The line orvel-probe writes for orvel-bench --x11 and --wayland, shared by both sides:
//   probe <marks...> <counts...> <places...>
// marks: PROBE_MARK_COUNT times, ns since the launcher's exec, -1 when not reached;
// counts: for each period (cumulative from the probe's start to the period's end) and
// each kind, Orvel's code then the libraries; places: PROBE_PLACE_COUNT offsets (hex)
// into the executable where Orvel's code allocated after frame 1, 0 when unused.

inline constexpr char PROBE_REPORT_TAG[] = "probe";

enum ProbeMark {
    PROBE_LOADED,      // the probe's constructor: the libraries are loaded
    PROBE_MAIN,        // main entered
    PROBE_DISPLAY,     // XOpenDisplay or wl_display_connect returned
    PROBE_DRIVER_OPEN, // the dlopen of Mesa's driver (a *_dri.so) called
    PROBE_DRIVER,      // that dlopen returned
    PROBE_CONTEXT,     // glXCreateContext or eglCreateContext returned a context
    PROBE_CURRENT,     // glXMakeCurrent or eglMakeCurrent made a context current
    PROBE_MAPPED,      // the first XMapRaised or XMapWindow returned (X11 only)
    PROBE_COVERED,     // Wayland: every output's surface has had its first buffer committed,
                       // and the request has gone to the compositor (ORVEL_PROBE_OUTPUTS
                       // surfaces, 1 unless set)
    PROBE_FIRST_SWAP,  // the first glXSwapBuffers or eglSwapBuffers returned: the first
                       // frame is presented
    PROBE_EVERY_SWAP,  // swap number ORVEL_PROBE_OUTPUTS returned: with one swap an output
                       // a frame, the first frame is presented on every output
    PROBE_MARK_COUNT
};

enum ProbeKind { PROBE_NEW, PROBE_DELETE, PROBE_MALLOC, PROBE_FREE, PROBE_KIND_COUNT };

// Counts are taken when the window is mapped, when frame 1 ends and when the last frame
// ends.
enum ProbePeriod { PROBE_SETUP, PROBE_FIRST_FRAME, PROBE_LATER_FRAMES, PROBE_PERIOD_COUNT };

inline constexpr int PROBE_PLACE_COUNT = 8;
