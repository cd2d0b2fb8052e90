#pragma once
// The running program's own file and the programs that lie beside it in its directory:
// orvel and orvel-wayland, which hand over to each other, and the tools, which run one
// another. Found through /proc/self/exe, so on Linux only.
#include <string>

// The running program's file; "/proc/self/exe" itself when that link cannot be read.
std::string ownProgramPath();

// The program of that name in the running program's directory; the name alone when
// the running program's file cannot be found.
std::string programBeside(const char* name);
