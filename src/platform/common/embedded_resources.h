#pragma once
// Bitmap resources compiled into the program on platforms without resource sections.
// An InstanceHandle on those platforms points at a ResourceTable, so the program, the
// offline renderer and the tests can each look bitmaps up in a table of their own.
#include <cstddef>

struct EmbeddedResource {
    int id;                      // resource number, as in resources/orvel.rc
    const unsigned char* data;   // the whole .bmp (or .ico) file
    std::size_t size;            // its length in bytes
};

struct ResourceTable {
    const EmbeddedResource* items;
    int count;
};

// The program's own bitmaps (IDB_GLOW, IDB_BANNER, IDB_GRID) and its icon file (IDI_ORVEL,
// the whole .ico), generated at build time from resources/*.bmp and resources/orvel.ico.
extern const ResourceTable orvelResources;
