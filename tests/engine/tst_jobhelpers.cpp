// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "common/globals.h"
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

    // A part file reaches the first free name of the rule, whichever way it is moved.
    void publish_data()
    {
        QTest::addColumn<QStringList>("existing"); // "*name": a dangling link
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("collisionOpen");
        QTest::addColumn<int>("move");
        QTest::addColumn<QString>("expected");
        const QString blank = QStringLiteral(" (");
        const int rename = int(PartFile::Move::Rename), link = int(PartFile::Move::Link),
                  claim = int(PartFile::Move::Claim);
        using L = QStringList;
        // Names near the 255-byte limit, in characters of two, four (a surrogate
        // pair) and three bytes (a letter with a combining accent).
        const QString e2(QChar(0xE9)), clef = QString::fromUcs4(U"\U0001D11E"), accented("e\u0301");
        // clang-format off
        QTest::addRow("free name") << L() << "/in/song.wav" << "" << blank << rename << "song.mp3";
        QTest::addRow("first collision") << L{"song.mp3"} << "/in/song.wav" << "" << blank << rename << "song (0).mp3";
        QTest::addRow("gap is not filled") << L{"s.mp3", "s (1).mp3"} << "/in/s.wav" << "" << blank << rename << "s (0).mp3";
        QTest::addRow("a dangling link is taken") << L{"*s.mp3"} << "/in/s.wav" << "" << blank << rename << "s (0).mp3";
        QTest::addRow("link and unlink") << L{"s.mp3", "*s (0).mp3"} << "/in/s.wav" << "" << blank << link << "s (1).mp3";
        QTest::addRow("claim, then rename") << L{"s.mp3", "*s (0).mp3"} << "/in/s.wav" << "" << blank << claim << "s (1).mp3";
        QTest::addRow("tag, no blank") << L{"a-cat.mp3", "a-cat(0).mp3"} << "/in/a.wav" << "-cat" << "(" << rename << "a-cat(1).mp3";
        QTest::addRow("suffix twice at the end") << L() << "/in/a.mp3.mp3" << "" << blank << rename << "a.mp3";
        QTest::addRow("other dots stay") << L() << "/in/v1.2 live.flac" << "" << blank << rename << "v1.2 live.mp3";
        QTest::addRow("long name shortened for the tag") << L() << "/in/" + e2.repeated(125) + ".wav" << "-split-1" << blank << rename << e2.repeated(121) + "-split-1.mp3";
        QTest::addRow("long name shortened for the number") << L{e2.repeated(125) + ".mp3"} << "/in/" + e2.repeated(125) + ".wav" << "" << blank << rename << e2.repeated(123) + " (0).mp3";
        QTest::addRow("four-byte characters stay whole") << L() << "/in/" + clef.repeated(62) + ".wav" << "-trim" << blank << rename << clef.repeated(61) + "-trim.mp3";
        QTest::addRow("an accent stays with its letter") << L() << "/in/" + accented.repeated(83) + ".wav" << "-mix" << blank << rename << accented.repeated(82) + "-mix.mp3";
        // clang-format on
    }
    void publish()
    {
        QFETCH(QStringList, existing);
        QFETCH(QString, input);
        QFETCH(QString, tag);
        QFETCH(QString, collisionOpen);
        QFETCH(int, move);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        SetSettingValue(QLatin1String(SettingsKey::OutFolder), dir.path());
        for (const QString &name : qAsConst(existing)) {
            if (name.startsWith(QLatin1Char('*')))
                QVERIFY(QFile::link(dir.filePath(QStringLiteral("nowhere")), dir.filePath(name.mid(1))));
            else
                QVERIFY(TestSupport::writeFileOfSize(dir.filePath(name), 1));
        }
        PartFile part;
        QVERIFY(part.create(dir.path(), QStringLiteral("mp3")));
        const QString partPath = part.path();
        QVERIFY(TestSupport::writeFileOfSize(partPath, 100));
        QCOMPARE(part.publish(OutputNameFor(input, tag, QStringLiteral("mp3"), collisionOpen),
                              PartFile::Move(move)),
                 dir.filePath(expected));
        QCOMPARE(QFileInfo(dir.filePath(expected)).size(), qint64(100));
        QVERIFY(!QFileInfo::exists(partPath));
        // Nothing was replaced, and no link was followed.
        for (const QString &name : qAsConst(existing)) {
            const QFileInfo kept(dir.filePath(name.mid(name.startsWith(QLatin1Char('*')) ? 1 : 0)));
            QVERIFY(name.startsWith(QLatin1Char('*')) ? kept.isSymLink() : kept.size() == 1);
        }
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("nowhere"))));
    }

    // A user's pattern: where the mark and the extension go, sanitised tags, their fallbacks.
    void namePatterns_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QStringList>("tags"); // artist, title
        QTest::addColumn<QString>("optionTag");
        QTest::addColumn<QStringList>("existing"); // "*name": a dangling link
        QTest::addColumn<bool>("numbered");
        QTest::addColumn<QString>("expected"); // empty: skipped
        using L = QStringList;
        const L tags{"Ann", "Song"};
        // clang-format off
        QTest::addRow("default leaves the option out") << "" << tags << "+5dB" << L() << true << "a-x.mp3";
        QTest::addRow("mark where the pattern puts it") << "{name}{n} {title}" << tags << "" << L{"a Song.mp3"} << true << "a (0) Song.mp3";
        QTest::addRow("extension always ends it") << "{title} [{ext}]" << tags << "" << L() << true << "Song [mp3].mp3";
        QTest::addRow("tags sanitised") << "{artist} - {title}.{ext}" << L{"../AC/DC\x01", " .hidden"} << "" << L() << true << "_AC_DC - hidden.mp3";
        QTest::addRow("absent tags fall back") << "{artist} - {title}" << L{"", ""} << "" << L() << true << "Unknown artist - a.mp3";
        QTest::addRow("long title cut") << "{title}{tool}" << L{"", QString(300, 't')} << "-y" << L() << true << QString(80, 't') + "-y.mp3";
        QTest::addRow("invalid pattern: default") << "a/{name}" << tags << "" << L() << true << "a-x.mp3";
        QTest::addRow("skip: a dangling link is taken") << "{title}" << tags << "" << L{"*Song.mp3"} << false << "";
        // clang-format on
    }
    void namePatterns()
    {
        QFETCH(QString, pattern);
        QFETCH(QStringList, tags);
        QFETCH(QString, optionTag);
        QFETCH(QStringList, existing);
        QFETCH(bool, numbered);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        for (const QString &name : qAsConst(existing)) {
            QVERIFY(name.startsWith('*') ? QFile::link(dir.filePath("nowhere"), dir.filePath(name.mid(1)))
                                         : TestSupport::writeFileOfSize(dir.filePath(name), 1));
        }
        OutputName name = OutputNameFor("/in/a.wav", "-x", "mp3");
        name.folder = dir.path();
        name.pattern = pattern;
        name.optionTag = optionTag;
        name.artist = tags.at(0);
        name.title = tags.at(1);
        name.numbered = numbered;
        PartFile part;
        QVERIFY(part.create(dir.path(), "mp3"));
        const QString partPath = part.path();
        bool taken = false;
        QCOMPARE(part.publish(name, PartFile::Move::Rename, &taken),
                 expected.isEmpty() ? "" : dir.filePath(expected));
        QCOMPARE(taken, expected.isEmpty());
        QVERIFY(!QFileInfo::exists(partPath));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::System).size(),
                 existing.size() + !expected.isEmpty());
    }

    // Sub-folders are made below the root only, through real folders only.
    void makeFolder_data()
    {
        QTest::addColumn<QString>("relative");
        QTest::addColumn<bool>("made");
        QTest::addRow("two levels") << "a/b" << true;
        QTest::addRow("existing folder") << "old/b" << true;
        QTest::addRow("up") << "../x" << false;
        QTest::addRow("a link on the way") << "link/b" << false;
        QTest::addRow("a file on the way") << "file/b" << false;
    }
    void makeFolder()
    {
        QFETCH(QString, relative);
        QFETCH(bool, made);
        QTemporaryDir outside;
        QTemporaryDir root;
        QVERIFY(QDir(root.path()).mkdir("old"));
        QVERIFY(QFile::link(outside.path(), root.filePath("link")));
        QVERIFY(TestSupport::writeFileOfSize(root.filePath("file"), 1));
        QCOMPARE(PartFile::MakeFolder(root.path(), relative), made ? root.filePath(relative) : QString());
        QCOMPARE(QFileInfo(root.filePath(relative)).isDir(), made);
        QVERIFY(QDir(outside.path()).isEmpty());
        QVERIFY(!QFileInfo::exists(root.filePath("../x")));
    }

    void partFilesOfEndedProcesses()
    {
        QTemporaryDir dir;
        PartFile mine;
        QVERIFY(mine.create(dir.path(), QStringLiteral("wav")));
        QString host;
        QVERIFY(PartFile::ParsePartName(QFileInfo(mine.path()).fileName(), &host, nullptr));
        // A pid above any pid_max has ended; ours runs.
        const QString dead = QStringLiteral(".quillvane-%1-999999999-7.part.mp3").arg(host);
        const QString otherHost = QStringLiteral(".quillvane-00000000-999999999-7.part.mp3");
        const QString deadLink = QStringLiteral(".quillvane-%1-999999999-8.part.mp3").arg(host);
        const QString result = QStringLiteral("song.part.mp3");
        for (const QString &name : {dead, otherHost, result})
            QVERIFY(TestSupport::writeFileOfSize(dir.filePath(name), 10));
        QVERIFY(QFile::link(dir.filePath(result), dir.filePath(deadLink)));
        QCOMPARE(PartFile::RemoveStale(dir.path()), 1);
        QStringList kept{otherHost, deadLink, QFileInfo(mine.path()).fileName(), result};
        kept.sort();
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name), kept);
        // A folder that takes no file gives no part file.
        PartFile none;
        QVERIFY(!none.create(dir.filePath(QStringLiteral("missing")), QStringLiteral("wav")));
        QVERIFY(none.path().isEmpty());
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
};

QTEST_GUILESS_MAIN(TestJobHelpers)
#include "tst_jobhelpers.moc"
