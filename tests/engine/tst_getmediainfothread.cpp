#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "app/globals.h"
#include "engine/getmediainfothread.h"
#include "engine/voicedata.h"
#include "support/testsupport.h"

class TestGetMediaInfoThread : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void parse_data();
    void parse();
    void streamInfoIsCleanedLine();
    void probeRealFiles_data();
    void probeRealFiles();
    void probeNonMedia_data();
    void probeNonMedia();
    void probeWithoutFfmpeg_data();
    void probeWithoutFfmpeg();

private:
    VoiceData *probe(const QString &path);
    QTemporaryDir media;
};

void TestGetMediaInfoThread::initTestCase()
{
    QVERIFY(media.isValid());
}

VoiceData *TestGetMediaInfoThread::probe(const QString &path)
{
    GetMediaInfoThread thread;
    thread.path = path;
    QSignalSpy finished(&thread, &QThread::finished);
    thread.start();
    if (!finished.wait(15000))
        return nullptr;
    thread.wait();
    return thread.result;
}

void TestGetMediaInfoThread::parse_data()
{
    QTest::addColumn<QString>("report");
    QTest::addColumn<qint64>("duration");
    QTest::addColumn<int>("hasAudio");
    QTest::addColumn<int>("sampleRate");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("bitRate");
    QTest::addColumn<QString>("codec");

    QTest::addRow("aac with duration")
        << "  Duration: 00:03:25.12, start: 0.025057, bitrate: 320 kb/s\n"
           "    Stream #0:0(und): Audio: aac (LC), 44100 Hz, stereo, fltp, 128 kb/s (default)\n"
        << qint64(205000000) << 1 << 44100 << 2 << 128000 << "aac";
    QTest::addRow("mono")
        << "  Stream #0:0: Audio: pcm_s16le ([1][0][0][0] / 0x0001), 22050 Hz, mono, s16, 352 kb/s\n"
        << qint64(0) << 1 << 22050 << 1 << 352000 << "pcm_s16le";
    QTest::addRow("5.1(side) counts as one")
        << "  Stream #0:0: Audio: ac3, 48000 Hz, 5.1(side), fltp, 448 kb/s\n"
        << qint64(0) << 1 << 48000 << 1 << 448000 << "ac3";
    QTest::addRow("2 channels counts as one")
        << "  Stream #0:0: Audio: pcm_s16le, 8000 Hz, 2 channels, s16, 256 kb/s\n"
        << qint64(0) << 1 << 8000 << 1 << 256000 << "pcm_s16le";
    QTest::addRow("flac without kb/s") << "  Duration: 00:00:01.00, start: 0.000000, bitrate: 172 kb/s\n"
                                          "  Stream #0:0: Audio: flac, 48000 Hz, mono, s16\n"
                                       << qint64(1000000) << 1 << 48000 << 1 << 0 << "flac";
    QTest::addRow("duration not available")
        << "  Duration: N/A, bitrate: N/A\n  Stream #0:0: Audio: mp3, 44100 Hz, stereo, fltp, 128 kb/s\n"
        << qint64(0) << 1 << 44100 << 2 << 128000 << "mp3";
    QTest::addRow("video stream ignored")
        << "  Duration: 00:00:02.00, start: 0.000000, bitrate: 240 kb/s\n"
           "  Stream #0:0[0x1](und): Video: mpeg4 (Simple Profile) (mp4v / 0x7634706D), yuv420p, 160x120 "
           "[SAR 1:1 DAR 4:3], 92 kb/s, 10 fps, 10 tbr, 10240 tbn (default)\n"
           "  Stream #0:1[0x2](und): Audio: ac3 (ac-3 / 0x332D6361), 48000 Hz, stereo, fltp, 128 kb/s "
           "(default)\n"
        << qint64(2000000) << 1 << 48000 << 2 << 128000 << "ac3";
    QTest::addRow("video only")
        << "  Duration: 00:00:03.00, start: 0.000000, bitrate: 92 kb/s\n"
           "  Stream #0:0: Video: mpeg4 (Simple Profile), yuv420p, 160x120, 92 kb/s, 10 fps\n"
        << qint64(3000000) << 0 << 0 << 0 << 0 << "";
    QTest::addRow("folder named Output")
        << "Input #0, wav, from '/home/me/Output/a.wav':\n"
           "  Duration: 00:00:05.00, bitrate: 1411 kb/s\n"
           "  Stream #0:0: Audio: pcm_s16le, 44100 Hz, stereo, s16, 1411 kb/s\n"
        << qint64(5000000) << 1 << 44100 << 2 << 1411000 << "pcm_s16le";
    QTest::addRow("metadata with the word output")
        << "Input #0, mp3, from 'mix.mp3':\n  Metadata:\n    title           : OUTPUT of the night\n"
           "    comment         : see output #2\n"
           "  Duration: 00:01:00.00, start: 0.000000, bitrate: 192 kb/s\n"
           "  Stream #0:0: Audio: mp3, 44100 Hz, stereo, fltp, 192 kb/s\n"
        << qint64(60000000) << 1 << 44100 << 2 << 192000 << "mp3";
    QTest::addRow("stops at the output heading")
        << "  Duration: 00:00:05.00, bitrate: 64 kb/s\n"
           "  Stream #0:0: Audio: mp3, 44100 Hz, mono, fltp, 64 kb/s\n"
           "Output #0, wav, to 'x.wav':\n"
           "  Duration: 00:09:00.00\n"
           "  Stream #0:0: Audio: pcm_s16le, 8000 Hz, stereo, s16, 256 kb/s\n"
        << qint64(5000000) << 1 << 44100 << 1 << 64000 << "mp3";
    QTest::addRow("last audio stream wins") << "  Stream #0:0: Audio: mp3, 44100 Hz, mono, fltp, 64 kb/s\n"
                                               "  Stream #0:1: Audio: aac, 48000 Hz, stereo, fltp, 96 kb/s\n"
                                            << qint64(0) << 1 << 48000 << 2 << 96000 << "aac";
    QTest::addRow("stream metadata DURATION tag ignored")
        << "  Duration: 00:00:09.50, start: 0.000000, bitrate: 128 kb/s\n"
           "  Stream #0:0: Audio: opus, 48000 Hz, stereo, fltp\n"
           "    Metadata:\n      DURATION        : 00:00:07.000000000\n"
        << qint64(9000000) << 1 << 48000 << 2 << 0 << "opus";
    QTest::addRow("carriage returns") << "  Duration: 00:00:02.04, start: 0.025057, bitrate: 129 kb/s\r\n"
                                         "  Stream #0:0: Audio: mp3, 44100 Hz, stereo, fltp, 128 kb/s\r\n"
                                      << qint64(2000000) << 1 << 44100 << 2 << 128000 << "mp3";
    QTest::addRow("not media") << "ffmpeg version 5.1\nnotes.txt: Invalid data found when processing input\n"
                               << qint64(0) << 0 << 0 << 0 << 0 << "";
    QTest::addRow("empty") << "" << qint64(0) << 0 << 0 << 0 << 0 << "";
}

void TestGetMediaInfoThread::parse()
{
    QFETCH(QString, report);
    QFETCH(qint64, duration);
    QFETCH(int, hasAudio);
    QFETCH(int, sampleRate);
    QFETCH(int, channels);
    QFETCH(int, bitRate);
    QFETCH(QString, codec);
    VoiceData record;
    GetMediaInfoThread::ParseReport(report, record);
    QCOMPARE(record.duration, duration);
    QCOMPARE(record.hasAudio, hasAudio);
    QCOMPARE(record.sampleRate, sampleRate);
    QCOMPARE(record.channels, channels);
    QCOMPARE(record.bitRate, bitRate);
    QCOMPARE(record.codecName, codec);
    QCOMPARE(record.streamInfo.isEmpty(), hasAudio == 0);
}

void TestGetMediaInfoThread::streamInfoIsCleanedLine()
{
    VoiceData record;
    GetMediaInfoThread::ParseReport(
        QStringLiteral("    Stream #0:0(und): Audio: aac (LC), 44100 Hz, stereo, fltp, 128 kb/s (default)\n"),
        record);
    QCOMPARE(record.streamInfo,
             QStringLiteral("Stream #0:0 : Audio: aac  , 44100 Hz, stereo, fltp, 128 kb/s  "));
}

void TestGetMediaInfoThread::probeRealFiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("makeArgs");
    QTest::addColumn<qint64>("duration");
    QTest::addColumn<int>("sampleRate");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("bitRate");
    QTest::addColumn<QString>("codec");
    const auto tone = [](double seconds, int rate, int channels) {
        return QStringList{
            QStringLiteral("-f"),
            QStringLiteral("lavfi"),
            QStringLiteral("-i"),
            QStringLiteral("sine=frequency=440:sample_rate=%1:duration=%2").arg(rate).arg(seconds),
            QStringLiteral("-ac"),
            QString::number(channels)};
    };
    QTest::addRow("wav") << "tone.wav" << tone(1, 44100, 2) << qint64(1000000) << 44100 << 2 << 1411000
                         << "pcm_s16le";
    QTest::addRow("mp3") << "tone.mp3" << tone(2, 44100, 2) + QStringList{"-b:a", "128k"} << qint64(2000000)
                         << 44100 << 2 << 128000 << "mp3";
    QTest::addRow("flac") << "tone.flac" << tone(1, 48000, 1) << qint64(1000000) << 48000 << 1 << 0 << "flac";
    QTest::addRow("video with audio")
        << "clip.mp4"
        << QStringList{"-f", "lavfi", "-i", "testsrc=size=160x120:rate=10:duration=2"} + tone(2, 48000, 2) +
               QStringList{"-c:v", "mpeg4", "-c:a", "ac3", "-b:a", "128k", "-shortest"}
        << qint64(2000000) << 48000 << 2 << 128000 << "ac3";
    QTest::addRow("in a folder named Output")
        << "Output/tone.wav" << tone(1, 22050, 1) << qint64(1000000) << 22050 << 1 << 352000 << "pcm_s16le";
}

void TestGetMediaInfoThread::probeRealFiles()
{
    QFETCH(QString, name);
    QFETCH(QStringList, makeArgs);
    QFETCH(qint64, duration);
    QFETCH(int, sampleRate);
    QFETCH(int, channels);
    QFETCH(int, bitRate);
    QFETCH(QString, codec);
    TestSupport::useBuildAppDir();
    const QString path = media.filePath(name);
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    QString output;
    QVERIFY2(
        TestSupport::runFfmpeg(QStringList{QStringLiteral("-y")} + makeArgs + QStringList{path}, &output),
        qPrintable(output));

    QScopedPointer<VoiceData> record(probe(path));
    QVERIFY(record);
    QCOMPARE(record->filePath, path);
    QCOMPARE(record->fileName, QFileInfo(path).fileName());
    QCOMPARE(record->fileSize, QFileInfo(path).size());
    QCOMPARE(record->duration, duration);
    QCOMPARE(record->hasAudio, 1);
    QCOMPARE(record->sampleRate, sampleRate);
    QCOMPARE(record->channels, channels);
    QCOMPARE(record->bitRate, bitRate);
    QCOMPARE(record->codecName, codec);
    QCOMPARE(record->status, int(VoiceData::Idle));
    // Handed to the main thread, process and all, so that the panel may deleteLater it.
    QCOMPARE(record->thread(), QCoreApplication::instance()->thread());
    QCOMPARE(record->process.thread(), QCoreApplication::instance()->thread());
    QSignalSpy destroyed(record.data(), &QObject::destroyed);
    record.take()->deleteLater();
    QVERIFY(destroyed.wait(5000));
}

void TestGetMediaInfoThread::probeNonMedia_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<qint64>("size"); // -1: no such file
    QTest::addRow("text file") << "notes.txt" << qint64(2000);
    QTest::addRow("missing file") << "gone.wav" << qint64(-1);
}

void TestGetMediaInfoThread::probeNonMedia()
{
    QFETCH(QString, name);
    QFETCH(qint64, size);
    TestSupport::useBuildAppDir();
    const QString path = media.filePath(name);
    if (size >= 0)
        QVERIFY(TestSupport::writeFileOfSize(path, size));

    // ffmpeg still complains in its report, so a record is made; it has no facts.
    QScopedPointer<VoiceData> record(probe(path));
    QVERIFY(record);
    QCOMPARE(record->fileName, name);
    QCOMPARE(record->fileSize, qMax(size, qint64(0)));
    QCOMPARE(record->duration, qint64(0));
    QCOMPARE(record->hasAudio, 0);
    QCOMPARE(record->channels, 0);
    QCOMPARE(record->sampleRate, 0);
    QCOMPARE(record->bitRate, 0);
}

void TestGetMediaInfoThread::probeWithoutFfmpeg_data()
{
    QTest::addColumn<bool>("present");
    QTest::addRow("no ffmpeg") << false;
    QTest::addRow("ffmpeg not executable") << true;
}

void TestGetMediaInfoThread::probeWithoutFfmpeg()
{
    QFETCH(bool, present);
    QTemporaryDir appDir;
    g_appDir = appDir.path();
    if (present)
        QVERIFY(TestSupport::writeFileOfSize(appDir.filePath(QStringLiteral("ffmpeg")), 100));
    const QString path = media.filePath(QStringLiteral("silence.wav"));
    QVERIFY(TestSupport::writeFileOfSize(path, 5000));
    GetMediaInfoThread thread;
    thread.path = path;
    QSignalSpy finished(&thread, &QThread::finished);
    thread.start();
    QVERIFY(finished.wait(15000));
    thread.wait();
    QVERIFY(!thread.result);
}

QTEST_GUILESS_MAIN(TestGetMediaInfoThread)
#include "tst_getmediainfothread.moc"
