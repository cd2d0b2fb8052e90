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

TEST(RateText, FixedFormKeepsFiveSignificantDigits) {
    EXPECT_EQ(rateText(64 / 1.014), "63.116");
    EXPECT_EQ(rateText(1 / 1.5), "0.66667");
    EXPECT_EQ(rateText(59.94), "59.94");
    EXPECT_EQ(rateText(0.5), "0.5");
    EXPECT_EQ(rateText(0.1), "0.1");
    EXPECT_EQ(rateText(12345.6), "12346");
    EXPECT_EQ(rateText(10000.0), "10000");
    EXPECT_EQ(rateText(99999.4), "99999");
}

TEST(RateText, FractionZerosGoButThePointStays) {
    EXPECT_EQ(rateText(60.0), "60.");
    EXPECT_EQ(rateText(1.0), "1.");
    EXPECT_EQ(rateText(100.0), "100.");
    EXPECT_EQ(rateText(0.0), "0.");
    EXPECT_EQ(rateText(0.05), "5.e-002");
    EXPECT_EQ(rateText(1e300), "1.e+300");
}

TEST(RateText, ExponentFormBelowATenthAndFromOneHundredThousand) {
    EXPECT_EQ(rateText(0.099999), "9.9999e-002");
    EXPECT_EQ(rateText(0.0123456), "1.2346e-002");
    EXPECT_EQ(rateText(100000.0), "1.e+005");
    EXPECT_EQ(rateText(123456.0), "1.2346e+005");
    EXPECT_EQ(rateText(1e-300), "1.e-300");
    EXPECT_EQ(rateText(DBL_MAX), "1.7977e+308");
    EXPECT_EQ(rateText(std::numeric_limits<double>::denorm_min()), "4.9407e-324");
}

TEST(RateText, RoundsHalfAwayFromZeroAndCarries) {
    // Binary-exact halves, where a round-half-even library would go down.
    EXPECT_EQ(rateText(2.03125), "2.0313");
    EXPECT_EQ(rateText(12344.5), "12345");
    // A carry adds a digit in front; the form was chosen before rounding.
    EXPECT_EQ(rateText(9.99995), "10.");
    EXPECT_EQ(rateText(0.9999951), "1.");
    EXPECT_EQ(rateText(99999.5), "100000");
    EXPECT_EQ(rateText(0.0999996), "1.e-001");
    EXPECT_EQ(rateText(999996.0), "1.e+006");
}

TEST(RateText, NonFiniteAndNegativeRatesStayInsideTheBuffer) {
    EXPECT_EQ(rateText(std::numeric_limits<double>::infinity()), "inf");
    EXPECT_EQ(rateText(-std::numeric_limits<double>::infinity()), "-inf");
    EXPECT_EQ(rateText(std::numeric_limits<double>::quiet_NaN()), "nan");
    EXPECT_EQ(rateText(-12.5), "-12.5");
    EXPECT_EQ(rateText(-0.05), "-5.e-002");
    EXPECT_EQ(rateText(-1.23456e-10), "-1.235e-010");
    EXPECT_EQ(rateText(-DBL_MAX), "-1.798e+308");
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
