// The Wine suite's probe, built by the suite and never shipped. A process keeps the system
// parameters it has once read, so the driver asks a fresh one each time:
//
//   orvel-probe running   exits with the saver-running state, 1 or 0 (2: no answer)
//   orvel-probe           exits with what GetVersionExA says: the platform, the major
//                         and the minor version, a byte each (0 when the query fails);
//                         copied as Orvel.scr, it gets the version Wine gives that name
#include <windows.h>

#include <cstring>

#include "stub_log.h"

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "running") == 0) {
        const int running = stub::saverRunningState();
        return running < 0 ? 2 : running;
    }
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExA(&version)) return 0;
    return int(version.dwPlatformId << 16 | version.dwMajorVersion << 8 | version.dwMinorVersion);
}
