// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include <sys/stat.h>

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "engine/getmediainfothread.h"
#include "engine/voicedata.h"
#include "support/testsupport.h"

namespace {

// The facts a probe finds, in one line to compare.
QString Facts(const VoiceData &r)
{
    return QString::asprintf("%lld us, audio %d, %d Hz, %d ch, %d b/s, ", r.duration, r.hasAudio,
                             r.sampleRate, r.channels, r.bitRate) +
           r.codecName;
}

} // namespace

// The in-process probe on files the real ffmpeg makes, and on paths that are
// no regular file.
class TestGetMediaInfoThread : public QObject
{
    Q_OBJECT
    QTemporaryDir media;

private slots:
    void probeFiles_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("make");  // ffmpeg arguments, "text", "fifo", a link target, or none
        QTest::addColumn<QString>("facts"); // none: no record at all
        const QString tone = QStringLiteral("-f lavfi -i sine=sample_rate=%1:duration=%2 -ac %3 ");
        // clang-format off
        QTest::addRow("wav") << "tone.wav" << tone.arg(44100).arg(1).arg(2)
                             << "1000000 us, audio 1, 44100 Hz, 2 ch, 1411200 b/s, pcm_s16le";
        QTest::addRow("mp3") << "tone.mp3" << tone.arg(44100).arg(2).arg(2) + "-b:a 128k"
                             << "2037551 us, audio 1, 44100 Hz, 2 ch, 128000 b/s, mp3";
        QTest::addRow("flac, 5.1") << "tone.flac" << tone.arg(48000).arg(1).arg(6)
                              << "1000000 us, audio 1, 48000 Hz, 6 ch, 0 b/s, flac";
        QTest::addRow("video with audio") << "clip.mp4" << "-f lavfi -i testsrc=size=160x120:rate=10:duration=2 " +
                   tone.arg(48000).arg(2).arg(2) + "-c:v mpeg4 -c:a ac3 -b:a 128k -shortest"
            << "2011000 us, audio 1, 48000 Hz, 2 ch, 128000 b/s, ac3";
        QTest::addRow("not media") << "notes.wav" << "text" << "0 us, audio 0, 0 Hz, 0 ch, 0 b/s, ";
        QTest::addRow("missing file") << "gone.wav" << "" << QString();
        QTest::addRow("fifo") << "pipe.wav" << "fifo" << QString();
        QTest::addRow("link to a device") << "random.wav" << "/dev/urandom" << QString();
        QTest::addRow("folder") << "folder.wav" << "/" << QString();
        // clang-format on
    }
    void probeFiles()
    {
        QFETCH(QString, name);
        QFETCH(QString, make);
        QFETCH(QString, facts);
        TestSupport::useBuildAppDir();
        const QString path = media.filePath(name);
        if (make.startsWith(QLatin1Char('/')))
            QVERIFY(QFile::link(make, path));
        else if (make == QLatin1String("fifo"))
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else if (make == QLatin1String("text"))
            QVERIFY(TestSupport::writeFileOfSize(path, 2000));
        else if (!make.isEmpty())
            QVERIFY(TestSupport::runFfmpeg(make.split(QLatin1Char(' '), Qt::SkipEmptyParts) +
                                           QStringList{QStringLiteral("-y"), path}));
        GetMediaInfoThread thread;
        thread.path = path;
        thread.start();
        // Nothing waits on a FIFO or a device: the thread ends on its own.
        QVERIFY(thread.wait(60000));
        QScopedPointer<VoiceData> record(thread.result);
        QCOMPARE(record ? Facts(*record) : QString(), facts);
        if (!record)
            return;
        QCOMPARE(record->fileName + QString::number(record->fileSize),
                 name + QString::number(QFileInfo(path).size()));
        QCOMPARE(record->streamInfo.isEmpty(), record->hasAudio == 0);
        // Handed to the main thread, process and all, so that the panel may deleteLater it.
        QCOMPARE(record->process.thread(), QCoreApplication::instance()->thread());
        QSignalSpy destroyed(record.data(), &QObject::destroyed);
        record.take()->deleteLater();
        QVERIFY(destroyed.wait(60000));
    }
};

QTEST_GUILESS_MAIN(TestGetMediaInfoThread)
#include "tst_getmediainfothread.moc"
