// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include <algorithm>
#include <csignal>

#include <QDir>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "common/globals.h"
#include "engine/jobqueue.h"
#include "engine/workerpool.h"
#include "support/testsupport.h"
#include "tools/formatconvert/voiceconvertdata.h"
#include "tools/invertconvert/voiceinvertdata.h"
#include "tools/speedconvert/voicespeeddata.h"
#include "tools/volumeconvert/voicevolumedata.h"

// The resident converter against the ffmpeg child: the same audio, and a
// job's crash or stop stays that job's.
class TestWorkerPool : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;
    QString outDir;

    VoiceData *makeJob(const QString &tool, const QString &setting, const QString &input)
    {
        VoiceData *job = nullptr;
        if (tool == QLatin1String("convert")) {
            auto options = QSharedPointer<FormatOptions>::create();
            options->format = setting;
            job = new VoiceConvertData(options);
        } else if (tool == QLatin1String("speed")) {
            auto options = QSharedPointer<SpeedOptions>::create();
            options->factor = setting;
            job = new VoiceSpeedData(options);
        } else if (tool == QLatin1String("invert")) {
            job = new VoiceInvertData;
        } else {
            auto options = QSharedPointer<VolumeOptions>::create();
            options->mode = setting.toInt();
            job = new VoiceVolumeData(options);
        }
        TestSupport::probeFile(input, *job);
        return job;
    }
    // Every sample of a file at its own rate and channels, then its chapters and tags.
    static QByteArray decoded(const QString &path)
    {
        QProcess process;
        process.start(QStringLiteral("/usr/bin/ffmpeg"), {"-v", "error", "-i", path, "-f", "f32le", "-"});
        const QByteArray audio = process.waitForFinished(60000) ? process.readAllStandardOutput() : "";
        process.start(QStringLiteral("/usr/bin/ffprobe"), {"-v", "error", "-show_chapters", "-show_entries",
                                                           "format_tags:stream_tags", "-of", "csv", path});
        return process.waitForFinished(60000) ? audio + process.readAllStandardOutput() : QByteArray();
    }
    // No chapter of a result runs past its end.
    static bool chaptersWithin(const QString &path)
    {
        QProcess process;
        process.start(
            QStringLiteral("/usr/bin/ffprobe"),
            {"-v", "error", "-show_entries", "chapter=end_time:format=duration", "-of", "csv=p=0", path});
        QStringList ends =
            process.waitForFinished(60000)
                ? QString::fromLatin1(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts)
                : QStringList();
        const double length = ends.isEmpty() ? -1 : ends.takeLast().toDouble();
        return std::all_of(ends.cbegin(), ends.cend(),
                           [length](const QString &end) { return end.toDouble() <= length + 0.05; });
    }
    QStringList outputFiles() const { return QDir(outDir).entryList(QDir::Files | QDir::Hidden); }

private slots:
    void initTestCase()
    {
        TestSupport::useBuildAppDir();
        WorkerPool::instance().setProgram(QStringLiteral(QUILLVANE_TEST_APP_DIR "/quillvane-cli"));
        QVERIFY(WorkerPool::instance().available());
        QVERIFY(TestSupport::makeStretches(dir.filePath("in.wav"), {{1.0, 0.05}, {1.5, 0.9}, {0.5, 0.3}}));
        QVERIFY(TestSupport::makeTone(dir.filePath("in.flac"), 2.0, 300, 48000, 2, {"-sample_fmt", "s32"}));
        QVERIFY(TestSupport::makeTone(dir.filePath("long.wav"), 120.0));
        QFile chapters(dir.filePath("chapters.txt"));
        QVERIFY(chapters.open(QIODevice::WriteOnly));
        chapters.write(";FFMETADATA1\n[CHAPTER]\nTIMEBASE=1/1000\nSTART=0\nEND=700\ntitle=One\n"
                       "[CHAPTER]\nTIMEBASE=1/1000\nSTART=700\nEND=2000\ntitle=Two\n");
        chapters.close();
        QVERIFY(TestSupport::runFfmpeg({"-y", "-i", dir.filePath("in.flac"), "-i", chapters.fileName(),
                                        "-map_chapters", "1", dir.filePath("chapters.mp3")}));
        // Its first packet decodes to nothing: the audio starts a few milliseconds in.
        QVERIFY(TestSupport::makeTone(dir.filePath("vorbis.mka"), 2.0, 300, 44100, 2, {"-c:a", "libvorbis"}));
        // A stream whose audio starts after its video.
        QVERIFY(TestSupport::runFfmpeg({"-y", "-f", "lavfi", "-i", "testsrc=d=2:s=64x48:r=10", "-itsoffset",
                                        "0.25", "-i", dir.filePath("in.flac"), "-c:a", "mp2",
                                        dir.filePath("late.ts")}));
        QVERIFY(TestSupport::makeTone(
            dir.filePath("tags.opus"), 1.0, 300, 48000, 2,
            {"-metadata", "title=T", "-metadata", "artist=A", "-metadata:s:a:0", "language=eng"}));
        // DTS in a WAV that says PCM: only a search of its packets finds it.
        QVERIFY(TestSupport::makeTone(dir.filePath("in.dts"), 3.0, 440, 44100, 2,
                                      {"-c:a", "dca", "-strict", "-2"}));
        QVERIFY(TestSupport::runFfmpeg({"-f", "s16le", "-ar", "44100", "-ac", "2", "-i",
                                        dir.filePath("in.dts"), "-c", "copy", dir.filePath("dts.wav")}));
    }

    void init()
    {
        outDir = dir.filePath(QStringLiteral("out-") + QTest::currentTestFunction());
        QVERIFY(QDir().mkpath(outDir));
        SetSettingValue(QLatin1String(SettingsKey::OutFolder), outDir);
    }

    void sameAudioBothWays_data()
    {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("output");      // Output choices: "family=quality", "rate", "channels"
        QTest::addColumn<QString>("replacement"); // put in the input's place after its probe
        // clang-format off
        for (const char *format : {"mp3", "m4a", "ogg", "opus", "flac", "wav"})
            QTest::addRow("convert to %s", format) << "convert" << format << "in.wav" << "" << "";
        QTest::addRow("convert 24-bit flac to wav") << "convert" << "wav" << "in.flac" << "" << "";
        QTest::addRow("convert to mp3 V4 22 kHz mono") << "convert" << "mp3" << "in.wav" << "mp3=V4 22050 1" << "";
        QTest::addRow("convert to mp3 128k") << "convert" << "mp3" << "in.flac" << "mp3=128k" << "";
        QTest::addRow("convert to flac level 8") << "convert" << "flac" << "in.wav" << "flac=8" << "";
        QTest::addRow("speed 1.5") << "speed" << "1.5" << "in.wav" << "" << "";
        QTest::addRow("speed 0.5 flac") << "speed" << "0.5" << "in.flac" << "" << "";
        QTest::addRow("speed 1.5 with chapters") << "speed" << "1.5" << "chapters.mp3" << "" << "";
        QTest::addRow("volume standardizing") << "volume" << "0" << "in.wav" << "" << "";
        QTest::addRow("volume louder") << "volume" << "1" << "in.flac" << "" << "";
        QTest::addRow("volume quieter") << "volume" << "2" << "in.wav" << "" << "";
        QTest::addRow("invert wav") << "invert" << "" << "in.wav" << "" << "";
        QTest::addRow("invert 24-bit flac") << "invert" << "" << "in.flac" << "" << "";
        QTest::addRow("invert 24-bit flac to 22 kHz mono") << "invert" << "" << "in.flac" << "flac=5 22050 1" << "";
        QTest::addRow("invert mp3 with chapters") << "invert" << "" << "chapters.mp3" << "" << "";
        QTest::addRow("convert with chapters to m4a") << "convert" << "m4a" << "chapters.mp3" << "" << "";
        for (const char *format : {"m4a", "opus"})
            QTest::addRow("convert vorbis in matroska to %s", format) << "convert" << format << "vorbis.mka" << "" << "";
        QTest::addRow("convert audio after video to m4a") << "convert" << "m4a" << "late.ts" << "" << "";
        QTest::addRow("convert tagged opus to opus") << "convert" << "opus" << "tags.opus" << "" << "";
        QTest::addRow("convert a wav replaced by dts after its probe") << "convert" << "flac" << "in.wav" << "" << "dts.wav";
        // clang-format on
    }
    void sameAudioBothWays()
    {
        QFETCH(QString, tool);
        QFETCH(QString, setting);
        QFETCH(QString, input);
        QFETCH(QString, output);
        QFETCH(QString, replacement);
        auto options = QSharedPointer<OutputOptions>::create();
        const QStringList choices = output.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        QVERIFY(choices.isEmpty() || options->setQuality(choices.first()));
        QVERIFY(choices.size() < 2 || options->setSampleRate(choices.at(1).toInt()));
        QVERIFY(choices.size() < 3 || options->setChannels(choices.at(2).toInt()));
        QByteArray audio[2];
        for (int worker : {0, 1}) {
            WorkerPool::instance().setEnabled(worker);
            const QString path = dir.filePath(replacement.isEmpty() ? input : QStringLiteral("probed.wav"));
            QFile::remove(dir.filePath("probed.wav"));
            QVERIFY(replacement.isEmpty() || QFile::copy(dir.filePath(input), path));
            QScopedPointer<VoiceData> job(makeJob(tool, setting, path));
            QVERIFY(replacement.isEmpty() ||
                    (QFile::remove(path) && QFile::copy(dir.filePath(replacement), path)));
            job->outputOptions = options;
            job->startConvert();
            QVERIFY(TestSupport::waitForJobsToEnd({job.data()}, 60000));
            QVERIFY2(job->status() == VoiceData::Succeeded, qPrintable(job->errorText));
            // No child ran on the worker's side: it did the job itself.
            QCOMPARE(job->process.program().isEmpty(), bool(worker));
            QVERIFY(chaptersWithin(job->outputPath));
            audio[worker] = decoded(job->outputPath);
            QVERIFY(QFile::remove(job->outputPath));
        }
        QVERIFY(!audio[0].isEmpty());
        QCOMPARE(audio[1].size(), audio[0].size());
        QVERIFY(audio[1] == audio[0]);
    }

    // Each run of the job on a worker has that worker killed; the job fails
    // with a reason and the next ones run on new workers.
    void killedWorkerFailsItsJobOnly()
    {
        WorkerPool::instance().setEnabled(true);
        JobQueue queue;
        queue.setLimit(2);
        VoiceData *victim =
            makeJob(QStringLiteral("convert"), QStringLiteral("mp3"), dir.filePath("long.wav"));
        queue.append(victim);
        for (int i = 0; i < 4; ++i)
            queue.append(makeJob(QStringLiteral("convert"), QStringLiteral("flac"), dir.filePath("in.wav")));
        int kills = 0;
        connect(&queue, &JobQueue::progressChanged, this, [&kills](VoiceData *job) {
            const qint64 pid = WorkerPool::instance().workerPid(job->runTicket());
            if (job->objectName().isEmpty() && pid > 0 && ::kill(pid_t(pid), SIGKILL) == 0)
                ++kills;
        });
        for (VoiceData *job : queue.jobs())
            job->setObjectName(job == victim ? QString() : QStringLiteral("spared"));
        QSignalSpy finished(&queue, &JobQueue::batchFinished);
        queue.enqueueAll();
        queue.startWaiting();
        QVERIFY(finished.wait(60000) || finished.count() == 1);
        QCOMPARE(finished.first(), (QVariantList{4, 1, 0, 0}));
        QCOMPARE(victim->status(), int(VoiceData::Failed));
        QCOMPARE(kills, VoiceData::MaxRetries + 1);
        QVERIFY(!victim->errorText.isEmpty());
        QCOMPARE(outputFiles().filter(QStringLiteral(".part")), QStringList());
        QCOMPARE(outputFiles().size(), 4);
    }

    void stopLeavesNoPartFile_data()
    {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QString>("setting");
        QTest::addColumn<int>("stopAt"); // the progress the stop waits for; invert encodes past 5000
        // clang-format off
        QTest::addRow("volume") << "volume" << "1" << 0;
        QTest::addRow("invert, decoding") << "invert" << "" << 0;
        QTest::addRow("invert, encoding") << "invert" << "" << 5001;
        // clang-format on
    }
    void stopLeavesNoPartFile()
    {
        QFETCH(QString, tool);
        QFETCH(QString, setting);
        QFETCH(int, stopAt);
        WorkerPool::instance().setEnabled(true);
        QScopedPointer<VoiceData> job(makeJob(tool, setting, dir.filePath("long.wav")));
        int stoppedAt = -1;
        connect(job.data(), &VoiceData::updateProgress, job.data(), [&job, &stoppedAt, stopAt] {
            if (stoppedAt < 0 && job->progress >= stopAt) {
                stoppedAt = job->progress;
                job->stopConvert();
            }
        });
        job->startConvert();
        QVERIFY(job->runTicket() != 0);
        QVERIFY(TestSupport::waitForJobsToEnd({job.data()}, 60000));
        QTRY_VERIFY_WITH_TIMEOUT(!job->runActive(), 60000);
        QCOMPARE(job->status(), int(VoiceData::Stopped));
        QCOMPARE(stoppedAt < 5000, stopAt < 5000);
        QCOMPARE(outputFiles() + QDir(GetTempFolder()).entryList({"invert-*"}, QDir::Files), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestWorkerPool)
#include "tst_workerpool.moc"
