// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <atomic>

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QSharedPointer>
#include <QThreadPool>

#include "engine/audioenvelope.h"

// Envelopes of files, read on worker threads and kept per file (by path, size
// and modification time) for the waveform strips and the silence split. A
// read nobody waits for any more is cancelled.
class EnvelopeCache : public QObject
{
    Q_OBJECT
public:
    explicit EnvelopeCache(QObject *parent = nullptr);
    ~EnvelopeCache() override;

    // The one the panels and jobs share, owned by the application object.
    static EnvelopeCache *instance();

    // The envelope of `path` once read (empty when it holds no audio), else
    // null; a file not read yet starts reading, and `ready` follows.
    QSharedPointer<const AudioEnvelope> envelope(const QString &path);
    bool isReading(const QString &path) const;
    // Cancels a read under way and forgets the file.
    void release(const QString &path);

signals:
    void ready(const QString &path);

private:
    struct Entry
    {
        qint64 size = -1;
        QDateTime modified;
        QSharedPointer<std::atomic_bool> cancel; // set while reading
        QSharedPointer<const AudioEnvelope> envelope;
    };
    void finish(const QString &path, const QSharedPointer<std::atomic_bool> &cancel,
                const QSharedPointer<const AudioEnvelope> &envelope);

    QHash<QString, Entry> entries;
    QThreadPool pool;
};
