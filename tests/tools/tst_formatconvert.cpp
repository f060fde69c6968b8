// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
// The format tool from the selector to the results. Its argument lists and
// stored choice are in tst_filetools with the other tools'.
#include <QtTest>

#include "app/mainwidget.h"
#include "app/toolsbasewidget.h"
#include "app/toolsselectwidget.h"
#include "common/globals.h"
#include "engine/voicedata.h"
#include "support/testsupport.h"
#include "support/toolfixture.h"

class TestFormatConvert : public ToolFixture
{
    Q_OBJECT
private slots:
    void convertsFiveFilesTwoAtATime()
    {
        SetSettingValue(QLatin1String(SettingsKey::ConvertFormat), QStringLiteral("mp3"));
        const QStringList names{"song.wav", "b.flac", "c.wav", "d.ogg", "e.wav"};
        QStringList paths;
        QList<QByteArray> digests;
        for (int i = 0; i < names.size(); ++i) {
            paths << inputs.filePath(names.at(i));
            QVERIFY(TestSupport::makeTone(paths.last(), 1.0 + 0.25 * i, 300 + 100 * i));
            digests << TestSupport::fileDigest(paths.last());
        }
        // An earlier result of the same name is never overwritten.
        QVERIFY(TestSupport::writeFileOfSize(outputs.filePath(QStringLiteral("song.mp3")), 10));

        window->setSameMaxCount(2);
        ToolsBaseWidget *panel = open(Format);
        QVERIFY(add(panel, paths));
        const QList<VoiceData *> jobs = panel->jobs();
        for (VoiceData *job : jobs)
            QCOMPARE(job->fileName, names.at(jobs.indexOf(job)));
        // The queue's limit and order over a whole batch are tst_jobqueue's; here the panel hands it the
        // window's limit.
        panel->convertButton_slots();
        QCOMPARE(jobs.at(1)->status(), int(VoiceData::Converting));
        QCOMPARE(jobs.at(2)->status(), int(VoiceData::Waiting));
        QVERIFY(waitForEnd(panel));

        QCOMPARE(jobs.at(0)->outputPath, outputs.filePath(QStringLiteral("song (0).mp3")));
        QCOMPARE(jobs.at(1)->outputPath, outputs.filePath(QStringLiteral("b.mp3")));
        for (int i = 0; i < jobs.size(); ++i) {
            QCOMPARE(jobs.at(i)->status(), int(VoiceData::Succeeded));
            VoiceData result;
            QVERIFY(TestSupport::probeFile(jobs.at(i)->outputPath, result));
            QCOMPARE(result.codecName, QStringLiteral("mp3"));
            QVERIFY(result.duration >= jobs.at(i)->duration - 100000);
            QCOMPARE(TestSupport::fileDigest(paths.at(i)), digests.at(i));
        }
        QCOMPARE(QFileInfo(outputs.filePath(QStringLiteral("song.mp3"))).size(), qint64(10));

        // Going back empties the list; the same panel comes back empty.
        QVERIFY(window->toolsSelectWidget->ShowSelector());
        QVERIFY(panel->jobs().isEmpty());
        QCOMPARE(open(Format), panel);
        QVERIFY(panel->jobs().isEmpty());
    }

    void convertsToEveryFormat_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("codec");
        QTest::addColumn<int>("sampleRate");
        QTest::addColumn<int>("channels");
        QTest::addRow("mp3") << 0 << "mp3" << 44100 << 2;
        QTest::addRow("aac") << 1 << "aac" << 44100 << 2;
        QTest::addRow("flac") << 2 << "flac" << 44100 << 2;
        QTest::addRow("wav") << 3 << "pcm_s16le" << 44100 << 2;
        QTest::addRow("amr") << 4 << "amr_nb" << 8000 << 1;
    }

    void convertsToEveryFormat()
    {
        QFETCH(int, index);
        QFETCH(QString, codec);
        QFETCH(int, sampleRate);
        QFETCH(int, channels);
        // A video file: only its audio is kept.
        const QString input = inputs.filePath(QStringLiteral("clip.mp4"));
        QVERIFY(
            QFileInfo::exists(input) ||
            TestSupport::runFfmpeg({"-f", "lavfi", "-i", "testsrc=size=160x120:rate=10:duration=1", "-f",
                                    "lavfi", "-i", "sine=duration=1", "-ac", "2", "-c:v", "mpeg4", input}));
        ToolsBaseWidget *panel = open(Format);
        choose(panel, index);
        QVERIFY(add(panel, {input}));
        QVERIFY(convert(panel));
        VoiceData *job = panel->jobs().first();
        QCOMPARE(job->status(), int(VoiceData::Succeeded));
        VoiceData result;
        QVERIFY(TestSupport::probeFile(job->outputPath, result));
        QCOMPARE(result.codecName, codec);
        QCOMPARE(result.sampleRate, sampleRate);
        QCOMPARE(result.channels, channels);
        QVERIFY(!result.streamInfo.contains(QStringLiteral("Video")));
    }
};

QTEST_MAIN(TestFormatConvert)
#include "tst_formatconvert.moc"
