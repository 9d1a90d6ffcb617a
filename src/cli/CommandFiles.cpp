#include "cli/CommandFiles.h"

#include <cstring>

#include "core/Translatable.h"
#include "persistence/DataFile.h"

bool ReadForCommand(const std::string& path, const std::string& failure, std::string& text,
                    std::FILE* err) {
    int error = 0;
    if (ReadTextFile(path, text, &error)) {
        return true;
    }
    const std::string line =
        FillArgs(failure, {path, error != 0 ? std::strerror(error) : "not a readable file"});
    std::fprintf(err, "%s\n", line.c_str());
    return false;
}

bool WriteAll(std::FILE* out, const std::string& text) {
    return std::fwrite(text.data(), 1, text.size(), out) == text.size() && std::fflush(out) == 0;
}
