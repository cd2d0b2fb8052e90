#pragma once
// Little-endian byte output for the file encoders.
#include <cstdint>
#include <vector>

using ByteBuffer = std::vector<unsigned char>;

inline void putU8(ByteBuffer& out, unsigned value)
{
    out.push_back(static_cast<unsigned char>(value & 0xFFu));
}

inline void putU16(ByteBuffer& out, unsigned value)
{
    putU8(out, value);
    putU8(out, value >> 8);
}

inline void putU32(ByteBuffer& out, std::uint32_t value)
{
    putU16(out, value & 0xFFFFu);
    putU16(out, value >> 16);
}

inline void putZeros(ByteBuffer& out, std::size_t count)
{
    out.insert(out.end(), count, 0);
}
