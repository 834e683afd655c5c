// What a number box accepts, and the help file's name.
#include <gtest/gtest.h>

#include <cstdint>

#include "help_file_path.h"
#include "integer_text.h"

namespace {

struct IntegerCase {
    const char* text;
    bool accepted;
    int32_t value;
};

class IntegerTextTest : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(IntegerTextTest, ParsesWholeDecimalIntegersOnly) {
    int32_t value = -777;
    EXPECT_EQ(parseIntegerText(GetParam().text, value), GetParam().accepted) << GetParam().text;
    EXPECT_EQ(value, GetParam().accepted ? GetParam().value : -777) << "a refused text leaves the value";
}

INSTANTIATE_TEST_SUITE_P(Texts, IntegerTextTest,
                         ::testing::Values(IntegerCase{"12", true, 12}, IntegerCase{"0", true, 0},
                                           IntegerCase{"-5", true, -5}, IntegerCase{" 4096 ", true, 4096},
                                           IntegerCase{"2147483647", true, INT32_MAX},
                                           IntegerCase{"-2147483648", true, INT32_MIN},
                                           IntegerCase{"12abc", false, 0}, IntegerCase{"", false, 0},
                                           IntegerCase{"   ", false, 0}, IntegerCase{"1 2", false, 0},
                                           IntegerCase{"abc", false, 0}, IntegerCase{"2147483648", false, 0},
                                           IntegerCase{"99999999999999999999", false, 0},
                                           IntegerCase{"0x10", false, 0}, IntegerCase{"-", false, 0}));

TEST(HelpFilePathTest, ReplacesTheModulesExtensionWithHlp) {
    EXPECT_EQ(helpFilePathFor("C:\\Program Files\\Editor\\Plug-ins\\Fx.prm"),
              "C:\\Program Files\\Editor\\Plug-ins\\Fx.HLP");
    EXPECT_EQ(helpFilePathFor("C:\\x.y\\Fx"), "C:\\x.y\\Fx.HLP");  // a dot in a folder is no extension
    EXPECT_EQ(helpFilePathFor("Fx.a.prm"), "Fx.a.HLP");
    EXPECT_EQ(helpFilePathFor("/plugins/fx.dll"), "/plugins/fx.HLP");
}

}  // namespace
