#include <cstdio>
#include <unistd.h>

#include "fuzz_input.h"

namespace glimmer::fuzz {

InputFile::InputFile(const uint8_t* data, size_t size) {
    std::snprintf(path_, sizeof path_, "/tmp/glimmer-fuzz-%d.bin", static_cast<int>(getpid()));
    std::FILE* f = std::fopen(path_, "wb");
    if (f == nullptr) __builtin_trap();
    if (size > 0 && std::fwrite(data, 1, size, f) != size) __builtin_trap();
    std::fclose(f);
}

InputFile::~InputFile() { std::remove(path_); }

}  // namespace glimmer::fuzz
