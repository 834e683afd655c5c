#include "plan/edit_list.h"

#include "common/tool_error.h"

namespace glimmer::tool {
namespace {

EditTime givenTime(bool given, const TimeValue& value, const char* name) {
    EditTime time;
    time.given = given;
    time.value = value;
    time.name = name;
    return time;
}

// "clip A" ... "clip Z", then "clip 27": the two-clip join has always said A and B.
std::string clipName(std::size_t index) {
    if (index < 26) return std::string("clip ") + static_cast<char>('A' + index);
    return "clip " + std::to_string(index + 1);
}

}  // namespace

std::vector<std::pair<std::string, std::string>> EditList::inputFiles() const {
    std::vector<std::pair<std::string, std::string>> files;
    if (!path.empty()) files.emplace_back(path, "the edit list");
    for (const EditClip& clip : clips) files.emplace_back(clip.path, clip.name);
    for (const EditJoin& join : joins)
        if (!join.settingsPath.empty()) files.emplace_back(join.settingsPath, "the settings file of " + join.name);
    if (!music.empty()) files.emplace_back(music, "the music");
    return files;
}

EditList editListFromOptions(const Options& options) {
    EditList list;
    for (std::size_t i = 0; i < options.clips.size(); ++i) {
        EditClip clip;
        clip.name = clipName(i);
        clip.path = options.clips[i];
        if (i == 0) clip.in = givenTime(options.startAGiven, options.startA, "--a-start");
        if (i == 1) clip.in = givenTime(options.startBGiven, options.startB, "--b-start");
        if (i == 0) clip.offset = givenTime(options.offsetGiven, options.offset, "--offset");
        list.clips.push_back(clip);
    }
    for (std::size_t i = 0; i + 1 < options.clips.size(); ++i) {
        EditJoin join;
        join.name = "--duration";
        join.duration = givenTime(true, options.duration, "--duration");
        join.settingsPath = options.settingsPath;
        join.assignments = options.assignments;
        list.joins.push_back(join);
    }
    list.stillDuration = givenTime(true, options.stillDuration, "--still-duration");
    list.sizeGiven = options.sizeGiven;
    list.width = options.width;
    list.rows = options.rows;
    list.fpsGiven = options.fpsGiven;
    list.fps = options.fps;
    list.fit = options.fit;
    list.music = options.music;
    list.musicFade = options.musicFade;
    list.clipVolume = options.clipVolume;
    return list;
}

void applyEditOptions(const Options& options, EditList& list) {
    if (options.sizeGiven) {
        list.sizeGiven = true;
        list.width = options.width;
        list.rows = options.rows;
    }
    if (options.fpsGiven) {
        list.fpsGiven = true;
        list.fps = options.fps;
    }
    if (options.has("--fit")) list.fit = options.fit;
    if (options.has("--still-duration")) list.stillDuration = givenTime(true, options.stillDuration, "--still-duration");
    if (options.has("--music")) list.music = options.music;
    if (options.has("--music-fade")) list.musicFade = options.musicFade;
    if (options.has("--clip-volume")) list.clipVolume = options.clipVolume;
}

}  // namespace glimmer::tool
