#pragma once

#include <cstddef>
#include <cstring>
#include <type_traits>
#include <vector>

// What one frame of the graph window shows, written down as the exact values its drawing
// depends on (sizes, colours, vertices, texts). Two frames with equal signatures put the same
// pixels on the screen, so the later one need not be drawn or shown. Clearing keeps the storage,
// so a signature rewritten every frame allocates nothing once it has grown.
class CFrameSignature {
public:
    void Clear() { bytes_.clear(); }

    template <typename T>
    void Add(const T& value) {
        static_assert(std::is_arithmetic_v<T> || std::is_enum_v<T>, "plain values only");
        const auto* first = reinterpret_cast<const unsigned char*>(&value);
        bytes_.insert(bytes_.end(), first, first + sizeof value);
    }

    // The text and its end, so "ab" + "c" differs from "a" + "bc".
    void AddText(const char* text) {
        const auto* first = reinterpret_cast<const unsigned char*>(text);
        bytes_.insert(bytes_.end(), first, first + std::strlen(text) + 1);
    }

    bool operator==(const CFrameSignature& other) const { return bytes_ == other.bytes_; }
    std::size_t Size() const { return bytes_.size(); }

private:
    std::vector<unsigned char> bytes_;
};
