#pragma once

#include <span>
#include <string>
#include <string_view>

// How our atomic writes name their temporary files: hidden, beside the file they replace, with
// the six random letters and digits of mkstemp: "stats.dat" is written through
// ".stats.dat.Ab3xQ9". A crash during a write leaves one behind; these names are how we know our
// own leftovers from a user's files.

// The mkstemp template for a file that replaces `path`: its folder + "/." + its name + ".XXXXXX".
// Empty when `path` names no file.
std::string TemporaryFileTemplate(const std::string& path);

// True when `fileName` (without folder) is a temporary file of one of `dataFileNames`, or of a
// numbered copy of one ("stats.dat.bad.2" for "stats.dat.bad").
bool IsLeftoverTemporary(std::string_view fileName,
                         std::span<const std::string_view> dataFileNames);

// Removes from `folder` the regular files that IsLeftoverTemporary recognises; nothing else.
// Returns how many went. Only the holder of the folder's instance lock may call it: a running
// meter may be writing through one of them.
int RemoveLeftoverTemporaries(const std::string& folder,
                              std::span<const std::string_view> dataFileNames);
