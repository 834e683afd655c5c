// A JSON document as the edit list needs it: objects keep their keys in
// the order written, numbers keep the text they were written as, so that
// a message can quote a value as the user typed it.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace glimmer::tool {

struct JsonValue {
    enum class Kind { null, boolean, number, string, array, object };
    Kind kind = Kind::null;
    bool boolean = false;
    double number = 0;
    std::string text;  // a string's characters, or a number as written
    std::vector<JsonValue> items;
    std::vector<std::pair<std::string, JsonValue>> members;

    // The member named `key`, or null when there is none.
    const JsonValue* member(const std::string& key) const;
    // "a string", "a number", ... for messages.
    const char* kindName() const;
    // The value as written: "2x" with its quotes, 2.5, true.
    std::string quoted() const;
};

// Throws ToolError "NAME: not JSON: line L, column C: ..." for text that is
// not one JSON value.
JsonValue parseJson(const std::string& text, const std::string& name);

}  // namespace glimmer::tool
