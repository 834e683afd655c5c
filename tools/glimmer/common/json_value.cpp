#include "common/json_value.h"

#include <cmath>
#include <cstdlib>

#include "common/tool_error.h"

namespace glimmer::tool {
namespace {

// Deeper than any edit list; bounds the recursion on hostile input.
constexpr int deepestNesting = 64;

class JsonReader {
public:
    JsonReader(const std::string& text, const std::string& name) : text_(text), name_(name) {}

    JsonValue document() {
        JsonValue value = valueAt(0);
        skipSpace();
        if (at_ != text_.size()) fail("more after the end of the document");
        return value;
    }

private:
    [[noreturn]] void fail(const std::string& what) const {
        int line = 1, column = 1;
        for (std::size_t i = 0; i < at_ && i < text_.size(); ++i) {
            if (text_[i] == '\n') {
                ++line;
                column = 1;
            } else {
                ++column;
            }
        }
        throw ToolError(name_ + ": not JSON: line " + std::to_string(line) + ", column " + std::to_string(column) + ": " +
                        what);
    }

    void skipSpace() {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\n' || text_[at_] == '\r'))
            ++at_;
    }

    bool take(char c) {
        skipSpace();
        if (at_ < text_.size() && text_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }

    void expect(char c) {
        if (!take(c)) fail(std::string("expected '") + c + "'");
    }

    bool word(const char* w) {
        const std::string s(w);
        if (text_.compare(at_, s.size(), s) != 0) return false;
        at_ += s.size();
        return true;
    }

    JsonValue valueAt(int depth) {
        if (depth > deepestNesting) fail("nested too deeply");
        skipSpace();
        if (at_ >= text_.size()) fail("the document ends where a value should be");
        JsonValue value;
        const char c = text_[at_];
        if (c == '{') {
            ++at_;
            value.kind = JsonValue::Kind::object;
            if (take('}')) return value;
            do {
                skipSpace();
                if (at_ >= text_.size() || text_[at_] != '"') fail("expected a key in double quotes");
                std::string key = stringAt();
                if (value.member(key) != nullptr) fail("key \"" + key + "\" given twice");
                expect(':');
                value.members.emplace_back(std::move(key), valueAt(depth + 1));
            } while (take(','));
            expect('}');
        } else if (c == '[') {
            ++at_;
            value.kind = JsonValue::Kind::array;
            if (take(']')) return value;
            do value.items.push_back(valueAt(depth + 1));
            while (take(','));
            expect(']');
        } else if (c == '"') {
            value.kind = JsonValue::Kind::string;
            value.text = stringAt();
        } else if (word("true") || word("false")) {
            value.kind = JsonValue::Kind::boolean;
            value.boolean = c == 't';
        } else if (word("null")) {
            value.kind = JsonValue::Kind::null;
        } else {
            numberAt(value);
        }
        return value;
    }

    void numberAt(JsonValue& value) {
        const std::size_t start = at_;
        if (at_ < text_.size() && text_[at_] == '-') ++at_;
        while (at_ < text_.size() && std::string("0123456789.eE+-").find(text_[at_]) != std::string::npos) ++at_;
        value.text = text_.substr(start, at_ - start);
        char* end = nullptr;
        value.number = std::strtod(value.text.c_str(), &end);
        if (value.text.empty() || *end != '\0' || !std::isfinite(value.number)) {
            at_ = start;
            fail("expected a value");
        }
        value.kind = JsonValue::Kind::number;
    }

    std::string stringAt() {
        ++at_;  // the opening quote
        std::string out;
        while (true) {
            if (at_ >= text_.size()) fail("a string that never ends");
            const char c = text_[at_++];
            if (c == '"') return out;
            if (static_cast<unsigned char>(c) < 0x20) fail("a control character inside a string");
            if (c != '\\') {
                out += c;
                continue;
            }
            if (at_ >= text_.size()) fail("a string that never ends");
            const char e = text_[at_++];
            switch (e) {
            case '"': case '\\': case '/': out += e; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'u': appendCodePoint(out); break;
            default: fail(std::string("unknown escape \\") + e);
            }
        }
    }

    unsigned hexQuad() {
        if (at_ + 4 > text_.size()) fail("a \\u escape needs four hex digits");
        const std::string digits = text_.substr(at_, 4);
        if (digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) fail("a \\u escape needs four hex digits");
        at_ += 4;
        return static_cast<unsigned>(std::strtoul(digits.c_str(), nullptr, 16));
    }

    void appendCodePoint(std::string& out) {
        unsigned code = hexQuad();
        if (code >= 0xD800 && code < 0xDC00 && text_.compare(at_, 2, "\\u") == 0) {
            at_ += 2;
            const unsigned low = hexQuad();
            if (low < 0xDC00 || low > 0xDFFF) fail("a broken surrogate pair");
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
        }
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }

    const std::string& text_;
    const std::string& name_;
    std::size_t at_ = 0;
};

}  // namespace

const JsonValue* JsonValue::member(const std::string& key) const {
    for (const auto& m : members)
        if (m.first == key) return &m.second;
    return nullptr;
}

const char* JsonValue::kindName() const {
    switch (kind) {
    case Kind::null: return "null";
    case Kind::boolean: return "true or false";
    case Kind::number: return "a number";
    case Kind::string: return "a string";
    case Kind::array: return "a list";
    case Kind::object: return "an object";
    }
    return "a value";
}

std::string JsonValue::quoted() const {
    switch (kind) {
    case Kind::string: return "\"" + text + "\"";
    case Kind::number: return text;
    case Kind::boolean: return boolean ? "true" : "false";
    case Kind::null: return "null";
    case Kind::array: return "a list";
    case Kind::object: return "an object";
    }
    return "";
}

JsonValue parseJson(const std::string& text, const std::string& name) { return JsonReader(text, name).document(); }

}  // namespace glimmer::tool
