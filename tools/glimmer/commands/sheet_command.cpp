#include <algorithm>

#include "commands/commands.h"
#include "outputs/contact_sheet.h"
#include "plan/frame_jobs.h"
#include "outputs/output_choice.h"
#include "outputs/output_file.h"
#include "common/png_io.h"
#include "commands/progress_bar.h"
#include "common/tool_error.h"
#include "inputs/transition_inputs.h"
#include "inputs/transition_sides.h"

namespace glimmer::tool {

int runSheetCommand(const Options& options) {
    choosePictureOutput(options, "a sheet");
    refuseOutputOverInput(options.out, inputFilesOf(options));
    const TransitionSettings settings = loadTransitionSettings(options);
    const SideInputs sides = inspectSides(options);
    const SideInput& a = sides.a;
    const SideInput& b = sides.b;
    const OutputFrames frames = outputFramesFor(options, a, b);
    const SheetLayout layout{options.frames, std::min(options.columns, options.frames), options.scale};
    const int64_t pixels = ContactSheet::sheetPixels(frames.width, frames.rows, layout);
    // A sheet is held whole; a gigabyte is more than anyone means to ask for.
    if (pixels > int64_t{1} << 28)
        throw usageError("that sheet would be too large; use fewer --frames or a smaller --scale");
    ContactSheet sheet(frames.width, frames.rows, layout);

    const int jobs = jobCount(options);
    const SideFramesWanted wanted{0, 0, options.frames};
    const auto sideA = openSide(a, frames, wanted, jobs, true);
    const auto sideB = openSide(b, frames, wanted, jobs, false);
    const MovingTransition transition{sideA.get(), sideB.get(), settings, options.frames, frames.width, frames.rows};
    ProgressBar progress(options.frames, options.quiet);
    renderFrames(transition, options.frames, jobs, sheet, progress, threadsPerJob(threadCount(options), std::min(jobs, options.frames)));
    progress.finish();
    writePng(options.out, sheet.picture(), options.compression >= 0 ? options.compression : pictureCompression);
    return 0;
}

}  // namespace glimmer::tool
