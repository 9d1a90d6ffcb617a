#pragma once

#include <QString>

#include <cstdio>

// The desktop-service helpers of the tests tell the test what happened one line at a time, at
// once (the test reads their output through a pipe).
inline void Say(const QString& line) {
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}
