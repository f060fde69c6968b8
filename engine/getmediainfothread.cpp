// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "engine/getmediainfothread.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "engine/mediaprobe.h"
#include "engine/voicedata.h"

GetMediaInfoThread::GetMediaInfoThread() : QThread(nullptr) {}

VoiceData *GetMediaInfoThread::ProbeRecord(const QString &path)
{
    MediaProbe::Facts facts;
    if (!MediaProbe::Read(path, facts))
        return nullptr;
    auto *record = new VoiceData;
    const QFileInfo info(path);
    record->filePath = path;
    record->fileName = info.fileName();
    record->fileSize = info.size();
    record->duration = facts.duration;
    record->hasAudio = facts.hasAudio ? 1 : 0;
    record->sampleRate = facts.sampleRate;
    record->channels = facts.channels;
    record->bitRate = facts.bitRate;
    record->codecName = facts.codecName;
    record->streamInfo = facts.streamInfo;
    record->traits = facts.traits;
    return record;
}

void GetMediaInfoThread::run()
{
    for (const QString &each : paths.isEmpty() ? QStringList{path} : paths) {
        VoiceData *record = ProbeRecord(each);
        // Made here, used and deleted (deleteLater) by the panel in the main thread.
        if (record)
            record->moveToThread(QCoreApplication::instance()->thread());
        if (paths.isEmpty())
            result = record;
        else
            results.append(record);
    }
}
