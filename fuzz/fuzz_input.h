// Reading fixed-size values off the front of a fuzzer's input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace glimmer::fuzz {

class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    // The next sizeof(T) bytes, zero-padded past the end.
    template <typename T>
    T take() {
        T value{};
        takeBytes(&value, sizeof value);
        return value;
    }

    void takeBytes(void* to, size_t n) {
        const size_t have = n < size_ ? n : size_;
        std::memset(to, 0, n);
        std::memcpy(to, data_, have);
        data_ += have;
        size_ -= have;
    }

private:
    const uint8_t* data_;
    size_t size_;
};

// A file that holds the input, for readers that take a path.
class InputFile {
public:
    InputFile(const uint8_t* data, size_t size);
    ~InputFile();
    const char* path() const { return path_; }

private:
    char path_[64];
};

}  // namespace glimmer::fuzz
