#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "app/globals.h"
#include "engine/getmediainfothread.h"
#include "engine/voicedata.h"
#include "support/testsupport.h"

namespace {

// The facts a probe finds, in one line to compare.
QString Facts(const VoiceData &r)
{
    return QStringLiteral("%1 us, audio %2, %3 Hz, %4 ch, %5 b/s, %6")
        .arg(r.duration)
        .arg(r.hasAudio)
        .arg(r.sampleRate)
        .arg(r.channels)
        .arg(r.bitRate)
        .arg(r.codecName);
}

VoiceData *Probe(const QString &path)
{
    GetMediaInfoThread thread;
    thread.path = path;
    thread.start();
    thread.wait();
    return thread.result;
}

QStringList Tone(int seconds, int rate, int channels)
{
    return {QStringLiteral("-f"),
            QStringLiteral("lavfi"),
            QStringLiteral("-i"),
            QStringLiteral("sine=frequency=440:sample_rate=%1:duration=%2").arg(rate).arg(seconds),
            QStringLiteral("-ac"),
            QString::number(channels)};
}

} // namespace

class TestGetMediaInfoThread : public QObject
{
    Q_OBJECT
    QTemporaryDir media;

private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("report");
        QTest::addColumn<QString>("facts");
        // clang-format off
        QTest::addRow("aac, stereo, fraction of the duration dropped")
            << "  Duration: 00:03:25.12, start: 0.025057, bitrate: 320 kb/s\n"
               "    Stream #0:0(und): Audio: aac (LC), 44100 Hz, stereo, fltp, 128 kb/s (default)\n"
            << "205000000 us, audio 1, 44100 Hz, 2 ch, 128000 b/s, aac";
        QTest::addRow("mono")
            << "  Stream #0:0: Audio: pcm_s16le ([1][0][0][0] / 0x0001), 22050 Hz, mono, s16, 352 kb/s"
            << "0 us, audio 1, 22050 Hz, 1 ch, 352000 b/s, pcm_s16le";
        QTest::addRow("5.1(side) counts as one")
            << "  Stream #0:0: Audio: ac3, 48000 Hz, 5.1(side), fltp, 448 kb/s"
            << "0 us, audio 1, 48000 Hz, 1 ch, 448000 b/s, ac3";
        QTest::addRow("flac without kb/s")
            << "  Duration: 00:00:01.00, bitrate: 172 kb/s\n  Stream #0:0: Audio: flac, 48000 Hz, mono, s16\n"
            << "1000000 us, audio 1, 48000 Hz, 1 ch, 0 b/s, flac";
        QTest::addRow("duration not available")
            << "  Duration: N/A, bitrate: N/A\n  Stream #0:0: Audio: mp3, 44100 Hz, stereo, fltp, 128 kb/s\n"
            << "0 us, audio 1, 44100 Hz, 2 ch, 128000 b/s, mp3";
        QTest::addRow("video stream ignored")
            << "  Duration: 00:00:02.00, start: 0.000000, bitrate: 240 kb/s\n"
               "  Stream #0:0[0x1](und): Video: mpeg4 (Simple Profile) (mp4v / 0x7634706D), yuv420p, 160x120 "
               "[SAR 1:1 DAR 4:3], 92 kb/s, 10 fps, 10 tbr, 10240 tbn (default)\n"
               "  Stream #0:1[0x2](und): Audio: ac3 (ac-3 / 0x332D6361), 48000 Hz, stereo, fltp, 128 kb/s\n"
            << "2000000 us, audio 1, 48000 Hz, 2 ch, 128000 b/s, ac3";
        QTest::addRow("folder named Output")
            << "Input #0, wav, from '/home/me/Output/a.wav':\n  Duration: 00:00:05.00, bitrate: 1411 kb/s\n"
               "  Stream #0:0: Audio: pcm_s16le, 44100 Hz, stereo, s16, 1411 kb/s\n"
            << "5000000 us, audio 1, 44100 Hz, 2 ch, 1411000 b/s, pcm_s16le";
        QTest::addRow("metadata with the word output")
            << "Input #0, mp3, from 'mix.mp3':\n  Metadata:\n    title           : OUTPUT of the night\n"
               "    comment         : see output #2\n  Duration: 00:01:00.00, bitrate: 192 kb/s\n"
               "  Stream #0:0: Audio: mp3, 44100 Hz, stereo, fltp, 192 kb/s\n"
            << "60000000 us, audio 1, 44100 Hz, 2 ch, 192000 b/s, mp3";
        QTest::addRow("stops at the output heading")
            << "  Duration: 00:00:05.00, bitrate: 64 kb/s\n"
               "  Stream #0:0: Audio: mp3, 44100 Hz, mono, fltp, 64 kb/s\n"
               "Output #0, wav, to 'x.wav':\n  Duration: 00:09:00.00\n"
               "  Stream #0:0: Audio: pcm_s16le, 8000 Hz, stereo, s16, 256 kb/s\n"
            << "5000000 us, audio 1, 44100 Hz, 1 ch, 64000 b/s, mp3";
        QTest::addRow("not media") << "notes.txt: Invalid data found when processing input\n"
                                   << "0 us, audio 0, 0 Hz, 0 ch, 0 b/s, ";
        // clang-format on
    }
    void parse()
    {
        QFETCH(QString, report);
        QFETCH(QString, facts);
        VoiceData record;
        GetMediaInfoThread::ParseReport(report, record);
        QCOMPARE(Facts(record), facts);
        QCOMPARE(record.streamInfo.isEmpty(), record.hasAudio == 0);
    }

    void streamInfoIsCleanedLine()
    {
        VoiceData record;
        GetMediaInfoThread::ParseReport(
            QStringLiteral(
                "    Stream #0:0(und): Audio: aac (LC), 44100 Hz, stereo, fltp, 128 kb/s (default)\n"),
            record);
        QCOMPARE(record.streamInfo,
                 QStringLiteral("Stream #0:0 : Audio: aac  , 44100 Hz, stereo, fltp, 128 kb/s  "));
    }

    // With the real ffmpeg. A file it cannot read still makes a record, without facts.
    void probeFiles_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("makeArgs"); // none: a text file, or no file for .wav
        QTest::addColumn<QString>("facts");
        QTest::addRow("wav") << "tone.wav" << Tone(1, 44100, 2)
                             << "1000000 us, audio 1, 44100 Hz, 2 ch, 1411000 b/s, pcm_s16le";
        QTest::addRow("mp3") << "tone.mp3" << Tone(2, 44100, 2) + QStringList{"-b:a", "128k"}
                             << "2000000 us, audio 1, 44100 Hz, 2 ch, 128000 b/s, mp3";
        QTest::addRow("flac") << "tone.flac" << Tone(1, 48000, 1)
                              << "1000000 us, audio 1, 48000 Hz, 1 ch, 0 b/s, flac";
        QTest::addRow("video with audio")
            << "clip.mp4"
            << QStringList{"-f", "lavfi", "-i", "testsrc=size=160x120:rate=10:duration=2"} +
                   Tone(2, 48000, 2) +
                   QStringList{"-c:v", "mpeg4", "-c:a", "ac3", "-b:a", "128k", "-shortest"}
            << "2000000 us, audio 1, 48000 Hz, 2 ch, 128000 b/s, ac3";
        QTest::addRow("text file") << "notes.txt" << QStringList() << "0 us, audio 0, 0 Hz, 0 ch, 0 b/s, ";
        QTest::addRow("missing file") << "gone.wav" << QStringList() << "0 us, audio 0, 0 Hz, 0 ch, 0 b/s, ";
    }
    void probeFiles()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, makeArgs);
        QFETCH(QString, facts);
        TestSupport::useBuildAppDir();
        const QString path = media.filePath(name);
        if (!makeArgs.isEmpty())
            QVERIFY(TestSupport::runFfmpeg(QStringList{QStringLiteral("-y")} + makeArgs + QStringList{path}));
        else if (name.endsWith(QLatin1String(".txt")))
            QVERIFY(TestSupport::writeFileOfSize(path, 2000));
        QScopedPointer<VoiceData> record(Probe(path));
        QVERIFY(record);
        QCOMPARE(Facts(*record), facts);
        QCOMPARE(record->filePath, path);
        QCOMPARE(record->fileName, name);
        QCOMPARE(record->fileSize, QFileInfo(path).size());
        // Handed to the main thread, process and all, so that the panel may deleteLater it.
        QCOMPARE(record->process.thread(), QCoreApplication::instance()->thread());
        QSignalSpy destroyed(record.data(), &QObject::destroyed);
        record.take()->deleteLater();
        QVERIFY(destroyed.wait(5000));
    }

    void probeWithoutFfmpeg_data()
    {
        QTest::addColumn<bool>("present");
        QTest::addRow("no ffmpeg") << false;
        QTest::addRow("ffmpeg not executable") << true;
    }
    void probeWithoutFfmpeg()
    {
        QFETCH(bool, present);
        QTemporaryDir appDir;
        g_appDir = appDir.path();
        if (present)
            QVERIFY(TestSupport::writeFileOfSize(appDir.filePath(QStringLiteral("ffmpeg")), 100));
        const QString path = media.filePath(QStringLiteral("silence.wav"));
        QVERIFY(TestSupport::writeFileOfSize(path, 5000));
        QVERIFY(!Probe(path));
    }
};

QTEST_GUILESS_MAIN(TestGetMediaInfoThread)
#include "tst_getmediainfothread.moc"
