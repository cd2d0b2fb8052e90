#pragma once
// The wide-character calls of a Windows program failing as on the Windows 95 family,
// whose system libraries export them as stubs that fail: a copy of the program has its
// imports of them pointed to the stand-ins of a stub library (stubs/unicode_stubs.cpp).
#include <string>
#include <vector>

// Rewrites the program at path so that each call it imports by name whose name ends in W
// after a lower-case letter or digit (GetModuleHandleW, not ShowWindow) comes from
// library instead (a file beside the driver and beside the program), from its export
// "failing" + the call's name.
// Returns the calls redirected, in import order; a program that imports none is left as
// it was. Fails the case when the file is no PE program, leaves no room for one more
// section header, or imports a wide call for which library has no stand-in.
std::vector<std::string> failWideImports(const std::string& path, const std::string& library);
