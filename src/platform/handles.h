#pragma once
// Opaque handles that pass between the portable code and the platform layer. Their
// meaning belongs to the platform: HWND/HDC/HINSTANCE on Windows, X11 records on Linux,
// a plain surface record in headless runs. Where bitmaps are compiled into the program,
// an InstanceHandle points at a ResourceTable (platform/embedded_resources.h).
using WindowHandle = void*;
using DeviceContext = void*;
using InstanceHandle = const void*;
