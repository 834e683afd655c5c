#include <algorithm>

#include "commands.h"
#include "contact_sheet.h"
#include "frame_jobs.h"
#include "output_file.h"
#include "png_io.h"
#include "progress_bar.h"
#include "tool_error.h"
#include "transition_inputs.h"

namespace glimmer::tool {

int runSheetCommand(const Options& options) {
    if (fileExtension(options.out) != ".png")
        throw usageError("--out of a sheet is a .png file, not '" + options.out + "'");
    checkOutputFolder(options.out);
    const TransitionSettings settings = loadTransitionSettings(options);
    const PicturePair pictures = loadPicturePair(options);
    const SheetLayout layout{options.frames, std::min(options.columns, options.frames), options.scale};
    const int64_t pixels = ContactSheet::sheetPixels(pictures.a.width, pictures.a.rows, layout);
    // A sheet is held whole; a gigabyte is more than anyone means to ask for.
    if (pixels > int64_t{1} << 28)
        throw usageError("that sheet would be too large; use fewer --frames or a smaller --scale");
    ContactSheet sheet(pictures.a.width, pictures.a.rows, layout);

    const Transition transition{&pictures.a, &pictures.b, settings, options.frames};
    ProgressBar progress(options.frames, options.quiet);
    renderFrames(transition, options.frames, jobCount(options), sheet, progress);
    progress.finish();
    writePng(options.out, sheet.picture(), options.compression >= 0 ? options.compression : pictureCompression);
    return 0;
}

}  // namespace glimmer::tool
