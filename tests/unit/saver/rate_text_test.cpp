#include <gtest/gtest.h>

#include <cfloat>
#include <cstring>
#include <limits>
#include <string>

#include "saver/rate_text.h"

namespace {

std::string rateText(double rate) {
    char text[RATE_TEXT_CAPACITY];
    std::memset(text, 'x', sizeof text);
    formatRateText(rate, text);
    EXPECT_NE(std::memchr(text, '\0', sizeof text), nullptr) << "no terminator for " << rate;
    return std::string(text, strnlen(text, sizeof text));
}

}  // namespace

TEST(RateText, GeneralFormWithThreeExponentDigits) {
    const struct {
        double rate;
        const char* text;
    } cases[] = {
        // Fixed form with five significant digits.
        {64 / 1.014, "63.116"}, {1 / 1.5, "0.66667"}, {59.94, "59.94"}, {0.1, "0.1"},
        {12345.6, "12346"}, {99999.4, "99999"},
        // Zeros that end the fraction go; the point stays.
        {60.0, "60."}, {100.0, "100."}, {0.0, "0."}, {0.05, "5.e-002"}, {1e300, "1.e+300"},
        // Exponent form below a tenth and from one hundred thousand.
        {0.099999, "9.9999e-002"}, {100000.0, "1.e+005"}, {123456.0, "1.2346e+005"},
        {DBL_MAX, "1.7977e+308"}, {std::numeric_limits<double>::denorm_min(), "4.9407e-324"},
        // Halves round away from zero (a round-half-even library would go down); a carry
        // adds a digit, the form having been chosen before rounding.
        {2.03125, "2.0313"}, {12344.5, "12345"}, {9.99995, "10."}, {99999.5, "100000"},
        {0.0999996, "1.e-001"}, {999996.0, "1.e+006"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(rateText(c.rate), c.text) << "rate " << c.rate;
    }
}

