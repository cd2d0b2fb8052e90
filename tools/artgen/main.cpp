// orvel-artgen: draws the program's bitmaps and icon into a directory.
// The same program always writes the same bytes, so the files in resources/ can be checked
// against a fresh run.
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "banner.h"
#include "bmp_writer.h"
#include "glow.h"
#include "grid_noise.h"
#include "icon_art.h"
#include "ico_writer.h"
#include "png_writer.h"

namespace {
// The Linux desktop's menus look for an application icon of at least 48 x 48.
constexpr int DESKTOP_ICON_SIZE = 48;

bool writeFile(const std::filesystem::path& path, const ByteBuffer& bytes)
{
    std::FILE* file = std::fopen(path.string().c_str(), "wb");
    if (file == nullptr) {
        std::fprintf(stderr, "orvel-artgen: cannot create %s\n", path.string().c_str());
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        std::fprintf(stderr, "orvel-artgen: cannot write %s\n", path.string().c_str());
        return false;
    }
    return true;
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2 || argv[1][0] == '\0' || argv[1][0] == '-') {
        std::fprintf(stderr,
                     "usage: orvel-artgen OUTDIR\n"
                     "  writes glow.bmp, banner.bmp, grid.bmp, orvel.ico and orvel.png into OUTDIR\n");
        return 2;
    }

    const std::filesystem::path outDir(argv[1]);
    std::error_code error;
    std::filesystem::create_directories(outDir, error);
    if (error) {
        std::fprintf(stderr, "orvel-artgen: cannot create directory %s: %s\n", outDir.string().c_str(),
                     error.message().c_str());
        return 1;
    }

    bool ok = writeFile(outDir / "glow.bmp", encodeBmp24(makeGlowImage()));
    ok = writeFile(outDir / "banner.bmp", encodeBmp24(makeBannerImage())) && ok;
    ok = writeFile(outDir / "grid.bmp", encodeBmp24(makeGridImage())) && ok;
    ok = writeFile(outDir / "orvel.ico", encodeIco({makeIcon16(), makeIcon256()})) && ok;
    ok = writeFile(outDir / "orvel.png", encodePng(makeIconTrueColor(DESKTOP_ICON_SIZE))) && ok;
    return ok ? 0 : 1;
}
