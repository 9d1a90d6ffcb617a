#include "cli/CommandFiles.h"

#include <cstring>

#include "persistence/DataFile.h"

bool ReadForCommand(const std::string& path, const char* what, std::string& text, std::FILE* err) {
    int error = 0;
    if (ReadTextFile(path, text, &error)) {
        return true;
    }
    std::fprintf(err, "tallyglass: cannot read the %s %s: %s\n", what, path.c_str(),
                 error != 0 ? std::strerror(error) : "not a readable file");
    return false;
}

bool WriteAll(std::FILE* out, const std::string& text) {
    return std::fwrite(text.data(), 1, text.size(), out) == text.size() && std::fflush(out) == 0;
}
