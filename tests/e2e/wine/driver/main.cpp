// orvel-wine-driver: runs one end-to-end case of Orvel.scr under Wine and ends with 0 when
// it passes, 1 when it fails and 2 on bad use. Every wait has a deadline; whatever
// Orvel.scr processes a case started are ended before the driver exits.
//
//   orvel-wine-driver CASE [ORVEL_SCR]
#include <cstdio>
#include <cstring>

#include "cases.h"
#include "harness.h"

namespace {

struct Case {
    const char* name;
    void (*run)();
    bool needsSaver;
};

const Case CASES[] = {
    {"fullscreen", fullScreenCase, true},
    {"single-instance", singleInstanceCase, true},
    {"refusals", refusalsCase, true},
    {"crash-guard", crashGuardCase, true},
    {"preview", previewCase, true},
    {"configure-ok", configureOkCase, true},
    {"configure-leaves-file", configureLeavesFileCase, true},
    {"configure-read-only", configureReadOnlyCase, true},
    {"configure-unsaved", configureUnsavedCase, true},
    {"profile-reader", profileReaderCase, false},
    {"win98-version", versionProbeCase, false},
    {"password-verify", passwordVerifyCase, true},
    {"password-none", passwordNoneCase, true},
    {"password-preview", passwordPreviewCase, true},
    {"password-autoplay", passwordAutoplayCase, true},
    {"password-crash-guard", passwordCrashGuardCase, true},
    {"change-password", changePasswordCase, true},
    {"password-nt", passwordNtCase, true},
};

int usage() {
    std::fprintf(stderr, "usage: orvel-wine-driver CASE [ORVEL_SCR]\ncases:");
    for (const Case& c : CASES) std::fprintf(stderr, " %s", c.name);
    std::fprintf(stderr, "\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    for (const Case& c : CASES) {
        if (std::strcmp(argv[1], c.name) != 0) continue;
        if (c.needsSaver) {
            if (argc < 3) return usage();
            setSaverPath(argv[2]);
        }
        std::printf("== %s\n", c.name);
        std::fflush(stdout);
        int result = 0;
        try {
            c.run();
            std::printf("PASS %s\n", c.name);
        } catch (const CaseFailure& failure) {
            std::printf("FAIL %s: %s\n", c.name, failure.what());
            result = 1;
        }
        terminateAll();
        std::fflush(stdout);
        return result;
    }
    return usage();
}
