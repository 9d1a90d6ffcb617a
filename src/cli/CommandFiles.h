#pragma once

#include <cstdio>
#include <string>

// What the commands that print and exit (--export, --quota, --status) share.

// Reads a data file for a command; false, told on `err` by `failure` ("%1" the path, "%2" why),
// when it cannot.
bool ReadForCommand(const std::string& path, const std::string& failure, std::string& text,
                    std::FILE* err);

// Writes all of `text` to `out` and flushes it; false (errno telling why) when that fails, as
// when a pipe's reader has gone.
bool WriteAll(std::FILE* out, const std::string& text);
