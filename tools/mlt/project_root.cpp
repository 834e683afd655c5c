#include "project_root.h"

#include <fstream>

extern "C" {
#include <framework/mlt_properties.h>
}

namespace glimmer {

namespace {

std::string unescaped(const std::string& value) {
    static const std::pair<const char*, const char*> entities[] = {
        {"&amp;", "&"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&lt;", "<"}, {"&gt;", ">"}};
    std::string out;
    for (std::size_t i = 0; i < value.size();) {
        bool replaced = false;
        for (const auto& [entity, character] : entities)
            if (value.compare(i, std::char_traits<char>::length(entity), entity) == 0) {
                out += character;
                i += std::char_traits<char>::length(entity);
                replaced = true;
                break;
            }
        if (!replaced) out += value[i++];
    }
    return out;
}

}  // namespace

std::string documentRoot(const std::string& documentPath) {
    const std::size_t slash = documentPath.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : documentPath.substr(0, slash);
    std::ifstream in(documentPath, std::ios::binary);
    std::string head(64 * 1024, '\0');
    in.read(&head[0], static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    const std::size_t element = head.find("<mlt");
    const std::size_t end = element == std::string::npos ? element : head.find('>', element);
    if (end == std::string::npos) return folder;
    const std::string tag = head.substr(element, end - element);
    for (const char quote : {'"', '\''}) {
        const std::size_t at = tag.find(std::string(" root=") + quote);
        if (at == std::string::npos) continue;
        const std::size_t from = at + 7, to = tag.find(quote, from);
        if (to != std::string::npos && to > from) return unescaped(tag.substr(from, to - from));
    }
    return folder;
}

std::string projectRoot(mlt_service service) {
    std::string document;
    for (mlt_service s = service; s != nullptr; s = mlt_service_consumer(s)) {
        mlt_properties properties = MLT_SERVICE_PROPERTIES(s);
        const char* root = mlt_properties_get(properties, "root");
        if (root != nullptr && *root != '\0') return root;
        // The XML loader marks the tractor it made, and gives one read from
        // a file that file's path as its resource.
        const char* resource = mlt_properties_get(properties, "resource");
        if (mlt_properties_get(properties, "xml") != nullptr && resource != nullptr && *resource == '/')
            document = resource;
    }
    return document.empty() ? "" : documentRoot(document);
}

}  // namespace glimmer
