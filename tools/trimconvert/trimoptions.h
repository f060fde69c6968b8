// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QtGlobal>

// The trim tool's choice: the range it keeps, in microseconds, for the run
// of the program only.
struct TrimOptions
{
    qint64 start = 0;
    qint64 end = 3600000000LL;
};
