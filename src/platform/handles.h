#pragma once
// Opaque handles that pass between the portable code and the platform layer. Their
// meaning belongs to the platform: HWND/HDC/HINSTANCE on Windows, X11 records on Linux,
// a plain record in headless runs. Where bitmaps are compiled into the program, an
// InstanceHandle points at a ResourceTable (platform/common/embedded_resources.h).
#include <cstdint>
#include <type_traits>

using WindowHandle = void*;
using DeviceContext = void*;
using InstanceHandle = const void*;
using ModuleHandle = void*;   // a library loaded by name
using RegistryKey = void*;    // an open registry key

// Window-procedure parameters and result: pointer-wide, since a handle travels in them,
// and the very types windows.h gives WPARAM, LPARAM and LRESULT, so that a backend
// including both sees one declaration. windows.h makes the signed ones long where long
// is pointer-wide (32-bit Windows; Linux), else long long (64-bit Windows).
using PointerWideLong = std::conditional_t<sizeof(long) == sizeof(void*), long, long long>;
static_assert(sizeof(PointerWideLong) == sizeof(void*));
using WPARAM = std::uintptr_t;
using LPARAM = PointerWideLong;
using LRESULT = PointerWideLong;

// A window procedure, and a dialog procedure (which answers whether it handled the
// message).
using WindowProc = LRESULT (*)(WindowHandle window, std::uint32_t message, WPARAM wParam, LPARAM lParam);
using DialogProc = std::intptr_t (*)(WindowHandle dialog, std::uint32_t message, WPARAM wParam, LPARAM lParam);

// Any entry point found in a library; cast to its real type before calling.
using ProcAddress = void (*)();
