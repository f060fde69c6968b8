// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QByteArray>
#include <QFile>
#include <QScopedPointer>
#include <QStringList>
#include <QTemporaryFile>

#include "engine/voicedata.h"

// One file played backwards, in bounded memory whatever its length: the audio
// is decoded into a private raw file, then blocks read from that file's end,
// each reversed, are encoded as every tool does. The resident converter does
// both where it covers the output; else a first child decodes and a second
// one encodes what it gets on its standard input. Decoding moves the first
// half of the bar, encoding the second. The raw file goes when the run ends,
// however it ends. Without a known rate and channel count the whole input is
// reversed by one child (areverse).
class VoiceInvertData : public VoiceData
{
    Q_OBJECT
public:
    VoiceInvertData();
    ~VoiceInvertData() override;

    void startConvert() override;

    // What a name pattern's {tool} gives for a result: "-reverse".
    static QString NameTag() { return QStringLiteral("-reverse"); }
    // The one-child arguments for an input, an output path and its plan.
    static QStringList Arguments(const QString &input, const QString &output, const OutputPlan &plan);

    // Removes the raw files that runs of ended processes left (a kill leaves them).
    static void RemoveStaleRawFiles();

public slots:
    void ffmpegProcess_StandardOutput_slots() override;
    void ffmpegProcess_Finished(int index) override;

protected:
    void runOnChild(const EncodePlan &plan) override;

private:
    void startDecode();
    void startReversedEncode();
    // Hands the encoder reversed blocks while little waits in the pipe.
    void feed();
    void dropRaw();

    // The raw sample format that holds the decoded samples exactly ("s16le" ...).
    QString rawFormat() const;

    bool decoding = false; // the first child runs
    bool encoding = false; // the second child runs
    QScopedPointer<QTemporaryFile> raw;
    QFile source; // the raw file, read backwards while encoding
    int frameBytes = 0;
    qint64 unread = 0; // bytes of the raw file before the blocks already fed
    QByteArray block;
};
