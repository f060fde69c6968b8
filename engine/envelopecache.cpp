// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "engine/envelopecache.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPointer>
#include <QRunnable>

EnvelopeCache::EnvelopeCache(QObject *parent) : QObject(parent)
{
    // One decode at a time: the machine's other core keeps converting.
    pool.setMaxThreadCount(1);
}

EnvelopeCache::~EnvelopeCache()
{
    for (const Entry &entry : qAsConst(entries)) {
        if (entry.cancel)
            entry.cancel->store(true);
    }
    pool.waitForDone();
}

EnvelopeCache *EnvelopeCache::instance()
{
    static QPointer<EnvelopeCache> shared;
    if (!shared)
        shared = new EnvelopeCache(QCoreApplication::instance());
    return shared;
}

QSharedPointer<const AudioEnvelope> EnvelopeCache::envelope(const QString &path)
{
    const QFileInfo info(path);
    Entry &entry = entries[path];
    // A file changed since it was read is read again.
    if (entry.size != info.size() || entry.modified != info.lastModified()) {
        if (entry.cancel)
            entry.cancel->store(true);
        entry = Entry();
        entry.size = info.size();
        entry.modified = info.lastModified();
    }
    if (entry.envelope || entry.cancel)
        return entry.envelope;

    const QSharedPointer<std::atomic_bool> cancel(new std::atomic_bool(false));
    entry.cancel = cancel;
    pool.start(QRunnable::create([this, path, cancel] {
        QSharedPointer<AudioEnvelope> read(new AudioEnvelope);
        if (!read->compute(path, cancel.get()))
            read->setWindows({}, 0);
        // Queued to this object's thread; the destructor waits for the pool first.
        QMetaObject::invokeMethod(
            this, [this, path, cancel, read] { finish(path, cancel, read); }, Qt::QueuedConnection);
    }));
    return {};
}

bool EnvelopeCache::isReading(const QString &path) const
{
    const auto found = entries.constFind(path);
    return found != entries.constEnd() && found->cancel;
}

void EnvelopeCache::release(const QString &path)
{
    const auto found = entries.find(path);
    if (found == entries.end())
        return;
    if (found->cancel)
        found->cancel->store(true);
    entries.erase(found);
}

void EnvelopeCache::finish(const QString &path, const QSharedPointer<std::atomic_bool> &cancel,
                           const QSharedPointer<const AudioEnvelope> &envelope)
{
    const auto found = entries.find(path);
    // A read that was cancelled or replaced meanwhile is dropped.
    if (cancel->load() || found == entries.end() || found->cancel != cancel)
        return;
    found->cancel.reset();
    found->envelope = envelope;
    emit ready(path);
}
