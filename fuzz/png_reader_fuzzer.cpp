// The command-line renderer's PNG reader on arbitrary bytes: it either
// answers a picture whose pixel count matches its size, or reports an error.
#include "fuzz_input.h"
#include "common/png_io.h"
#include "common/tool_error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const glimmer::fuzz::InputFile file(data, size);
    try {
        const glimmer::tool::Picture p = glimmer::tool::readPng(file.path());
        if (p.width <= 0 || p.rows <= 0) __builtin_trap();
        if (p.pixels.size() != static_cast<size_t>(p.width) * static_cast<size_t>(p.rows)) __builtin_trap();
    } catch (const glimmer::tool::ToolError&) {
    }
    return 0;
}
