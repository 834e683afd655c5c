#include "settings/settings_assignments.h"

#include <gtest/gtest.h>

#include <cstring>

namespace glimmer {
namespace {

TEST(SettingsAssignments, WholeFieldsTakeNumbersWithinTheirRange) {
    TransitionSettings s = defaultSettings();
    std::string error;
    EXPECT_TRUE(applySettingsAssignment(s, "gravity=255", error)) << error;
    EXPECT_EQ(s.gravity, 255);
    EXPECT_TRUE(applySettingsAssignment(s, "centerX=256", error)) << error;
    EXPECT_EQ(s.centerX, 256);
    EXPECT_TRUE(applySettingsAssignment(s, "cellWidth=4096", error)) << error;
    EXPECT_EQ(s.cellWidth, 4096);
    EXPECT_TRUE(applySettingsAssignment(s, "delayMap.repeatY=16", error)) << error;
    EXPECT_EQ(s.delayMap.repeatY, 16);
    EXPECT_TRUE(applySettingsAssignment(s, "wind=-0", error)) << error;
    EXPECT_EQ(s.wind, 0);
}

TEST(SettingsAssignments, FlagAliasesSetOneBitAndKeepTheOthers) {
    TransitionSettings s = defaultSettings();
    s.cellFlags = 0x70;
    std::string error;
    ASSERT_TRUE(applySettingsAssignment(s, "bands=1", error)) << error;
    EXPECT_EQ(s.cellFlags, 0x71);
    ASSERT_TRUE(applySettingsAssignment(s, "orderRightLeft=1", error)) << error;
    EXPECT_EQ(s.orderFlags, 2);
    ASSERT_TRUE(applySettingsAssignment(s, "bands=0", error)) << error;
    EXPECT_EQ(s.cellFlags, 0x70);
    EXPECT_FALSE(applySettingsAssignment(s, "bands=2", error));
}

TEST(SettingsAssignments, SourcesTakeListNamesOrIndices) {
    TransitionSettings s = defaultSettings();
    std::string error;
    ASSERT_TRUE(applySettingsAssignment(s, "movingXMap.source=Diag 2 S", error)) << error;
    EXPECT_EQ(s.movingXMap.source, 11);
    ASSERT_TRUE(applySettingsAssignment(s, "delayMap.source=Black", error)) << error;
    EXPECT_EQ(s.delayMap.source, 14);
    ASSERT_TRUE(applySettingsAssignment(s, "movingYMap.source=3", error)) << error;
    EXPECT_EQ(s.movingYMap.source, 3);
    // Names are the list texts in any case, without trimming.
    ASSERT_TRUE(applySettingsAssignment(s, "movingYMap.source=diag 1 s", error)) << error;
    EXPECT_EQ(s.movingYMap.source, 9);
    EXPECT_FALSE(applySettingsAssignment(s, "movingYMap.source=blak", error));
    EXPECT_NE(error.find("\"Diag 1 S\""), std::string::npos) << "the error lists the names: " << error;
    EXPECT_FALSE(applySettingsAssignment(s, "movingYMap.source=Black ", error));
    EXPECT_EQ(s.movingYMap.source, 9);
    // A name is only a value for a source field.
    EXPECT_FALSE(applySettingsAssignment(s, "gravity=Black", error));
}

struct Refused {
    const char* assignment;
    const char* errorMentions;
};

class SettingsAssignmentsRefuse : public ::testing::TestWithParam<Refused> {};

TEST_P(SettingsAssignmentsRefuse, LeavesTheRecordAsItWasAndSaysWhy) {
    TransitionSettings s = defaultSettings();
    const TransitionSettings before = s;
    std::string error;
    EXPECT_FALSE(applySettingsAssignment(s, GetParam().assignment, error));
    EXPECT_EQ(std::memcmp(&s, &before, sizeof s), 0);
    EXPECT_NE(error.find(GetParam().errorMentions), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    BadInput, SettingsAssignmentsRefuse,
    ::testing::Values(Refused{"gravity=256", "0..255"}, Refused{"gravity=-1", "'-1'"},
                      Refused{"centerY=257", "0..256"}, Refused{"cellHeight=0", "1..4096"},
                      Refused{"delayMap.repeatX=17", "'delayMap.repeatX'"}, Refused{"gravity=12abc", "'12abc'"},
                      Refused{"gravity= 12", "' 12'"}, Refused{"gravity=", "''"},
                      Refused{"gravity=99999999999999999999", "99999999999999999999"},
                      Refused{"gravty=1", "unknown settings field 'gravty' (did you mean 'gravity'?)"},
                      Refused{"DelayMap.Repeatx=1", "did you mean 'delayMap.repeatX'"},
                      Refused{"recordSize=424", "unknown settings field"},
                      Refused{"reserved56=1", "unknown settings field"}, Refused{"gravity", "FIELD=VALUE"},
                      Refused{"=5", "FIELD=VALUE"}, Refused{"movingXMap.source=15", "0..14 or a source name"}));

TEST(SettingsAssignments, AssignFieldChecksTheRangeOfTheTable) {
    TransitionSettings s = defaultSettings();
    std::string error;
    const SettingsField& wind = *findSettingsField("wind");
    EXPECT_TRUE(assignSettingsField(s, wind, 7, error));
    EXPECT_EQ(s.wind, 7);
    EXPECT_FALSE(assignSettingsField(s, wind, 300, error));
    EXPECT_EQ(s.wind, 7);
    EXPECT_NE(error.find("'wind' takes 0..255"), std::string::npos) << error;
}

}  // namespace
}  // namespace glimmer
