#pragma once

#include <string>
#include <vector>

// A decoded bitmap as a texture wants it: tightly packed R, G, B bytes, bottom row first.
struct DibImage {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;
};

// Reads a Windows bitmap file, with or without its 14-byte "BM" file header, whose info header is
// 12 or 40 bytes. On failure returns false with the message to show (caption "Error").
bool LoadDib(const std::string& path, DibImage& image, std::string& error);
