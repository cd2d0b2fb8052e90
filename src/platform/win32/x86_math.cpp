// The C library's mathematical functions that the 32-bit Orvel.scr calls, on the x87
// unit every processor of the Windows 95 family has (MinGW's own are built for the
// Pentium Pro). The trigonometric instructions take arguments up to 2^63; larger ones
// are first reduced by 2 pi, as the C library does on x86.
#include <cstdint>
#include <cstring>

// C2 of the status word set: the argument was out of range and is left as it was.
#define REDUCE_IF_UNFINISHED  \
    "fnstsw %%ax\n\t"         \
    "testl $0x400, %%eax\n\t" \
    "jz 1f\n\t"               \
    "fldpi\n\t"               \
    "fadd %%st(0)\n\t"        \
    "fxch %%st(1)\n"          \
    "2:\n\t"                  \
    "fprem1\n\t"              \
    "fnstsw %%ax\n\t"         \
    "testl $0x400, %%eax\n\t" \
    "jnz 2b\n\t"              \
    "fstp %%st(1)\n\t"

#define TRIGONOMETRIC(instruction) instruction "\n\t" REDUCE_IF_UNFINISHED instruction "\n1:"

extern "C" {

double sin(double x) {
    long double result;
    __asm__(TRIGONOMETRIC("fsin") : "=t"(result) : "0"((long double)x) : "eax");
    return double(result);
}

double cos(double x) {
    long double result;
    __asm__(TRIGONOMETRIC("fcos") : "=t"(result) : "0"((long double)x) : "eax");
    return double(result);
}

// fsincos leaves the cosine on top and the sine below it.
void sincos(double x, double* sine, double* cosine) {
    long double c, s;
    __asm__(TRIGONOMETRIC("fsincos") : "=t"(c), "=u"(s) : "0"((long double)x) : "eax");
    *sine = double(s);
    *cosine = double(c);
}

double sqrt(double x) {
    long double result;
    __asm__("fsqrt" : "=t"(result) : "0"((long double)x));
    return double(result);
}

// The remainder with the sign of x, taken in steps until fprem reports it complete.
double fmod(double x, double y) {
    long double result;
    __asm__(
        "1:\n\t"
        "fprem\n\t"
        "fnstsw %%ax\n\t"
        "testl $0x400, %%eax\n\t"
        "jnz 1b"
        : "=t"(result)
        : "0"((long double)x), "u"((long double)y)
        : "eax");
    return double(result);
}

double ldexp(double x, int exponent) {
    long double result;
    __asm__("fscale" : "=t"(result) : "0"((long double)x), "u"((long double)exponent));
    return double(result);
}

// x = fraction * 2^exponent with the fraction's magnitude in [0.5, 1); zero, infinities
// and NaN come back unchanged with exponent 0.
float frexpf(float x, int* exponent) {
    std::uint32_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    int biased = int(bits >> 23 & 0xff);
    int shift = 0;
    *exponent = 0;
    if (biased == 0xff || (bits << 1) == 0) return x;
    if (biased == 0) {     // subnormal: scale it into the normal range first
        x *= 33554432.0f;  // 2^25
        std::memcpy(&bits, &x, sizeof bits);
        biased = int(bits >> 23 & 0xff);
        shift = 25;
    }
    *exponent = biased - 126 - shift;
    bits = (bits & 0x807fffffu) | (126u << 23);
    std::memcpy(&x, &bits, sizeof x);
    return x;
}

}  // extern "C"
