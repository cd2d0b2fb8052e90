// orvel-probe's view of the Wayland requests that cover an output: a wl_surface.attach of
// a buffer followed by a wl_surface.commit is that surface's first picture (the saver's
// black cover, or a floor's first swap). Once ORVEL_PROBE_OUTPUTS surfaces have had
// theirs, the mark is taken where the requests have gone out to the compositor: the
// first sendmsg that succeeds after the last of those commits.
//
// Every request of libwayland-client passes through wl_proxy_marshal_array_flags, which
// its variadic forms call through the library's own PLT, so the program's requests and
// EGL's alike come here. EGL attaches through a proxy wrapper of the surface; a wrapper
// has the object id of the proxy it wraps, so surfaces are told apart by id.
#include <sys/socket.h>

#include <cstdint>
#include <cstring>

#include "probe_internal.h"

namespace {

// wl_surface's request numbers (wayland.xml): attach, commit.
constexpr std::uint32_t SURFACE_ATTACH = 1;
constexpr std::uint32_t SURFACE_COMMIT = 6;
constexpr int SURFACE_CAPACITY = 16;

struct SurfaceState {
    std::uint32_t id;
    bool bufferPending;  // attached a buffer since its last commit
    bool covered;
};

SurfaceState surfaces[SURFACE_CAPACITY];
unsigned coveredCount = 0;
bool coverUnsent = false;  // every output covered; the commit not yet sent

SurfaceState* stateOf(std::uint32_t id) {
    for (SurfaceState& s : surfaces) {
        if (s.id == id) return &s;
    }
    for (SurfaceState& s : surfaces) {
        if (s.id == 0) {
            s = {id, false, false};
            return &s;
        }
    }
    return nullptr;
}

using ClassFunction = const char* (*)(void*);
using IdFunction = std::uint32_t (*)(void*);

void noteRequest(void* proxy, std::uint32_t opcode, const void* firstArgument) {
    if (opcode != SURFACE_ATTACH && opcode != SURFACE_COMMIT) return;
    static ClassFunction classOf = nullptr;
    static IdFunction idOf = nullptr;
    if (probeNextOf(classOf, "wl_proxy_get_class") == nullptr || probeNextOf(idOf, "wl_proxy_get_id") == nullptr) {
        return;
    }
    const char* name = classOf(proxy);
    if (name == nullptr || std::strcmp(name, "wl_surface") != 0) return;
    SurfaceState* state = stateOf(idOf(proxy));
    if (state == nullptr) return;
    if (opcode == SURFACE_ATTACH) {
        void* buffer = nullptr;
        std::memcpy(&buffer, firstArgument, sizeof buffer);  // union wl_argument's .o
        state->bufferPending = buffer != nullptr;
        return;
    }
    if (state->bufferPending && !state->covered) {
        state->covered = true;
        if (++coveredCount == probeOutputs()) coverUnsent = true;
    }
    state->bufferPending = false;
}

}  // namespace

extern "C" {

// union wl_argument is eight bytes; only the first argument of an attach is read.
using MarshalFunction = void* (*)(void*, std::uint32_t, const void*, std::uint32_t, std::uint32_t, void*);
void* wl_proxy_marshal_array_flags(void* proxy, std::uint32_t opcode, const void* interface, std::uint32_t version,
                                   std::uint32_t flags, void* arguments) {
    static MarshalFunction real = nullptr;
    noteRequest(proxy, opcode, arguments);
    return probeNextOf(real, "wl_proxy_marshal_array_flags")(proxy, opcode, interface, version, flags, arguments);
}

using SendFunction = ssize_t (*)(int, const msghdr*, int);
ssize_t sendmsg(int fd, const msghdr* message, int flags) {
    static SendFunction real = nullptr;
    const ssize_t sent = probeNextOf(real, "sendmsg")(fd, message, flags);
    if (coverUnsent && sent > 0) {
        coverUnsent = false;
        probeMark(PROBE_COVERED);
    }
    return sent;
}

}  // extern "C"
