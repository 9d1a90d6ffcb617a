#include "hourly/JsonValue.h"

#include <charconv>

namespace {

class CJsonReader {
public:
    explicit CJsonReader(std::string_view text) : text_(text) {}

    bool Document(JsonValue& value) {
        SkipSpace();
        if (!Value(value, 0)) {
            return false;
        }
        SkipSpace();
        return pos_ == text_.size();
    }
    std::size_t Position() const { return pos_; }

private:
    void SkipSpace() {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' ||
                                       text_[pos_] == '\n' || text_[pos_] == '\r')) {
            ++pos_;
        }
    }
    bool Take(char c) {
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    bool Word(std::string_view word) {
        if (text_.substr(pos_, word.size()) == word) {
            pos_ += word.size();
            return true;
        }
        return false;
    }

    bool Value(JsonValue& value, int depth) {
        if (depth >= kMaxJsonDepth || pos_ >= text_.size()) {
            return false;
        }
        switch (text_[pos_]) {
            case '{':
                return Object(value, depth);
            case '[':
                return Array(value, depth);
            case '"':
                value.kind = JsonValue::Kind::String;
                return String(value.text);
            case 't':
                value.kind = JsonValue::Kind::Boolean;
                value.boolean = true;
                return Word("true");
            case 'f':
                value.kind = JsonValue::Kind::Boolean;
                return Word("false");
            case 'n':
                return Word("null");
            default:
                return Number(value);
        }
    }

    bool Object(JsonValue& value, int depth) {
        value.kind = JsonValue::Kind::Object;
        ++pos_;
        SkipSpace();
        if (Take('}')) {
            return true;
        }
        do {
            SkipSpace();
            std::string& key = value.keys.emplace_back();
            if (!String(key)) {
                return false;
            }
            SkipSpace();
            if (!Take(':')) {
                return false;
            }
            SkipSpace();
            if (!Value(value.items.emplace_back(), depth + 1)) {
                return false;
            }
            SkipSpace();
        } while (Take(','));
        return Take('}');
    }

    bool Array(JsonValue& value, int depth) {
        value.kind = JsonValue::Kind::Array;
        ++pos_;
        SkipSpace();
        if (Take(']')) {
            return true;
        }
        do {
            SkipSpace();
            if (!Value(value.items.emplace_back(), depth + 1)) {
                return false;
            }
            SkipSpace();
        } while (Take(','));
        return Take(']');
    }

    bool Hex4(unsigned& code) {
        if (text_.size() - pos_ < 4) {
            return false;
        }
        const char* first = text_.data() + pos_;
        const auto [end, error] = std::from_chars(first, first + 4, code, 16);
        if (error != std::errc() || end != first + 4) {
            return false;
        }
        pos_ += 4;
        return true;
    }

    static void AppendUtf8(std::string& out, unsigned code) {
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

    bool String(std::string& out) {
        if (!Take('"')) {
            return false;
        }
        while (pos_ < text_.size()) {
            const char c = text_[pos_++];
            if (c == '"') {
                return true;
            }
            if (static_cast<unsigned char>(c) < 0x20) {
                return false;
            }
            if (c != '\\') {
                out += c;
                continue;
            }
            if (pos_ >= text_.size()) {
                return false;
            }
            const char escaped = text_[pos_++];
            switch (escaped) {
                case '"':
                case '\\':
                case '/':
                    out += escaped;
                    break;
                case 'b':
                    out += '\b';
                    break;
                case 'f':
                    out += '\f';
                    break;
                case 'n':
                    out += '\n';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'u': {
                    unsigned code = 0;
                    if (!Hex4(code)) {
                        return false;
                    }
                    // A surrogate pair stands for one character beyond the first plane.
                    if (code >= 0xD800 && code < 0xDC00) {
                        unsigned low = 0;
                        if (!Word("\\u") || !Hex4(low) || low < 0xDC00 || low >= 0xE000) {
                            return false;
                        }
                        code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                    } else if (code >= 0xDC00 && code < 0xE000) {
                        return false;
                    }
                    AppendUtf8(out, code);
                    break;
                }
                default:
                    return false;
            }
        }
        return false;
    }

    bool Digits() {
        const std::size_t start = pos_;
        while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') {
            ++pos_;
        }
        return pos_ > start;
    }

    bool Number(JsonValue& value) {
        const std::size_t start = pos_;
        Take('-');
        if (Take('0')) {
            // no leading zeros
        } else if (!Digits()) {
            return false;
        }
        if (Take('.') && !Digits()) {
            return false;
        }
        if (Take('e') || Take('E')) {
            if (!Take('+')) {
                Take('-');
            }
            if (!Digits()) {
                return false;
            }
        }
        value.kind = JsonValue::Kind::Number;
        value.text.assign(text_.substr(start, pos_ - start));
        return true;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

}  // namespace

const JsonValue* JsonValue::Find(std::string_view key) const {
    if (kind != Kind::Object) {
        return nullptr;
    }
    for (std::size_t i = 0; i < keys.size() && i < items.size(); ++i) {
        if (keys[i] == key) {
            return &items[i];
        }
    }
    return nullptr;
}

bool JsonValue::AsInteger(std::int64_t& value) const {
    if (kind != Kind::Number) {
        return false;
    }
    const char* first = text.data();
    const char* last = first + text.size();
    std::int64_t parsed = 0;
    const auto [end, error] = std::from_chars(first, last, parsed);
    if (error != std::errc() || end != last) {
        return false;
    }
    value = parsed;
    return true;
}

bool ParseJson(std::string_view text, JsonValue& value, std::size_t* faultAt) {
    value = JsonValue();
    CJsonReader reader(text);
    if (reader.Document(value)) {
        return true;
    }
    if (faultAt != nullptr) {
        *faultAt = reader.Position();
    }
    value = JsonValue();
    return false;
}
