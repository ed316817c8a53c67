#include "common/number_text.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

using lekta::number_text;

TEST(NumberText, GeneralFormatUnderBothSeparators)
{
    EXPECT_EQ(number_text(125.0L / 10, ","), "12,5");
    EXPECT_EQ(number_text(125.0L / 10, "."), "12.5");
    EXPECT_EQ(number_text(1000.0L / 10, ","), "100");
    EXPECT_EQ(number_text(12345.0L / 1000, ","), "12,345");
    EXPECT_EQ(number_text(0, ","), "0");
    EXPECT_EQ(number_text(-5.0L / 1000, ","), "-0,005");
    EXPECT_EQ(number_text(1.0L / 10000, ","), "0,0001");
    // Results are unsigned 32-bit thousandths: all digits survive.
    EXPECT_EQ(number_text(4294967295.0L / 1000, ","), "4294967,295");
    // Fifteen significant digits, the last one rounded.
    EXPECT_EQ(number_text(1.0L / 3, "."), "0.333333333333333");
    EXPECT_EQ(number_text(2.0L / 3, "."), "0.666666666666667");
    // A separator of more than one byte goes in whole.
    EXPECT_EQ(number_text(2.5L, "\u066B"), "2\u066B5");
}

TEST(NumberText, ExponentOnlyForTinyOrHugeValues)
{
    EXPECT_EQ(number_text(0.00001L, ","), "0,00001");
    EXPECT_EQ(number_text(0.0000015L, ","), "1,5E-6");
    EXPECT_EQ(number_text(123456789012345.0L, ","), "123456789012345");
    EXPECT_EQ(number_text(1e20L, ","), "1E20");
}

TEST(NumberText, ParsesWhatItWrites)
{
    lekta::testing::ScopedSeparator comma(",");
    EXPECT_DOUBLE_EQ(lekta::parse_number("12,345"), 12.345);
    EXPECT_DOUBLE_EQ(lekta::parse_number("-0,2"), -0.2);
    EXPECT_DOUBLE_EQ(lekta::parse_number("1,5E-6"), 1.5e-6);
    EXPECT_THROW(lekta::parse_number(""), lekta::ConvertError);
    EXPECT_THROW(lekta::parse_number("12,3x"), lekta::ConvertError);
    EXPECT_THROW(lekta::parse_number("inf"), lekta::ConvertError);
    EXPECT_DOUBLE_EQ(lekta::parse_number("+12,5"), 12.5);
    EXPECT_DOUBLE_EQ(lekta::parse_number(" 7 "), 7.0);
    EXPECT_THROW(lekta::parse_number("+-1"), lekta::ConvertError);
    EXPECT_THROW(lekta::parse_number("0x1A"), lekta::ConvertError);
    EXPECT_THROW(lekta::parse_number("1e999"), lekta::ConvertError);
    lekta::number_format().decimal_separator = ".";
    EXPECT_DOUBLE_EQ(lekta::parse_number("12.5"), 12.5);
}

// The application object sets the C library's locale from the environment;
// under Russian settings printf and strtod then use a decimal comma. The
// number texts must not notice.
TEST(NumberText, IndependentOfTheCLibrarysLocale)
{
    lekta::testing::ScopedCLocale russian("ru_RU.UTF-8");
    if (!russian.ok())
        GTEST_SKIP() << "the ru_RU.UTF-8 locale is not installed";
    EXPECT_EQ(number_text(12.345L, ","), "12,345");
    EXPECT_EQ(number_text(2.0L, ","), "2");
    EXPECT_EQ(number_text(0.0000015L, "."), "1.5E-6");
    lekta::testing::ScopedSeparator comma(",");
    EXPECT_DOUBLE_EQ(lekta::parse_number("12,5"), 12.5);
    EXPECT_DOUBLE_EQ(lekta::parse_number("12.5"), 12.5);
    EXPECT_DOUBLE_EQ(lekta::parse_number("-0,2E3"), -200.0);
}

TEST(NumberText, IntegersAsTheSettingsStoreThem)
{
    EXPECT_EQ(lekta::parse_integer("16711680"), 16711680);
    EXPECT_EQ(lekta::parse_integer("-16777201"), -16777201);
    for (const char* bad : {"", "red", "12 ", "0x10", "+", "1.5"}) {
        try {
            lekta::parse_integer(bad);
            ADD_FAILURE() << bad;
        } catch (const lekta::ConvertError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "'" + std::string(bad) + "' is not a valid integer value");
        }
    }
    // A width or an offset is 32 bits: one past either end is refused, not wrapped.
    EXPECT_EQ(lekta::parse_int("2147483647"), 2147483647);
    EXPECT_EQ(lekta::parse_int("-2147483648"), -2147483647 - 1);
    EXPECT_THROW(lekta::parse_int("2147483648"), lekta::ConvertError);
    EXPECT_THROW(lekta::parse_int("-2147483649"), lekta::ConvertError);
}

TEST(NumberText, FixedPointTextsMatchTheGeneralFormat)
{
    lekta::testing::ScopedSeparator comma(",");
    // The last three: 15 significant digits are written exactly; with more,
    // the general format rounds to 15 (found by the number fuzz target).
    const long long values[] = {0,
                                5,
                                10,
                                125,
                                785,
                                1000,
                                12345,
                                65535,
                                305123,
                                4294967295LL,
                                -5,
                                -12500,
                                100000,
                                999999999999999LL,
                                1000000000000001LL,
                                578712552248181753LL};
    for (long long v : values)
        for (int d : {1, 2, 3, 4}) {
            long double scale = 1;
            for (int i = 0; i < d; ++i)
                scale *= 10;
            EXPECT_EQ(lekta::decimal_text(v, d), number_text(static_cast<long double>(v) / scale))
                << v << " " << d;
        }
}
