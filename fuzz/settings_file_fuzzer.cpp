// The settings-file loader on arbitrary bytes: it must accept exactly the
// files that start with the header and hold a whole record, take the record
// byte for byte, and leave the settings untouched otherwise.
#include <cstring>

#include "fuzz_input.h"
#include "settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace glimmer;
    const fuzz::InputFile file(data, size);
    TransitionSettings settings = defaultSettings();
    const TransitionSettings before = settings;
    const SettingsFileStatus status = readSettingsFile(file.path(), settings);

    const bool valid = size >= settingsFileSize && std::memcmp(data, settingsFileHeader, settingsFileHeaderSize) == 0;
    if (valid != (status == SettingsFileStatus::ok)) __builtin_trap();
    if (valid && std::memcmp(&settings, data + settingsFileHeaderSize, sizeof settings) != 0) __builtin_trap();
    if (!valid && std::memcmp(&settings, &before, sizeof settings) != 0) __builtin_trap();
    if (!valid && settingsFileMessage(status) == nullptr) __builtin_trap();
    return 0;
}
