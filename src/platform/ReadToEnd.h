#pragma once

#include <cstddef>
#include <string>

// Reads an open file descriptor to its end into `out` (replacing its contents), retrying
// interrupted reads. `out` keeps its capacity between calls, so reading the same small file
// again allocates nothing. False on a read error or when more than `limit` bytes arrive.
bool ReadToEnd(int fd, std::string& out, std::size_t limit);
