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
    return QString::asprintf("%lld us, audio %d, %d Hz, %d ch, %d b/s, ", r.duration, r.hasAudio,
                             r.sampleRate, r.channels, r.bitRate) +
           r.codecName;
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
        QTest::addRow("5.1(side) is six channels")
            << "  Stream #0:0: Audio: ac3, 48000 Hz, 5.1(side), fltp, 448 kb/s"
            << "0 us, audio 1, 48000 Hz, 6 ch, 448000 b/s, ac3";
        QTest::addRow("a layout without a name")
            << "  Stream #0:0: Audio: pcm_s16le, 48000 Hz, 3 channels, s16, 2304 kb/s"
            << "0 us, audio 1, 48000 Hz, 3 ch, 2304000 b/s, pcm_s16le";
        QTest::addRow("flac without kb/s")
            << "  Duration: 00:00:01.00, bitrate: 172 kb/s\n  Stream #0:0: Audio: flac, 48000 Hz, mono, s16\n"
            << "1000000 us, audio 1, 48000 Hz, 1 ch, 0 b/s, flac";
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

    // With the real ffmpeg. A file it cannot read still makes a record, without facts.
    void probeFiles_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("make"); // ffmpeg arguments; none: a text file, or no file for .wav
        QTest::addColumn<QString>("facts");
        const QString tone = QStringLiteral("-f lavfi -i sine=sample_rate=%1:duration=%2 -ac %3 ");
        const QString none = QStringLiteral("0 us, audio 0, 0 Hz, 0 ch, 0 b/s, ");
        // clang-format off
        QTest::addRow("wav") << "tone.wav" << tone.arg(44100).arg(1).arg(2)
                             << "1000000 us, audio 1, 44100 Hz, 2 ch, 1411000 b/s, pcm_s16le";
        QTest::addRow("mp3") << "tone.mp3" << tone.arg(44100).arg(2).arg(2) + "-b:a 128k"
                             << "2000000 us, audio 1, 44100 Hz, 2 ch, 128000 b/s, mp3";
        QTest::addRow("flac") << "tone.flac" << tone.arg(48000).arg(1).arg(1)
                              << "1000000 us, audio 1, 48000 Hz, 1 ch, 0 b/s, flac";
        QTest::addRow("video with audio") << "clip.mp4" << "-f lavfi -i testsrc=size=160x120:rate=10:duration=2 " +
                   tone.arg(48000).arg(2).arg(2) + "-c:v mpeg4 -c:a ac3 -b:a 128k -shortest"
            << "2000000 us, audio 1, 48000 Hz, 2 ch, 128000 b/s, ac3";
        QTest::addRow("text file") << "notes.txt" << "" << none;
        QTest::addRow("missing file") << "gone.wav" << "" << none;
        // clang-format on
    }
    void probeFiles()
    {
        QFETCH(QString, name);
        QFETCH(QString, make);
        QFETCH(QString, facts);
        TestSupport::useBuildAppDir();
        const QString path = media.filePath(name);
        if (!make.isEmpty())
            QVERIFY(TestSupport::runFfmpeg(make.split(QLatin1Char(' '), Qt::SkipEmptyParts) +
                                           QStringList{QStringLiteral("-y"), path}));
        else if (name.endsWith(QLatin1String(".txt")))
            QVERIFY(TestSupport::writeFileOfSize(path, 2000));
        GetMediaInfoThread thread;
        thread.path = path;
        thread.start();
        thread.wait();
        QScopedPointer<VoiceData> record(thread.result);
        QVERIFY(record);
        QCOMPARE(Facts(*record), facts);
        QCOMPARE(record->fileName + QString::number(record->fileSize),
                 name + QString::number(QFileInfo(path).size()));
        // Handed to the main thread, process and all, so that the panel may deleteLater it.
        QCOMPARE(record->process.thread(), QCoreApplication::instance()->thread());
        QSignalSpy destroyed(record.data(), &QObject::destroyed);
        record.take()->deleteLater();
        QVERIFY(destroyed.wait(5000));
    }
};

QTEST_GUILESS_MAIN(TestGetMediaInfoThread)
#include "tst_getmediainfothread.moc"
