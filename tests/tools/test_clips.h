// Small clips made at test time with ffmpeg's lavfi sources, and ways to
// look at what glimmer made of them.
#pragma once

#include <dirent.h>

#include <cstdlib>
#include <exception>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace glimmer::tool {

// Runs ffmpeg (or ffprobe) with `arguments`; true when it succeeded.
inline bool runFfmpeg(const std::string& arguments, const char* program = "ffmpeg") {
    return std::system((std::string(program) + " -v error " + arguments + " </dev/null").c_str()) == 0;
}

// A lossless clip of 16x8 solid frames: frame n has `channel` ("r", "g"
// or "b") at 8 n and the others at 0, so a decoded frame says which it was.
// With `tone` above 0 it has a sine of that many hertz as sound.
inline bool makeCountingClip(const std::string& path, int rate, double seconds, const char* channel, int tone = 0) {
    std::string expression;
    for (const char* c : {"r", "g", "b"}) expression += std::string(c) + "='" + (c == std::string(channel) ? "8*N" : "0") + "':";
    expression.pop_back();
    std::string arguments = "-y -f lavfi -i \"nullsrc=s=16x8:r=" + std::to_string(rate) + ":d=" + std::to_string(seconds) +
                            ",format=rgb24,geq=" + expression + "\"";
    if (tone > 0)
        arguments += " -f lavfi -i \"sine=frequency=" + std::to_string(tone) + ":sample_rate=48000:d=" +
                     std::to_string(seconds) + "\" -c:a flac";
    return runFfmpeg(arguments + " -c:v ffv1 '" + path + "'");
}

inline std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// One line of ffprobe's answer for the first stream of `type` ("v", "a"):
// the entries asked for, comma-separated; "" when there is no such stream.
inline std::string probeStream(const std::string& path, const char* type, const std::string& entries) {
    const std::string out = path + ".probe";
    runFfmpeg(std::string("-select_streams ") + type + " -show_entries stream=" + entries + " -of csv=p=0 '" + path +
                  "' > '" + out + "'",
              "ffprobe");
    std::string text = fileText(out);
    while (!text.empty() && (text.back() == '\n' || text.back() == ',')) text.pop_back();
    return text;
}

// ffmpeg and ffprobe runs still alive (zombies aside) whose command line
// mentions `text`.
// A process's file under /proc, or "" once it has gone: reading it after the
// process ended fails with "No such process", which libstdc++'s stream
// buffer throws whatever the stream's exception mask says.
inline std::string procText(const std::string& path) {
    try {
        return fileText(path);
    } catch (const std::exception&) {
        return {};
    }
}

inline std::vector<std::string> ffmpegRunsMentioning(const std::string& text) {
    std::vector<std::string> found;
    DIR* proc = opendir("/proc");
    if (proc == nullptr) return found;
    while (const dirent* entry = readdir(proc)) {
        const std::string pid = entry->d_name;
        if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
        std::string commandLine = procText("/proc/" + pid + "/cmdline");
        for (char& c : commandLine)
            if (c == '\0') c = ' ';
        const std::string status = procText("/proc/" + pid + "/stat");
        const std::size_t close = status.rfind(')');
        const bool zombie = close != std::string::npos && status.size() > close + 2 && status[close + 2] == 'Z';
        if (!zombie && commandLine.rfind("ff", 0) == 0 && commandLine.find(text) != std::string::npos)
            found.push_back(commandLine);
    }
    closedir(proc);
    return found;
}

}  // namespace glimmer::tool
