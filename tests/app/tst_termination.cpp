// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
// The application as a process: two copies writing into one folder, and the
// ways it can be ended while jobs convert. The test runs copies of itself in
// a child mode (QV_CHILD_MODE) that play the application.
#include <csignal>

#include <QDir>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "app/mainwidget.h"
#include "app/toolsbasewidget.h"
#include "app/toolsselectwidget.h"
#include "common/globals.h"
#include "engine/getmediainfothread.h"
#include "support/testsupport.h"
#include "tools/formatconvert/formatconvertwidget.h"
#include "tools/formatconvert/voiceconvertdata.h"

namespace {

// "convert INPUT": one job into the output folder of the settings; exits 0 on success.
// "window INPUT": the main window converting INPUT in the format panel, ended from outside.
int childMain(int argc, char **argv, const QByteArray &mode)
{
    QApplication app(argc, argv);
    g_appDir = qEnvironmentVariable("QV_APP_DIR");
    const QString input = QString::fromLocal8Bit(argv[1]);
    if (mode == "convert") {
        VoiceConvertData job;
        QScopedPointer<VoiceData> record(GetMediaInfoThread::ProbeRecord(input));
        job.copyProbeFacts(*record);
        QObject::connect(&job, &VoiceData::convertfinished, &app, &QCoreApplication::quit);
        job.startConvert();
        app.exec();
        return job.status() == VoiceData::Succeeded ? 0 : 1;
    }
    MainWidget window;
    window.QuitOnTerminationSignals();
    window.show();
    ToolsBaseWidget *panel = window.toolsSelectWidget->OpenTool(0);
    panel->AddFiles({input});
    if (!QTest::qWaitFor([panel] { return !panel->jobs().isEmpty(); }, 60000))
        return 2;
    panel->convertButton_slots();
    return app.exec();
}

bool processGone(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray text = stat.readAll();
    const int nameEnd = text.lastIndexOf(')');
    return nameEnd < 0 || nameEnd + 2 >= text.size() || text.at(nameEnd + 2) == 'Z';
}

} // namespace

class TestTermination : public QObject
{
    Q_OBJECT
    QTemporaryDir work, outputs;

    QString file(const QString &name) const { return work.filePath(name); }
    QStringList outputFiles() const { return QDir(outputs.path()).entryList(QDir::Files | QDir::Hidden); }
    // Starts a copy of this test in a child mode.
    void startChild(QProcess &child, const char *mode, const QString &input)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QV_CHILD_MODE"), QLatin1String(mode));
        environment.insert(QStringLiteral("QV_APP_DIR"), work.path());
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(), {input});
    }
    int lines(const QString &name) const
    {
        QFile log(file(name));
        return log.open(QIODevice::ReadOnly) ? log.readAll().count('\n') : 0;
    }

private slots:
    void initTestCase()
    {
        SetSettingValue(QLatin1String(SettingsKey::OutFolder), outputs.path());
        QVERIFY(QDir(work.path()).mkpath(QStringLiteral("a")) &&
                QDir(work.path()).mkpath(QStringLiteral("b")));
        QVERIFY(TestSupport::makeTone(file(QStringLiteral("a/song.wav")), 2.0, 300));
        QVERIFY(TestSupport::makeTone(file(QStringLiteral("b/song.wav")), 2.0, 900));
    }
    void init()
    {
        QFile::remove(file(QStringLiteral("gate")));
        QFile::remove(file(QStringLiteral("started")));
        for (const QString &name : outputFiles())
            QFile::remove(outputs.filePath(name));
    }

    // Two jobs with same-named inputs finish together: both results are kept.
    void sameNamesIntoOneFolder_data()
    {
        QTest::addColumn<bool>("processes");
        QTest::addRow("two panels") << false;
        QTest::addRow("two processes") << true;
    }
    void sameNamesIntoOneFolder()
    {
        QFETCH(bool, processes);
        QVERIFY(TestSupport::writeStandInFfmpeg(
            work.path(),
            QStringLiteral("echo >> '%1/started'\nwhile [ ! -e '%1/gate' ]; do sleep 0.02; done\n"
                           "exec /usr/bin/ffmpeg \"$@\"")
                .arg(work.path())));
        const QStringList inputs{file(QStringLiteral("a/song.wav")), file(QStringLiteral("b/song.wav"))};
        QProcess children[2];
        FormatConvertWidget panels[2];
        for (int i = 0; i < 2; ++i) {
            if (processes) {
                startChild(children[i], "convert", inputs.at(i));
            } else {
                g_appDir = work.path();
                panels[i].AddFiles({inputs.at(i)});
                QTRY_COMPARE_WITH_TIMEOUT(panels[i].jobs().size(), 1, 60000);
                panels[i].convertButton_slots();
            }
        }
        QTRY_COMPARE_WITH_TIMEOUT(lines(QStringLiteral("started")), 2, 60000);
        QVERIFY(TestSupport::writeFileOfSize(file(QStringLiteral("gate")), 0));
        for (int i = 0; i < 2; ++i) {
            if (processes)
                QVERIFY(children[i].waitForFinished(60000) && children[i].exitCode() == 0);
            else
                QVERIFY(TestSupport::waitForJobsToEnd(panels[i].jobs(), 60000));
        }
        QCOMPARE(outputFiles(), QStringList({"song (0).mp3", "song.mp3"}));
        // One result of each input, whichever took which name.
        QList<int> pitches;
        for (const QString &name : outputFiles())
            pitches << qRound(TestSupport::toneFrequency(
                                  TestSupport::decodeMono(outputs.filePath(name), 8000), 8000) /
                              100) *
                           100;
        std::sort(pitches.begin(), pitches.end());
        QCOMPARE(pitches, QList<int>({300, 900}));
    }

    // The application is ended while a job converts.
    void endedWhileConverting_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::addRow("SIGTERM") << int(SIGTERM);
        QTest::addRow("SIGINT") << int(SIGINT);
        QTest::addRow("SIGHUP") << int(SIGHUP);
        QTest::addRow("SIGKILL") << int(SIGKILL);
    }
    void endedWhileConverting()
    {
        QFETCH(int, signalNumber);
        QVERIFY(TestSupport::writeStandInFfmpeg(
            work.path(),
            QStringLiteral("head -c 5000 /dev/zero > \"$out\"\necho $$ >> '%1/started'\nexec sleep 600")
                .arg(work.path())));
        QProcess app;
        startChild(app, "window", file(QStringLiteral("a/song.wav")));
        QTRY_COMPARE_WITH_TIMEOUT(lines(QStringLiteral("started")), 1, 60000);
        QFile started(file(QStringLiteral("started")));
        QVERIFY(started.open(QIODevice::ReadOnly));
        const qint64 converter = started.readAll().trimmed().toLongLong();
        QCOMPARE(outputFiles().size(), 1);

        ::kill(pid_t(app.processId()), signalNumber);
        QVERIFY(app.waitForFinished(60000));
        // The converter never outlives the application, however it ended.
        QTRY_VERIFY_WITH_TIMEOUT(processGone(converter), 60000);
        if (signalNumber != SIGKILL) {
            // Ended as a close would: cleaned up, without asking.
            QCOMPARE(app.exitStatus(), QProcess::NormalExit);
            QCOMPARE(outputFiles(), QStringList());
            return;
        }
        // Killed outright, it left its part file; the next start removes it.
        QCOMPARE(outputFiles().size(), 1);
        QVERIFY(outputFiles().first().startsWith(QLatin1String(".quillvane-")));
        MainWidget next;
        QCOMPARE(outputFiles(), QStringList());
    }
};

int main(int argc, char **argv)
{
    const QByteArray mode = qgetenv("QV_CHILD_MODE");
    if (!mode.isEmpty())
        return childMain(argc, argv, mode);
    QApplication app(argc, argv);
    TestTermination test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_termination.moc"
