// The Wine suite's reader of the saver-running state, built by the suite and never
// shipped. A process keeps the system parameters it has read, so the driver asks a fresh
// one each time: the exit code is what SPI_GETSCREENSAVERRUNNING says now, 1 or 0, or 2
// when the query fails.
#include "stub_log.h"

int main() {
    const int running = stub::saverRunningState();
    return running < 0 ? 2 : running;
}
