// A stand-in for the Windows 95 family's password component PASSWORD.CPL, built by the
// Wine suite and copied next to Orvel.scr, never shipped. Its VerifyScreenSavePwd asks no
// one: a line "<call number> right|wrong [close] [key] [fault]" of password-control.txt,
// in the library's folder, says what the call does (none: answer wrong):
//
//   right, wrong  the answer: nonzero or 0
//   close         post WM_CLOSE to the saver window and handle the thread's messages for
//                 100 ms, as the password dialog's loop would: the close comes mid-check
//   key           post a key press to the saver window as the call returns
//   fault         start a thread that faults at once, and wait up to 10 s for the fault,
//                 which nothing handles, to end the process
//
// Every event goes to password-log.txt beside it, after the tick count:
//
//   attach running=R, detach running=R  loaded, released (detach exit=1: by the exit)
//   call n=N window=0xW running=R answer=A close=C key=K fault=F
//   pumped n=N close-dispatched=D window-alive=L
//   survived n=N                        the process outlived the fault
//   return n=N answer=A
//   reentered n=N                       a call while another one ran
//   next n=N message=0xM cursor=0xC     after a wrong answer: the saver's next message,
//                                       and the cursor then
//   took n=N message=0xM                then a key press or a close that it took
//   after-close n=N message=0xM         and the message after that close
//
// Built with ORVEL_WITHOUT_VERIFIER it lacks VerifyScreenSavePwd and logs only attach
// and detach. Both have CPlApplet, as every control-panel library does, with no panel.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "stub_log.h"

namespace {

constexpr char LOG[] = "password-log.txt";

#ifndef ORVEL_WITHOUT_VERIFIER

// The control file's line for the call, read afresh at every call; empty when none.
std::string instructionFor(int call) {
    char text[2048] = "";
    if (std::FILE* file = std::fopen(stub::besideSelf("password-control.txt").c_str(), "rb")) {
        text[std::fread(text, 1, sizeof text - 1, file)] = '\0';
        std::fclose(file);
    }
    const std::string first = std::to_string(call) + " ";
    for (char* line = std::strtok(text, "\r\n"); line != nullptr; line = std::strtok(nullptr, "\r\n")) {
        if (std::strncmp(line, first.c_str(), first.size()) == 0) return line;
    }
    return "";
}

int calls = 0;
bool checking = false;

// What the saver does after a wrong answer, seen from inside its own thread: a hook on
// the messages its loop takes. The first one shows whether the cursor was hidden before
// anything else ran; a key press and a close show the quiet period at work; the message
// after a close shows that the close has been handled.
HHOOK afterCheck = nullptr;
int afterCheckCall = 0;
bool sawFirst = false;
bool sawClose = false;

void endAfterCheck() {
    if (afterCheck != nullptr) UnhookWindowsHookEx(afterCheck);
    afterCheck = nullptr;
}

LRESULT CALLBACK afterCheckHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && wParam == PM_REMOVE) {
        const UINT message = reinterpret_cast<const MSG*>(lParam)->message;
        if (!sawFirst) {
            stub::log(LOG, "next n=%d message=0x%04x cursor=0x%llx", afterCheckCall, message,
                      stub::handleNumber(GetCursor()));
        }
        sawFirst = true;
        if (sawClose) {
            stub::log(LOG, "after-close n=%d message=0x%04x", afterCheckCall, message);
            endAfterCheck();
        } else if (message == WM_KEYDOWN || message == WM_CLOSE) {
            stub::log(LOG, "took n=%d message=0x%04x", afterCheckCall, message);
            sawClose = message == WM_CLOSE;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The thread's messages for ms milliseconds, as a modal dialog's loop handles them. One
// message at a time with the clock read in between: the saver never validates its window,
// so there is always a paint request waiting. True when a close reached the window.
bool pumpFor(DWORD ms, HWND window) {
    bool closeDispatched = false;
    const DWORD start = GetTickCount();
    for (DWORD elapsed = 0; elapsed < ms; elapsed = GetTickCount() - start) {
        MSG message;
        if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, QS_ALLINPUT);
            continue;
        }
        if (message.message == WM_QUIT) {
            PostQuitMessage(int(message.wParam));  // not this loop's to end, but the saver's
            break;
        }
        closeDispatched = closeDispatched || (message.message == WM_CLOSE && message.hwnd == window);
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return closeDispatched;
}

#endif

}  // namespace

#ifndef ORVEL_WITHOUT_VERIFIER

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND window) {
    const int call = ++calls;
    if (checking) {
        stub::log(LOG, "reentered n=%d", call);
        return FALSE;
    }
    checking = true;
    endAfterCheck();
    const std::string line = instructionFor(call);
    auto says = [&](const char* word) { return line.find(word) != std::string::npos ? 1 : 0; };
    stub::log(LOG, "call n=%d window=0x%llx running=%d answer=%d close=%d key=%d fault=%d", call,
              stub::handleNumber(window), stub::saverRunningState(), says("right"), says("close"), says("key"),
              says("fault"));
    if (says("fault")) {
        // A thread of the saver's own that starts where no code is. Made here, with the
        // saver's thread waiting, not from outside: Wine makes a thread in another process
        // by interrupting one of its threads, which can deadlock one that is busy drawing.
        HANDLE faulting =
            CreateThread(nullptr, 0, reinterpret_cast<LPTHREAD_START_ROUTINE>(std::uintptr_t(8)), nullptr, 0, nullptr);
        if (faulting != nullptr) WaitForSingleObject(faulting, 10000);
        stub::log(LOG, "survived n=%d", call);
    }
    if (says("close")) {
        PostMessageA(window, WM_CLOSE, 0, 0);
        const bool dispatched = pumpFor(100, window);
        stub::log(LOG, "pumped n=%d close-dispatched=%d window-alive=%d", call, dispatched, IsWindow(window) ? 1 : 0);
    }
    if (says("key")) {
        PostMessageA(window, WM_KEYDOWN, 'K', 0x00250001);
        PostMessageA(window, WM_KEYUP, 'K', LPARAM(0xC0250001));
    }
    if (!says("right")) {
        // The dialog leaves the arrow behind, as a real one would; the saver has to hide it.
        SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)));  // IDC_ARROW
        afterCheckCall = call;
        sawFirst = sawClose = false;
        afterCheck = SetWindowsHookExA(WH_GETMESSAGE, afterCheckHook, nullptr, GetCurrentThreadId());
    }
    stub::log(LOG, "return n=%d answer=%d", call, says("right"));
    checking = false;
    return says("right");
}

#endif

extern "C" __declspec(dllexport) LONG WINAPI CPlApplet(HWND, UINT, LPARAM, LPARAM) { return 0; }

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        stub::self = instance;
        stub::log(LOG, "attach running=%d", stub::saverRunningState());
    } else if (reason == DLL_PROCESS_DETACH) {
#ifndef ORVEL_WITHOUT_VERIFIER
        endAfterCheck();
#endif
        // At the process's end only the fact is logged: user32 may be gone already.
        if (reserved != nullptr) {
            stub::log(LOG, "detach exit=1");
        } else {
            stub::log(LOG, "detach running=%d", stub::saverRunningState());
        }
    }
    return TRUE;
}
