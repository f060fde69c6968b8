// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "common/globals.h"
#include "engine/jobqueue.h"
#include "engine/voicedata.h"
#include "support/standinjob.h"
#include "support/testsupport.h"

// The queue on the core alone: its children are stand-ins that hold until the
// test lets them go, so every check waits for a state, never for a time.
class TestJobQueue : public QObject
{
    Q_OBJECT
    QTemporaryDir appDir, tones;
    QScopedPointer<QTemporaryDir> outDir;
    JobQueue *queue = nullptr;
    QList<VoiceData *> jobs;

    void release() { QVERIFY(TestSupport::writeFileOfSize(appDir.filePath(QStringLiteral("go")), 1)); }

private slots:
    void initTestCase()
    {
        const QString tone = tones.filePath(QStringLiteral("1.wav"));
        QVERIFY(TestSupport::makeTone(tone, 1));
        QVERIFY(TestSupport::writeStandInFfmpeg(
            appDir.path(),
            QStringLiteral("while [ ! -e \"$(dirname \"$0\")/go\" ]; do sleep 0.05; done\ncp '%1' \"$out\"")
                .arg(tone)));
        g_appDir = appDir.path();
    }
    void init()
    {
        QFile::remove(appDir.filePath(QStringLiteral("go")));
        outDir.reset(new QTemporaryDir);
        SetSettingValue(QLatin1String(SettingsKey::OutFolder), outDir->path());
        queue = new JobQueue;
        jobs.clear();
        for (const char *name : {"a", "b", "c", "d"}) {
            auto *job = new TestSupport::StandInJob(QStringLiteral("-") + QLatin1String(name), "wav");
            job->filePath = tones.filePath(QStringLiteral("1.wav"));
            job->duration = 1000000;
            queue->append(job);
            jobs.append(job);
        }
    }
    void cleanup() { delete queue; }

    // Waiting jobs start in list order, as moved, and never more than the limit at once.
    void startsInOrderWithinTheLimit()
    {
        queue->setLimit(2);
        queue->moveDown(jobs.at(2));
        queue->moveUp(jobs.at(0)); // at the front: stays
        QList<VoiceData *> started;
        int most = 0;
        connect(queue, &JobQueue::stateChanged, this, [&](VoiceData *job) {
            if (job->status() == VoiceData::Converting && !started.contains(job))
                started.append(job);
            most = qMax(most, queue->convertingCount());
        });
        QSignalSpy batch(queue, &JobQueue::batchFinished);
        queue->enqueueAll();
        queue->startWaiting();
        QCOMPARE(queue->convertingCount(), 2);
        release();
        QVERIFY(batch.wait(60000));
        QCOMPARE(started, (QList<VoiceData *>{jobs.at(0), jobs.at(1), jobs.at(3), jobs.at(2)}));
        QCOMPARE(most, 2);
        QCOMPARE(batch.count(), 1);
        QCOMPARE(batch.first(), (QVariantList{4, 0, 0, 0}));
    }

    // A stop of the whole queue starts nothing in place of what it stops.
    void stopAllStartsNothingElse()
    {
        queue->setLimit(1);
        QSignalSpy batch(queue, &JobQueue::batchFinished);
        queue->enqueueAll();
        queue->startWaiting();
        QCOMPARE(jobs.first()->status(), int(VoiceData::Converting));
        queue->stopAll();
        QTRY_COMPARE_WITH_TIMEOUT(batch.count(), 1, 60000);
        QCOMPARE(batch.first(), (QVariantList{0, 0, 1, 0}));
        for (VoiceData *job : jobs.mid(1))
            QCOMPARE(job->status(), int(VoiceData::Idle));
        QVERIFY(!queue->isBusy());
        QCOMPARE(QDir(outDir->path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestJobQueue)
#include "tst_jobqueue.moc"
