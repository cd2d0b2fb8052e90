#pragma once
// The frame rate as text, in the general form of the Windows run-time library with five
// significant digits:
// - a rate from 0.1 to below 100000 (judged before rounding) is written in fixed form
//   with five significant digits: 59.94, 0.66667, 12346;
// - anything else in exponent form, one digit before the point and a signed
//   three-digit exponent: 5.e-002, 1.2346e+005;
// - zeros that end the fraction are dropped but the point stays: 60., 1.e+300.
// Digits are rounded half away from zero. The text always fits RATE_TEXT_CAPACITY bytes
// with its terminating zero: infinities and NaN are written as inf, -inf and nan, and a
// negative rate in exponent form gives up its last digit to make room for the sign.

inline constexpr int RATE_TEXT_CAPACITY = 12;

void formatRateText(double rate, char (&text)[RATE_TEXT_CAPACITY]);
