// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QSharedPointer>
#include <QStringList>
#include <QtGlobal>

#include "engine/voicedata.h"
#include "tools/trimconvert/trimoptions.h"

// One time range of a file, copied without re-encoding (FLAC excepted, see
// CutCodecArguments).
class VoiceTrimData : public VoiceData
{
    Q_OBJECT
public:
    // The options are read at each start: a choice made while the job waits applies to it.
    explicit VoiceTrimData(QSharedPointer<const TrimOptions> options = {});

    void startConvert() override;

    // The child's arguments for an input, a range in microseconds (cut to
    // whole seconds) and an output path.
    static QStringList Arguments(const QString &input, qint64 start, qint64 end, const QString &output);

    // The range, within the input.
    qint64 expectedDuration() const override;
    QString ownSettings() const override;

    // The range the user set for this file on the waveform, used instead of
    // the panel's (microseconds, whole seconds).
    bool ownRange = false;
    qint64 ownStart = 0;
    qint64 ownEnd = 0;

public slots:
    void ffmpegProcess_Finished(int index) override;

private:
    QSharedPointer<const TrimOptions> options;
    // The range of the current run, in whole seconds.
    qint64 runStart = 0;
    qint64 runEnd = 0;
};
