#include "commands/whole_edit.h"

#include <memory>

#include "commands/commands.h"
#include "commands/progress_bar.h"
#include "common/tool_error.h"
#include "inputs/media_probe.h"
#include "inputs/sound_reader.h"
#include "inputs/transition_inputs.h"
#include "inputs/transition_sides.h"
#include "outputs/output_choice.h"
#include "outputs/output_file.h"
#include "outputs/video_writer.h"
#include "plan/edit_plan.h"
#include "plan/frame_jobs.h"
#include "plan/sound_layout.h"

namespace glimmer::tool {
namespace {

// The look of every join, read before any work starts. From an edit list
// a message names the join; from the command line it names the option, as
// it always has.
std::vector<TransitionSettings> joinSettings(const EditList& list) {
    std::vector<TransitionSettings> looks;
    for (const EditJoin& join : list.joins) {
        Options look;
        look.settingsPath = join.settingsPath;
        look.assignments = join.assignments;
        try {
            looks.push_back(loadTransitionSettings(look));
        } catch (const ToolError& error) {
            if (list.path.empty()) throw;
            throw ToolError(join.name + (join.assignments.empty() ? ".settings: " : ".set: ") + error.what(), exitFailure);
        }
    }
    return looks;
}

std::vector<SideInput> inspectEditClips(const EditList& list) {
    std::vector<ClipToInspect> wanted;
    for (const EditClip& clip : list.clips) wanted.push_back(ClipToInspect{clip.path, clip.in.value, clip.in.given, clip.in.name});
    return inspectClips(wanted);
}

// The encoder reads every frame and every sample from glimmer: each clip's
// sound is decoded from its in point as its turn comes, the music looped.
EncoderPlan encoderPlanFor(const OutputChoice& output, const EditList& list, const std::vector<SideInput>& inputs,
                           const EditPlan& edit) {
    EncoderPlan plan;
    plan.video = output.video;
    plan.width = edit.output.width;
    plan.rows = edit.output.rows;
    plan.rate = edit.output.rate;
    const bool music = !list.music.empty();
    if ((!edit.sound && !music) || audioCodecOf(output.video.container).empty()) return plan;

    plan.withSound = true;
    plan.sound.layout = soundLayoutOf(edit, soundRate, list.musicFade, list.clipVolume);
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        SoundSource source;
        source.name = "'" + inputs[i].path + "'";
        if (edit.clips[i].sound)
            source.inputArguments = clipInputArguments(inputs[i].path, inputs[i].info, inputs[i].startSeconds(), edit.output.rate);
        plan.sound.clips.push_back(std::move(source));
    }
    if (music) plan.sound.music = SoundSource{{"-stream_loop", "-1", "-i", list.music}, "'" + list.music + "'"};
    return plan;
}

std::string summaryOf(const OutputChoice& output, const EditPlan& edit, const EditList& list, bool sound) {
    const double perSecond = edit.output.rate.perSecond();
    std::string text = "wrote " + output.name() + ": " + std::to_string(edit.total) + " frames of " +
                       std::to_string(edit.output.width) + "x" + std::to_string(edit.output.rows) + " at " +
                       edit.output.rate.description() + " (" + secondsText(edit.total / perSecond) + ")";
    const PlannedJoin& first = edit.joins.front();
    if (edit.joins.size() == 1) {
        text += ", the transition from " + secondsText(first.firstFrame / perSecond) + " to " +
                secondsText((first.firstFrame + first.overlap) / perSecond);
    } else {
        text += ", " + std::to_string(edit.clips.size()) + " clips and " + std::to_string(edit.joins.size()) +
                " joins, the first at " + secondsText(first.firstFrame / perSecond) + ", the last at " +
                secondsText(edit.joins.back().firstFrame / perSecond);
    }
    if (!edit.rateNote.empty()) text += "; " + edit.rateNote;
    if (!sound) return text + ", no sound";
    if (list.music.empty()) return text + ", sound crossfaded";
    return text + (list.clipVolume > 0 ? ", sound crossfaded under the music" : ", the music alone");
}

// Which of a clip's frames go where: the first to the join into it, the
// middle ones to the encoder, the last to the join out of it. The first and
// the last clip's decoder hands the middle on in the encoder's format on a
// pipe of its own; a clip between two joins gives every frame on one pipe,
// the middle ones converted here: two branches of one ffmpeg, one of them
// quiet while the other flows, stalled each other.
std::unique_ptr<SideFrames> openEditClip(const SideInput& input, const EditPlan& edit, std::size_t index, int jobs,
                                         const PassThrough& format) {
    const PlannedClip& clip = edit.clips[index];
    PassThrough pass = format;
    SideFramesWanted wanted;
    if (index == 0) {
        wanted = SideFramesWanted{clip.alone(), 0, clip.overlapOut};
        pass.before = clip.alone();
    } else if (clip.overlapOut == 0) {
        wanted = SideFramesWanted{0, 0, clip.overlapIn};
        pass.after = clip.alone();
    } else {
        wanted = SideFramesWanted{0, 0, static_cast<int32_t>(clip.frames)};
        pass = PassThrough{};
    }
    return openSide(input, edit.output, wanted, jobs, index == 0, pass);
}

bool betweenJoins(const EditPlan& edit, std::size_t index) {
    return index > 0 && edit.clips[index].overlapOut > 0;
}

// A clip between two joins: its middle frames from the transition's pipe.
void passMiddle(SideFrames& side, const PlannedClip& clip, VideoWriter& writer) {
    const int32_t first = clip.overlapIn;
    for (int64_t k = 0; k < clip.alone(); ++k) {
        const int32_t position = first + static_cast<int32_t>(k);
        writer.writePicture(side.acquire(position));
        side.release(position);
    }
}

}  // namespace

int makeWholeEdit(const EditList& list, const Options& options) {
    OutputChoice output = chooseMovingOutput(options, false);
    if (output.kind == OutputKind::videoFile) {
        checkOutputFolder(output.video.target);
        refuseOutputOverInput(output.video.target, list.inputFiles());
    }
    const std::vector<TransitionSettings> looks = joinSettings(list);
    const std::vector<SideInput> inputs = inspectEditClips(list);
    keepAlphaOf(inputs, options, output);
    const std::string musicName = list.path.empty() ? "--music" : "music";
    if (!list.music.empty() && !hasSoundStream(list.music, musicName))
        throw ToolError(musicName + " '" + list.music + "' has no sound: ffprobe finds no audio stream in it");
    const EditPlan edit = planEdit(list, inputs);
    checkVideoSize(output, edit.output.width, edit.output.rows);

    const int jobs = jobCount(options);
    const EncoderPlan plan = encoderPlanFor(output, list, inputs, edit);
    const PassThrough format{0, 0, encoderInputFormat(output.video), yuvMatrixFor(edit.output.width, edit.output.rows),
                             encoderInputFrameBytes(output.video, edit.output.width, edit.output.rows)};

    ProgressBar progress(edit.total, options.quiet);
    VideoWriter writer(plan, &progress);
    JobTimes times;
    int64_t transitionFrames = 0;
    // The next clip opens as the current one's middle is passed on, so that
    // its decoder has frames ready when the join starts: two at once, never
    // more.
    std::unique_ptr<SideFrames> current = openEditClip(inputs[0], edit, 0, jobs, format);
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        std::unique_ptr<SideFrames> next;
        if (i + 1 < inputs.size()) next = openEditClip(inputs[i + 1], edit, i + 1, jobs, format);
        if (betweenJoins(edit, i))
            passMiddle(*current, edit.clips[i], writer);
        else
            current->passUntouched(writer, edit.clips[i].alone());
        if (next) {
            const PlannedJoin& join = edit.joins[i];
            const int64_t shift = i == 0 ? 0 : edit.clips[i].overlapIn + edit.clips[i].alone();
            ShiftedSide outgoing(*current, static_cast<int32_t>(shift));
            const MovingTransition transition{&outgoing, next.get(), looks[i], join.overlap, edit.output.width,
                                              edit.output.rows};
            ProgressBar delivered(join.overlap, true);
            const JobTimes joinTimes = renderFrames(transition, join.overlap, jobs, writer, delivered);
            times.wallSeconds += joinTimes.wallSeconds;
            times.renderSeconds += joinTimes.renderSeconds;
            times.waitSeconds += joinTimes.waitSeconds;
            times.consumeSeconds += joinTimes.consumeSeconds;
            transitionFrames += join.overlap;
        }
        current = std::move(next);
    }
    writer.finish();
    progress.finish(summaryOf(output, edit, list, plan.withSound));
    if (options.timing)
        printJobTimes("frames of transitions", times, static_cast<int32_t>(transitionFrames), jobs, "writing to ffmpeg");
    return 0;
}

}  // namespace glimmer::tool
