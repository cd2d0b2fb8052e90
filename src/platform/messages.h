#pragma once
// Window messages, styles and other numbers of the saver's window procedures, with the
// values Windows gives them. Every platform layer turns its events into these messages,
// so the window-procedure chain is the same everywhere. Windows' own platform files take
// these names from windows.h and do not include this header.
#include <cstdint>

#include "platform/handles.h"

inline constexpr std::uint32_t WM_CREATE = 0x0001;
inline constexpr std::uint32_t WM_DESTROY = 0x0002;
inline constexpr std::uint32_t WM_SETTEXT = 0x000C;
inline constexpr std::uint32_t WM_PAINT = 0x000F;
inline constexpr std::uint32_t WM_CLOSE = 0x0010;
inline constexpr std::uint32_t WM_QUIT = 0x0012;
inline constexpr std::uint32_t WM_SHOWWINDOW = 0x0018;
inline constexpr std::uint32_t WM_ACTIVATEAPP = 0x001C;
inline constexpr std::uint32_t WM_SETCURSOR = 0x0020;
inline constexpr std::uint32_t WM_POWER = 0x0048;
inline constexpr std::uint32_t WM_HELP = 0x0053;
inline constexpr std::uint32_t WM_CONTEXTMENU = 0x007B;
inline constexpr std::uint32_t WM_KEYDOWN = 0x0100;
inline constexpr std::uint32_t WM_KEYUP = 0x0101;
inline constexpr std::uint32_t WM_CHAR = 0x0102;
inline constexpr std::uint32_t WM_SYSKEYDOWN = 0x0104;
inline constexpr std::uint32_t WM_SYSKEYUP = 0x0105;
inline constexpr std::uint32_t WM_INITDIALOG = 0x0110;
inline constexpr std::uint32_t WM_COMMAND = 0x0111;
inline constexpr std::uint32_t WM_SYSCOMMAND = 0x0112;
inline constexpr std::uint32_t WM_TIMER = 0x0113;
inline constexpr std::uint32_t WM_MOUSEMOVE = 0x0200;
inline constexpr std::uint32_t WM_LBUTTONDOWN = 0x0201;
inline constexpr std::uint32_t WM_LBUTTONUP = 0x0202;
inline constexpr std::uint32_t WM_LBUTTONDBLCLK = 0x0203;
inline constexpr std::uint32_t WM_RBUTTONDOWN = 0x0204;
inline constexpr std::uint32_t WM_RBUTTONUP = 0x0205;
inline constexpr std::uint32_t WM_MBUTTONDOWN = 0x0207;
inline constexpr std::uint32_t WM_MBUTTONUP = 0x0208;
inline constexpr std::uint32_t WM_MOUSEWHEEL = 0x020A;
inline constexpr std::uint32_t WM_XBUTTONDOWN = 0x020B;
inline constexpr std::uint32_t WM_XBUTTONUP = 0x020C;
inline constexpr std::uint32_t WM_MOUSEHWHEEL = 0x020E;
inline constexpr std::uint32_t WM_POWERBROADCAST = 0x0218;
inline constexpr std::uint32_t WM_APP = 0x8000;

// WM_SYSCOMMAND commands.
inline constexpr std::uintptr_t SC_NEXTWINDOW = 0xF040;
inline constexpr std::uintptr_t SC_PREVWINDOW = 0xF050;
inline constexpr std::uintptr_t SC_SCREENSAVE = 0xF140;

// Mouse-key flags of a mouse message's wParam, the extra buttons' numbers, and one notch
// of the wheel.
inline constexpr WPARAM MK_LBUTTON = 0x0001;
inline constexpr WPARAM MK_RBUTTON = 0x0002;
inline constexpr WPARAM MK_SHIFT = 0x0004;
inline constexpr WPARAM MK_CONTROL = 0x0008;
inline constexpr WPARAM MK_MBUTTON = 0x0010;
inline constexpr WPARAM XBUTTON1 = 0x0001;
inline constexpr WPARAM XBUTTON2 = 0x0002;
inline constexpr int WHEEL_DELTA = 120;

// Key message lParam bits: Alt held, the previous state, and the transition of a release.
inline constexpr LPARAM KEY_ALT_DOWN = LPARAM(1) << 29;
inline constexpr LPARAM KEY_WAS_DOWN = LPARAM(1) << 30;
inline constexpr LPARAM KEY_RELEASED = LPARAM(1) << 31;

// WM_POWER's critical resume.
inline constexpr std::uintptr_t PWR_CRITICALRESUME = 3;

// Dialog commands and check-box messages.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr std::uint32_t BM_GETCHECK = 0x00F0;
inline constexpr std::uint32_t BM_SETCHECK = 0x00F1;
inline constexpr std::uint32_t BST_UNCHECKED = 0;
inline constexpr std::uint32_t BST_CHECKED = 1;

// Window styles of the two saver windows, and the top-most extended style.
inline constexpr std::uint32_t WS_POPUP = 0x80000000;
inline constexpr std::uint32_t WS_CHILD = 0x40000000;
inline constexpr std::uint32_t WS_VISIBLE = 0x10000000;
inline constexpr std::uint32_t WS_CLIPSIBLINGS = 0x04000000;
inline constexpr std::uint32_t WS_CLIPCHILDREN = 0x02000000;
inline constexpr std::uint32_t WS_EX_TOPMOST = 0x00000008;

// Class styles.
inline constexpr std::uint32_t CS_VREDRAW = 0x0001;
inline constexpr std::uint32_t CS_HREDRAW = 0x0002;
inline constexpr std::uint32_t CS_DBLCLKS = 0x0008;
inline constexpr std::uint32_t CS_OWNDC = 0x0020;

// PeekMessage removal flags.
inline constexpr std::uint32_t PM_REMOVE = 0x0001;
inline constexpr std::uint32_t PM_NOYIELD = 0x0002;

// SystemParametersInfo: whether a screen saver is running.
inline constexpr std::uint32_t SPI_SCREENSAVERRUNNING = 97;

// The version query's platform identifier of the Windows 95 family.
inline constexpr std::uint32_t VER_PLATFORM_WIN32_WINDOWS = 1;
