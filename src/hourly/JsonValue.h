#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A JSON document as read: enough of the format for the files other programs hand us, strict
// about syntax (RFC 8259) and bounded in depth, so no input can exhaust the stack.
struct JsonValue {
    enum class Kind { Null, Boolean, Number, String, Array, Object };

    Kind kind = Kind::Null;
    bool boolean = false;
    std::string text;               // a string's contents, or a number as written
    std::vector<JsonValue> items;   // an array's elements, or an object's values
    std::vector<std::string> keys;  // an object's keys, one per item

    // The value of an object's member `key` (the first, when repeated), or null.
    const JsonValue* Find(std::string_view key) const;
    // A number written as a whole number in the range of int64.
    bool AsInteger(std::int64_t& value) const;
};

inline constexpr int kMaxJsonDepth = 64;

// Reads a whole document. False, with the byte offset of the first fault, when `text` is not
// one JSON value (white space around it allowed).
bool ParseJson(std::string_view text, JsonValue& value, std::size_t* faultAt = nullptr);
