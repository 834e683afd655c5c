// The plan of an edit: where every clip and join falls, from clips whose
// lengths ffprobe would have told, so each case is exact.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/tool_error.h"
#include "plan/edit_plan.h"
#include "plan/sound_layout.h"

namespace glimmer::tool {
namespace {

// "c4" is a 4 s clip at 25 frames/s, "p" a picture.
SideInput inputOf(const std::string& kind) {
    SideInput input;
    input.path = kind + ".file";
    input.info.width = 1280;
    input.info.rows = 720;
    input.info.still = kind == "p";
    input.info.duration = input.info.still ? -1 : std::stod(kind.substr(1));
    return input;
}

EditTime seconds(double value) {
    EditTime time;
    time.given = true;
    time.value.seconds = value;
    time.name = "key";
    return time;
}

struct PlanCase {
    const char* name;
    std::vector<std::string> kinds;
    std::vector<double> joins;   // seconds
    double inOfSecond = 0;       // the second clip's in point
    double outOfSecond = 0;      // and its out point, 0 for none
    std::vector<int64_t> firstFrames;  // of the clips, then the total
};

class EditPlanCases : public ::testing::TestWithParam<PlanCase> {};

TEST_P(EditPlanCases, PutsEveryClipAndJoinWhereItBelongs) {
    const PlanCase& c = GetParam();
    EditList list;
    list.stillDuration = seconds(3);
    std::vector<SideInput> inputs;
    for (std::size_t i = 0; i < c.kinds.size(); ++i) {
        EditClip clip;
        clip.name = "clips[" + std::to_string(i) + "]";
        inputs.push_back(inputOf(c.kinds[i]));
        if (i == 1 && c.inOfSecond > 0) {
            clip.in = seconds(c.inOfSecond);
            inputs[i].start = clip.in.value;
        }
        if (i == 1 && c.outOfSecond > 0) clip.out = seconds(c.outOfSecond);
        list.clips.push_back(clip);
    }
    for (double join : c.joins) {
        EditJoin edit;
        edit.duration = seconds(join);
        list.joins.push_back(edit);
    }
    const EditPlan plan = planEdit(list, inputs);
    ASSERT_EQ(plan.clips.size(), c.kinds.size());
    for (std::size_t i = 0; i < c.kinds.size(); ++i) EXPECT_EQ(plan.clips[i].firstFrame, c.firstFrames[i]) << "clip " << i;
    EXPECT_EQ(plan.total, c.firstFrames.back());
    for (std::size_t i = 0; i + 1 < c.kinds.size(); ++i) {
        // Each join starts where the next clip does and ends its own clip.
        EXPECT_EQ(plan.joins[i].firstFrame, plan.clips[i + 1].firstFrame);
        EXPECT_EQ(plan.clips[i].firstFrame + plan.clips[i].frames, plan.joins[i].firstFrame + plan.joins[i].overlap);
    }

    // The sound meets on the same samples, and holds its power through
    // every join.
    const SoundLayout sound = soundLayoutOf(plan, 48000, 1, 1);
    EXPECT_EQ(sound.total, plan.total * 48000 / 25);
    EXPECT_EQ(sound.pieces.back().first + sound.pieces.back().count, sound.total);
    for (std::size_t i = 0; i + 1 < sound.pieces.size(); ++i) {
        const SoundPiece &out = sound.pieces[i], &in = sound.pieces[i + 1];
        ASSERT_EQ(out.fadeOut, in.fadeIn);
        ASSERT_EQ(in.first + in.fadeIn, out.first + out.count) << "join " << i;
        for (int64_t k = 0; k < in.fadeIn; k += 997) {
            const double a = pieceGain(out, out.count - in.fadeIn + k), b = pieceGain(in, k);
            EXPECT_NEAR(a * a + b * b, 1, 1e-12) << "join " << i << ", sample " << k;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Edits, EditPlanCases,
    ::testing::Values(
        PlanCase{"TwoClips", {"c4", "c4"}, {1}, 0, 0, {0, 75, 175}},
        PlanCase{"TenClips", {"c4", "c4", "c4", "c4", "c4", "c4", "c4", "c4", "c4", "c4"}, {1, 1, 1, 1, 1, 1, 1, 1, 1},
                 0, 0, {0, 75, 150, 225, 300, 375, 450, 525, 600, 675, 775}},
        PlanCase{"PicturesStandThreeSeconds", {"p", "c4", "p"}, {0.5, 2}, 0, 0, {0, 62, 112, 187}},
        PlanCase{"JoinsOfTheirOwnLength", {"c4", "c4", "c4"}, {0.2, 3}, 0, 0, {0, 95, 120, 220}},
        PlanCase{"InAndOutPoints", {"c4", "c4", "c4"}, {1, 1}, 1, 3.5, {0, 75, 113, 213}},
        PlanCase{"AMiddleClipAllJoin", {"c4", "c2", "c4"}, {1, 1}, 0, 0, {0, 75, 100, 200}}),
    [](const ::testing::TestParamInfo<PlanCase>& param) { return std::string(param.param.name); });

TEST(EditPlan, AVariableRateIsSnappedToTheNearestCommonOneAndSaidSo) {
    EditList list;
    list.stillDuration = seconds(3);
    list.clips.resize(2);
    list.joins.resize(1);
    list.joins[0].duration = seconds(1);
    std::vector<SideInput> inputs = {inputOf("c4"), inputOf("c4")};
    inputs[0].info.rate = FrameRate{6480, 239};
    inputs[0].info.variableRate = true;
    const EditPlan plan = planEdit(list, inputs);
    EXPECT_EQ(plan.output.rate.text(), "25");
    EXPECT_NE(plan.rateNote.find("27.11"), std::string::npos) << plan.rateNote;
    inputs[0].info.rate = FrameRate{941227, 31289};  // 30.08
    EXPECT_EQ(planEdit(list, inputs).output.rate.text(), "30");
    // A thousand and one seconds at 29.97 are whole samples.
    EXPECT_EQ(sampleOfFrame(30000, FrameRate{30000, 1001}, 48000), 48048000);
}

}  // namespace
}  // namespace glimmer::tool
