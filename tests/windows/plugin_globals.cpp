#include "plugin_globals.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace glimmer::testing {
namespace {

std::vector<char> moduleFile(HMODULE module) {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
    if (length == 0 || length == MAX_PATH) return {};
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

template <typename T>
bool readAt(const std::vector<char>& file, std::size_t offset, T& value) {
    if (offset > file.size() || file.size() - offset < sizeof value) return false;
    std::memcpy(&value, file.data() + offset, sizeof value);
    return true;
}

}  // namespace

void* findModuleSymbol(HMODULE module, const std::string& name) {
    const std::vector<char> file = moduleFile(module);
    IMAGE_DOS_HEADER dos;
    IMAGE_FILE_HEADER header;
    if (!readAt(file, 0, dos) || !readAt(file, static_cast<std::size_t>(dos.e_lfanew) + 4, header)) return nullptr;
    const std::size_t sections = static_cast<std::size_t>(dos.e_lfanew) + 4 + sizeof header + header.SizeOfOptionalHeader;
    const std::size_t symbols = header.PointerToSymbolTable;
    const std::size_t strings = symbols + std::size_t{header.NumberOfSymbols} * IMAGE_SIZEOF_SYMBOL;
    for (std::size_t i = 0; i < header.NumberOfSymbols; ++i) {
        IMAGE_SYMBOL symbol;
        if (!readAt(file, symbols + i * IMAGE_SIZEOF_SYMBOL, symbol)) return nullptr;
        std::string symbolName;
        if (symbol.N.Name.Short != 0) {
            symbolName.assign(reinterpret_cast<const char*>(symbol.N.ShortName),
                              strnlen(reinterpret_cast<const char*>(symbol.N.ShortName), 8));
        } else if (strings + symbol.N.Name.Long < file.size()) {
            const char* text = file.data() + strings + symbol.N.Name.Long;
            symbolName.assign(text, strnlen(text, file.size() - (strings + symbol.N.Name.Long)));
        }
        if (symbolName == name && symbol.SectionNumber > 0) {
            IMAGE_SECTION_HEADER section;
            if (!readAt(file, sections + (symbol.SectionNumber - 1) * sizeof section, section)) return nullptr;
            return reinterpret_cast<char*>(module) + section.VirtualAddress + symbol.Value;
        }
        i += symbol.NumberOfAuxSymbols;
    }
    return nullptr;
}

PluginGlobals findPluginGlobals(HMODULE module) {
    PluginGlobals g;
    auto find = [&](const char* mangled) { return findModuleSymbol(module, mangled); };
    g.hostEffectHandle = static_cast<HostEffectHandle*>(find("__ZN7glimmer16hostEffectHandleE"));
    g.savedSettingsHandle = static_cast<SettingsHandle*>(find("__ZN7glimmer19savedSettingsHandleE"));
    g.setupSettingsHandle = static_cast<SettingsHandle*>(find("__ZN7glimmer19setupSettingsHandleE"));
    g.setupDestRight = static_cast<int32_t*>(find("__ZN7glimmer14setupDestRightE"));
    g.externalRenderFlag = static_cast<int32_t*>(find("__ZN7glimmer18externalRenderFlagE"));
    g.activeSettingsDialog = static_cast<void**>(find("__ZN7glimmer20activeSettingsDialogE"));
    return g;
}

}  // namespace glimmer::testing
