#pragma once
// Reads a bitmap resource of the program point by point, the way the texture loader
// wants it: open it, ask for the colour of any point, close it. Each platform reads its
// own kind of resource (bitmap_source_embedded.cpp, win32/bitmap_source.cpp).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "platform/handles.h"

// The colour reported for a point outside the bitmap.
inline constexpr std::uint32_t BITMAP_POINT_OUTSIDE = 0xFFFFFFFF;

// Room for what a reader keeps between open and close.
inline constexpr std::size_t BITMAP_READER_STATE_BYTES = 2 * sizeof(void*);

struct BitmapSource {
    int width = 0;
    int height = 0;
    // The reader's own state: the decoded rows of an embedded bitmap, or the memory
    // device context and bitmap of a Windows resource. Each reader defines its state in
    // its own source file and keeps it here as bytes (keepReaderState); nobody else
    // reads it.
    unsigned char readerState[BITMAP_READER_STATE_BYTES] = {};
};

// A reader's state, copied into the source and out again.
template <typename State>
void keepReaderState(BitmapSource& source, const State& state) {
    static_assert(sizeof(State) <= sizeof(BitmapSource::readerState) && std::is_trivially_copyable_v<State>);
    std::memcpy(source.readerState, &state, sizeof state);
}
template <typename State>
State keptReaderState(const BitmapSource& source) {
    State state;
    std::memcpy(&state, source.readerState, sizeof state);
    return state;
}

// Opens bitmap resource `resourceId` (its low 16 bits) of the module `instance`. False
// when it cannot be found or read; nothing needs closing then.
bool openBitmap(BitmapSource& source, InstanceHandle instance, int resourceId);

// The colour of point (x, y), y counted from the top, as 0x00BBGGRR, or
// BITMAP_POINT_OUTSIDE for a point outside the bitmap.
std::uint32_t bitmapPoint(const BitmapSource& source, int x, int y);

void closeBitmap(BitmapSource& source);
