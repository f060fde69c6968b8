#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "app/globals.h"
#include "engine/jobhelpers.h"
#include "support/testsupport.h"

class TestJobHelpers : public QObject
{
    Q_OBJECT
private slots:
    void childStartsLikeEveryJob()
    {
        QTemporaryDir appDir;
        g_appDir = appDir.path();
        const QString program = appDir.filePath(QStringLiteral("child"));
        QVERIFY(TestSupport::writeExecutable(
            program, QStringLiteral("#!/bin/sh\npwd -P\necho \"$FONTCONFIG_FILE\"\necho to-stderr >&2\n"
                                    "for a; do echo \"[$a]\"; done\n")));
        QProcess process;
        StartChildProcess(process, program, {QStringLiteral("-i"), QStringLiteral("a b.wav")});
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(process.openMode(), QIODevice::ReadWrite);
        // In the application directory, with the fonts configuration, error output
        // merged, and each argument whole, blanks and all.
        QCOMPARE(QString::fromLocal8Bit(process.readAllStandardOutput()).split(QLatin1Char('\n')),
                 QStringList({QDir(appDir.path()).canonicalPath(),
                              appDir.path() + QStringLiteral("/font/fonts.conf"), QStringLiteral("to-stderr"),
                              QStringLiteral("[-i]"), QStringLiteral("[a b.wav]"), QString()}));
    }

    void uniqueOutputPath_data()
    {
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("collisionOpen");
        QTest::addColumn<QString>("expected");
        const QString blank = QStringLiteral(" (");
        using L = QStringList;
        // Names near the 255-byte limit, in characters of two, four (a surrogate
        // pair) and three bytes (a letter with a combining accent).
        const QString e2(QChar(0xE9)), clef = QString::fromUcs4(U"\U0001D11E"), accented("e\u0301");
        // clang-format off
        QTest::addRow("free name") << L() << "/in/song.wav" << "" << blank << "song.mp3";
        QTest::addRow("first collision") << L{"song.mp3"} << "/in/song.wav" << "" << blank << "song (0).mp3";
        QTest::addRow("reserved by a running job") << L{"s.mp3", "*s (0).mp3"} << "/in/s.wav" << "" << blank << "s (1).mp3";
        QTest::addRow("gap is not filled") << L{"s.mp3", "s (1).mp3"} << "/in/s.wav" << "" << blank << "s (0).mp3";
        QTest::addRow("tag, no blank") << L{"a-cat.wav", "a-cat(0).wav"} << "/in/a.wav" << "-cat" << "(" << "a-cat(1).wav";
        QTest::addRow("suffix twice at the end") << L() << "/in/a.mp3.mp3" << "" << blank << "a.mp3";
        QTest::addRow("other dots stay") << L() << "/in/v1.2 live.flac" << "" << blank << "v1.2 live.wav";
        QTest::addRow("a link to nowhere holds its name") << L{"@song.mp3"} << "/in/song.wav" << "" << blank << "song (0).mp3";
        QTest::addRow("long name shortened for the tag") << L() << "/in/" + e2.repeated(125) + ".wav" << "-split-1" << blank << e2.repeated(121) + "-split-1.wav";
        QTest::addRow("long name shortened for the number") << L{e2.repeated(125) + ".mp3"} << "/in/" + e2.repeated(125) + ".wav" << "" << blank << e2.repeated(123) + " (0).mp3";
        QTest::addRow("four-byte characters stay whole") << L() << "/in/" + clef.repeated(62) + ".wav" << "-trim" << blank << clef.repeated(61) + "-trim.wav";
        QTest::addRow("an accent stays with its letter") << L() << "/in/" + accented.repeated(83) + ".wav" << "-mix" << blank << accented.repeated(82) + "-mix.wav";
        // clang-format on
    }
    void uniqueOutputPath()
    {
        QFETCH(QStringList, existing);
        QFETCH(QString, input);
        QFETCH(QString, tag);
        QFETCH(QString, collisionOpen);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        SetSettingValue(QLatin1String(SettingsKey::OutFolder), dir.path());
        // A leading "*" marks a name a running job has reserved but not written
        // yet, "@" a link that leads nowhere.
        for (const QString &name : qAsConst(existing)) {
            if (name.startsWith(QLatin1Char('*')))
                ReserveOutputPath(dir.filePath(name.mid(1)));
            else if (name.startsWith(QLatin1Char('@')))
                QVERIFY(QFile::link(dir.filePath(QStringLiteral("nowhere")), dir.filePath(name.mid(1))));
            else
                QVERIFY(TestSupport::writeFileOfSize(dir.filePath(name), 1));
        }
        const QString out = UniqueOutputPath(input, tag, QFileInfo(expected).suffix(), collisionOpen);
        for (const QString &name : qAsConst(existing))
            ReleaseOutputPath(dir.filePath(name.mid(1)));
        QCOMPARE(out, dir.filePath(expected));
    }

    void advanceProgress_data()
    {
        QTest::addColumn<qint64>("time");
        QTest::addColumn<double>("reference");
        QTest::addColumn<int>("before");
        QTest::addColumn<bool>("usable");
        QTest::addColumn<int>("after");
        QTest::addRow("half") << qint64(30000000) << 60000000.0 << 0 << true << 5000;
        QTest::addRow("beyond the end") << qint64(90000000) << 60000000.0 << 0 << true << 9999;
        QTest::addRow("smaller later time keeps") << qint64(10000000) << 60000000.0 << 5000 << true << 5000;
        QTest::addRow("no duration") << qint64(30000000) << 0.0 << 0 << false << 0;
        QTest::addRow("ten hours, half") << qint64(18000000000LL) << 36000000000.0 << 0 << true << 5000;
    }
    void advanceProgress()
    {
        QFETCH(qint64, time);
        QFETCH(double, reference);
        QFETCH(int, before);
        QFETCH(bool, usable);
        QFETCH(int, after);
        int progress = before;
        QCOMPARE(AdvanceProgress(time, reference, progress), usable);
        QCOMPARE(progress, after);
    }

    // Audio results go into containers that can hold them, with the options their encoder needs.
    void outputFormat_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QStringList>("extraArguments");
        const QStringList narrowband{"-ar", "8000", "-ac", "1"};
        // clang-format off
        QTest::addRow("audio keeps its suffix, case and all") << "/in/a.WAV" << "WAV" << QStringList();
        QTest::addRow("video container holds audio alone") << "/in/clip.mp4" << "mp4" << QStringList();
        QTest::addRow("camcorder file") << "/in/clip.MOD" << "mp3" << QStringList();
        QTest::addRow("read-only audio format") << "/in/song.ape" << "mp3" << QStringList();
        QTest::addRow("no suffix") << "/in/noise" << "mp3" << QStringList();
        QTest::addRow("amr is narrowband") << "/in/a.AMR" << "AMR" << narrowband;
        QTest::addRow("3gp audio is amr") << "/in/a.3gp" << "3gp" << narrowband;
        // clang-format on
    }
    void outputFormat()
    {
        QFETCH(QString, input);
        QFETCH(QString, extension);
        QFETCH(QStringList, extraArguments);
        QCOMPARE(AudioOutputExtension(input), extension);
        QCOMPARE(OutputFormatArguments(QStringLiteral("/out/x.") + extension), extraArguments);
    }
};

QTEST_GUILESS_MAIN(TestJobHelpers)
#include "tst_jobhelpers.moc"
