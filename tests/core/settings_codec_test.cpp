// Number and flag values as stored text.
#include "core/settings_codec.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {
using namespace tsly;
constexpr std::int32_t kMin = INT32_MIN, kMax = INT32_MAX, kDef = 327;

TEST(SettingsCodec, ParseNumber) {
    struct Case { const char* text; std::int32_t value; };
    const Case cases[] = {
        {" 42", 42},       {"-7", -7},         {"  -7", -7},         {"+5", 5},
        {"007", 7},        {"$10", 16},        {"0x10", 16},         {"$ff", 255},
        {"$FFFFFFFF", -1}, {"0x80000000", kMin}, {"2147483647", kMax}, {"-2147483648", kMin},
        {"abc", kDef},     {"", kDef},         {"   ", kDef},        {"42 ", kDef},
        {"4 2", kDef},     {"-", kDef},        {"0x", kDef},         {"$", kDef},
        {"$G", kDef},      {"--1", kDef},      {"４２", kDef},       {"2147483648", kDef},
        {"-2147483649", kDef}, {"$100000000", kDef}, {"18446744073709551617", kDef},
        {"0x1F4", 500},    {"0X1F4", kDef},    {"$9aF", 0x9AF},     {"0xA0", 160},
        {"19", 19},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseNumber(c.text, kDef), c.value) << '"' << c.text << '"';
    const std::vector<char> blank(1, ' ');  // no terminator after it to stop a scan
    EXPECT_EQ(ParseNumber(std::string_view(blank.data(), 1), kDef), kDef);
}

TEST(SettingsCodec, ParseFlag) {
    struct Case { const char* text; int value; };  // -1: the default
    const Case cases[] = {{"1", 1}, {"2", 1},    {"-1", 1}, {"0x1", 1}, {"0", 0},
                          {" 0", 0}, {"yes", -1}, {"", -1},  {"1 ", -1}, {"true", -1}};
    for (const Case& c : cases)
        for (bool fallback : {false, true})
            EXPECT_EQ(ParseFlag(c.text, fallback), c.value < 0 ? fallback : c.value == 1) << c.text;
}

TEST(SettingsCodec, Encode) {
    struct Case { std::int32_t value; const char* text; };
    const Case cases[] = {
        {0, "0"}, {-5, "-5"}, {327, "327"}, {kMax, "2147483647"}, {kMin, "-2147483648"}};
    for (const Case& c : cases) {
        EXPECT_EQ(EncodeNumber(c.value), c.text);
        EXPECT_EQ(ParseNumber(EncodeNumber(c.value), 1), c.value);
    }
    EXPECT_EQ(EncodeFlag(true), "1");
    EXPECT_EQ(EncodeFlag(false), "0");
}

}  // namespace
