// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QThread>

class VoiceData;

// Probes files on its own thread, in-process (MediaProbe), one after the
// other: `path` gives `result`; or, when `paths` is set (the panel's way: a
// run for several files costs the hand-over between the threads once),
// `results` gets a record or null for each in order. Set them, start the
// thread, and take the records when finished() arrives.
class GetMediaInfoThread : public QThread
{
    Q_OBJECT
public:
    GetMediaInfoThread();

    QString path;
    // The record of the last probe of a regular file, or null. It belongs to
    // the main thread; whoever takes it sets this back to null.
    VoiceData *result = nullptr;
    QStringList paths;
    QList<VoiceData *> results;

    // The record of a file made on the calling thread, or null when the path
    // is not a regular file that can be read.
    static VoiceData *ProbeRecord(const QString &path);

protected:
    void run() override;
};
