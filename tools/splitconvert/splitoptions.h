#pragma once

#include <QtGlobal>

// The split tool's rule, for the run of the program only: segments of
// `time` microseconds, or `number` segments.
struct SplitOptions
{
    bool byNumber = false;
    qint64 time = 2000000;
    int number = 2;
};
