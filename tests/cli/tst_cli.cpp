// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
// The command line against the window: the same inputs through a panel and
// through quillvane-cli give the same files, byte for byte, under the same names.
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTimeEdit>
#include <QtTest>

#include "app/toolsbasewidget.h"
#include "engine/outputoptions.h"
#include "support/testsupport.h"
#include "support/toolfixture.h"

class TestCli : public ToolFixture
{
    Q_OBJECT
private slots:
    void sameFilesAsTheWindow_data()
    {
        QTest::addColumn<int>("tool");
        QTest::addColumn<QStringList>("command");
        // The window's Output settings for its run; the command line gets none stored, only its flags.
        QTest::addColumn<QStringList>("output");
        QTest::addRow("convert to mp3")
            << int(Format) << QStringList{"convert", "--to", "mp3"} << QStringList();
        QTest::addRow("convert, output settings")
            << int(Format) << QStringList{"convert", "--to",  "mp3",        "--quality", "mp3=V4",
                                          "--rate",  "22050", "--channels", "1"}
            << QStringList{"mp3=V4", "rate=22050", "channels=1"};
        QTest::addRow("trim 1 s to 3 s")
            << int(Trim) << QStringList{"trim", "--start", "1", "--end", "0:03"} << QStringList();
        QTest::addRow("mix, first is the reference") << int(Mix) << QStringList{"mix"} << QStringList();
    }

    void sameFilesAsTheWindow()
    {
        QFETCH(int, tool);
        QFETCH(QStringList, command);
        QFETCH(QStringList, output);
        OutputOptions chosen;
        for (const QString &choice : output) {
            const int number = choice.section('=', 1).toInt();
            QVERIFY(choice.startsWith("rate=")       ? chosen.setSampleRate(number)
                    : choice.startsWith("channels=") ? chosen.setChannels(number)
                                                     : chosen.setQuality(choice));
        }
        chosen.save();
        const QStringList paths{inputs.filePath(QStringLiteral("a b 中文.wav")),
                                inputs.filePath(QStringLiteral("c.flac")),
                                inputs.filePath(QStringLiteral("v.mp4"))};
        if (!QFileInfo::exists(paths.last())) {
            QVERIFY(TestSupport::makeTone(paths.at(0), 4.0, 440));
            QVERIFY(TestSupport::makeTone(paths.at(1), 3.5, 660, 48000, 1));
            QVERIFY(TestSupport::runFfmpeg({"-f", "lavfi", "-i", "testsrc=size=64x48:rate=10:duration=4",
                                            "-f", "lavfi", "-i", "sine=frequency=550:duration=4", "-shortest",
                                            "-y", paths.last()}));
        }

        for (const QString &name : outputFiles())
            QFile::remove(outputs.filePath(name));
        ToolsBaseWidget *panel = open(tool);
        if (tool == Format)
            choose(panel, 0);
        if (tool == Trim) {
            const QList<QTimeEdit *> edits = panel->findChildren<QTimeEdit *>();
            QCOMPARE(edits.size(), 2);
            edits.at(0)->setTime(QTime(0, 0, 1));
            edits.at(1)->setTime(QTime(0, 0, 3));
        }
        QVERIFY(add(panel, paths));
        QVERIFY(convert(panel));
        const QStringList windowFiles = outputFiles();
        QCOMPARE(windowFiles.size(), tool == Mix ? 1 : paths.size());

        OutputOptions().save();

        QTemporaryDir cliOut;
        QProcess cli;
        cli.start(QStringLiteral(QUILLVANE_TEST_APP_DIR "/quillvane-cli"),
                  command + QStringList{"--json", "-o", cliOut.path()} + paths);
        QVERIFY(cli.waitForFinished(120000));
        QCOMPARE(cli.exitCode(), 0);

        int ends = 0;
        for (const QByteArray &line : cli.readAllStandardOutput().split('\n')) {
            if (line.isEmpty())
                continue;
            const QJsonObject event = QJsonDocument::fromJson(line).object();
            QVERIFY2(!event.isEmpty(), line.constData());
            QCOMPARE(event.value("tool").toString(), command.first());
            QVERIFY(paths.contains(event.value("input").toString()));
            if (event.value("event").toString() != QLatin1String("end"))
                continue;
            ++ends;
            QCOMPARE(event.value("status").toString(), QStringLiteral("succeeded"));
            QCOMPARE(QFileInfo(event.value("output").toString()).path(), cliOut.path());
        }
        QCOMPARE(ends, windowFiles.size());
        QCOMPARE(QDir(cliOut.path()).entryList(QDir::Files, QDir::Name), windowFiles);
        for (const QString &name : windowFiles)
            QVERIFY2(TestSupport::fileDigest(cliOut.filePath(name)) ==
                         TestSupport::fileDigest(outputs.filePath(name)),
                     qPrintable(name));
    }
};

QTEST_MAIN(TestCli)
#include "tst_cli.moc"
