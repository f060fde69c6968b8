// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QProcess>

// A child that dies with this process, even when this process is killed
// outright (SIGKILL, a crash): the kernel sends it SIGKILL when the thread
// that started it ends. Start it from a thread that lives as long as the
// application (the user-interface thread).
class ChildProcess : public QProcess
{
    Q_OBJECT
public:
    using QProcess::QProcess;

protected:
    void setupChildProcess() override;
};
