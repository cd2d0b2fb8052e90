// Rate text formatting, built from the seventeen significant digits that identify a
// double; the C library is asked for those digits only, so its own general form (and the
// two-digit exponent it writes on some systems) plays no part.
#include "saver/rate_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int SIGNIFICANT_DIGITS = 5;
constexpr int EXACT_DIGITS = 17;

// value = 0.digits × 10^pointPosition. pointPosition is the number of digits before the
// point when the value is at least 1, 0 from 0.1 to below 1, -1 from 0.01 to below 0.1...
struct DecimalDigits {
    char digits[EXACT_DIGITS];
    int pointPosition;

    char at(int index) const { return index >= 0 && index < EXACT_DIGITS ? digits[index] : '0'; }
};

DecimalDigits decimalDigitsOf(double magnitude) {
    // "d.dddddddddddddddde+xx": the C library rounds these digits correctly.
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.16e", magnitude);
    DecimalDigits result;
    result.digits[0] = buffer[0];
    std::memcpy(result.digits + 1, buffer + 2, EXACT_DIGITS - 1);
    result.pointPosition = std::atoi(buffer + EXACT_DIGITS + 2) + 1;
    return result;
}

// Keeps count digits, rounding half away from zero; a carry out of the first digit
// leaves 1000... and moves the point one place to the right.
void roundToDigits(DecimalDigits& value, int count) {
    const bool roundUp = value.at(count) >= '5';
    std::fill(value.digits + count, value.digits + EXACT_DIGITS, '0');
    if (!roundUp) return;
    int i = count - 1;
    while (i >= 0 && value.digits[i] == '9') value.digits[i--] = '0';
    if (i >= 0) {
        ++value.digits[i];
    } else {
        value.digits[0] = '1';
        ++value.pointPosition;
    }
}

// Appends characters to a buffer long enough for any form written here.
struct TextBuilder {
    char chars[32];
    int length = 0;

    void put(char c) { chars[length++] = c; }
    void put(const char* s) {
        while (*s) put(*s++);
    }
    // Drops the zeros that end a fraction; the point itself stays.
    void trimFractionZeros() {
        while (chars[length - 1] == '0') --length;
    }
};

void writeExponentForm(TextBuilder& out, DecimalDigits value, int digitCount) {
    roundToDigits(value, digitCount);
    out.put(value.at(0));
    out.put('.');
    for (int i = 1; i < digitCount; ++i) out.put(value.at(i));
    out.trimFractionZeros();
    const int exponent = value.pointPosition - 1;
    const int size = std::abs(exponent);  // at most 324 for a double
    out.put('e');
    out.put(exponent < 0 ? '-' : '+');
    out.put(char('0' + size / 100));
    out.put(char('0' + size / 10 % 10));
    out.put(char('0' + size % 10));
}

void writeFixedForm(TextBuilder& out, DecimalDigits value) {
    // The number of decimals follows from the point's place before rounding; a carry
    // (9.99995 to 10.0000) adds a digit in front, not a decimal.
    const int decimals = SIGNIFICANT_DIGITS - value.pointPosition;
    roundToDigits(value, SIGNIFICANT_DIGITS);
    if (value.pointPosition <= 0) out.put('0');
    for (int i = 0; i < value.pointPosition; ++i) out.put(value.at(i));
    if (decimals == 0) return;
    out.put('.');
    for (int i = 0; i < decimals; ++i) out.put(value.at(value.pointPosition + i));
    out.trimFractionZeros();
}

}  // namespace

void formatRateText(double rate, char (&text)[RATE_TEXT_CAPACITY]) {
    TextBuilder out;
    if (std::isnan(rate)) {
        out.put("nan");
    } else if (std::isinf(rate)) {
        out.put(rate < 0 ? "-inf" : "inf");
    } else {
        const bool negative = rate < 0;
        if (negative) out.put('-');
        const DecimalDigits value = decimalDigitsOf(std::fabs(rate));
        if (value.pointPosition < 0 || value.pointPosition > SIGNIFICANT_DIGITS) {
            writeExponentForm(out, value, negative ? SIGNIFICANT_DIGITS - 1 : SIGNIFICANT_DIGITS);
        } else {
            writeFixedForm(out, value);
        }
    }
    const int length = std::min(out.length, RATE_TEXT_CAPACITY - 1);
    std::memcpy(text, out.chars, std::size_t(length));
    text[length] = '\0';
}
