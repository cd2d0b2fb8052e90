#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdlib>
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

// Fixed form from 0.1 to below 100000; otherwise d.dddde±ddd with the zeros that end
// the fraction dropped but the point kept.
bool hasExpectedShape(const std::string& text, double rate) {
    const std::size_t e = text.find('e');
    if (rate < 0.1 || rate >= 100000.0) {
        if (e == std::string::npos || e < 2 || text[1] != '.' || text.size() != e + 5) return false;
        if (text[e + 1] != '+' && text[e + 1] != '-') return false;
        return e == 2 || text[e - 1] != '0';
    }
    if (e != std::string::npos) return false;
    const std::size_t point = text.find('.');
    return point == std::string::npos ? text.size() >= 5 : text.back() != '0' || point + 1 == text.size();
}

}  // namespace

TEST(RateText, GeneralFormWithThreeExponentDigits) {
    const double inf = std::numeric_limits<double>::infinity();
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
        // Non-finite and negative rates stay inside the buffer.
        {inf, "inf"}, {-inf, "-inf"}, {std::numeric_limits<double>::quiet_NaN(), "nan"},
        {-12.5, "-12.5"}, {-1.23456e-10, "-1.235e-010"}, {-DBL_MAX, "-1.798e+308"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(rateText(c.rate), c.text) << "rate " << c.rate;
    }
}

TEST(RateText, EveryMagnitudeReadsBackWithinFiveDigits) {
    // Mantissas from 1 to 10 at every decimal exponent of a double.
    const double mantissas[] = {1.0, 1.00004, 1.23456789, 2.5, 3.14159265, 4.99995,
                                5.0, 6.02214076, 7.77777, 9.87654321, 9.9999, 9.99999};
    for (int exponent = -323; exponent <= 307; ++exponent) {
        for (double m : mantissas) {
            const double rate = m * std::pow(10.0, exponent);
            if (!std::isfinite(rate) || rate == 0.0) continue;
            const std::string text = rateText(rate);
            ASSERT_LE(text.size(), 11u) << rate;
            ASSERT_TRUE(hasExpectedShape(text, rate)) << text << " for " << rate;
            const double back = std::strtod(text.c_str(), nullptr);
            // Subnormals carry fewer significant bits than five digits need.
            const double tolerance = rate < DBL_MIN ? 1e-3 : 5.0001e-5;
            ASSERT_LE(std::fabs(back - rate), tolerance * rate) << text << " for " << rate;
        }
    }
}
