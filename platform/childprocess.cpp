// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "platform/childprocess.h"

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace {
// Read in the forked child, where only async-signal-safe calls are allowed.
const pid_t parentPid = ::getpid();
} // namespace

void ChildProcess::setupChildProcess()
{
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    // The parent may have died between the fork and the line above.
    if (::getppid() != parentPid)
        ::_exit(127);
}
