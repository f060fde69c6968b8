// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
// Names and places of results as the Output pop-up sets them: a pattern with
// the input's tags, skip on a taken name, a dropped folder's tree kept; and
// the qualities it offers for what the tool writes.
#include <QCheckBox>
#include <QComboBox>
#include <QDirIterator>
#include <QLineEdit>
#include <QtTest>

#include "app/outputsettingspopup.h"
#include "app/toolsbasewidget.h"
#include "engine/outputoptions.h"
#include "engine/voicedata.h"
#include "support/testsupport.h"
#include "support/toolfixture.h"

class TestOutputNames : public ToolFixture
{
    Q_OBJECT
private slots:
    void names_data()
    {
        QTest::addColumn<int>("tool");
        QTest::addColumn<int>("option"); // the tool's option box; -1 leaves it
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("skip");
        QTest::addColumn<bool>("tree");
        QTest::addColumn<QStringList>("inputs");    // in the dropped folder; tagged artist Ann, title Song
        QTest::addColumn<QStringList>("existing");  // in the output folder, one byte each
        QTest::addColumn<QString>("example");       // what the pop-up shows; empty: not looked at
        QTest::addColumn<QStringList>("qualities"); // the formats whose quality the pop-up offers
        QTest::addColumn<int>("state");
        QTest::addColumn<QStringList>("expected"); // every file in the output folder afterwards
        using L = QStringList;
        const L all{"mp3", "aac", "opus", "vorbis", "flac", "wav"};
        // clang-format off
        QTest::addRow("artist, title, +5dB, numbered") << int(Volume) << 1 << "{artist} - {title}{tool}{n}.{ext}" << false << false << L{"t.wav"} << L{"Ann - Song+5dB.wav"} << "e.g. Artist - Title+5dB.mp3" << all << int(VoiceData::Succeeded) << L{"Ann - Song+5dB (0).wav", "Ann - Song+5dB.wav"};
        QTest::addRow("reverse names its option") << int(Invert) << -1 << "{name}{tool}" << false << false << L{"r.wav"} << L() << "e.g. song-reverse.mp3" << all << int(VoiceData::Succeeded) << L{"r-reverse.wav"};
        QTest::addRow("skip leaves the file alone") << int(Invert) << -1 << "" << true << false << L{"k.wav"} << L{"k.wav"} << "" << all << int(VoiceData::Skipped) << L{"k.wav"};
        QTest::addRow("tree of two levels") << int(Invert) << -1 << "" << false << true << L{"top.wav", "a/one.wav", "a/b/two.wav"} << L() << "" << all << int(VoiceData::Succeeded) << L{"a/b/two.wav", "a/one.wav", "top.wav"};
        QTest::addRow("no tree: the folder alone") << int(Invert) << -1 << "" << false << false << L{"top.wav", "a/one.wav"} << L() << "" << all << int(VoiceData::Succeeded) << L{"top.wav"};
        QTest::addRow("mix takes the pattern") << int(Mix) << -1 << "{title}{tool}" << false << false << L{"m.wav", "m2.wav"} << L() << "e.g. Title-mix.mp3" << all << int(VoiceData::Succeeded) << L{"Song-mix.wav"};
        QTest::addRow("concat skips") << int(Concat) << -1 << "" << true << false << L{"c.wav", "c2.wav"} << L{"c-cat.wav"} << "" << all << int(VoiceData::Skipped) << L{"c-cat.wav"};
        QTest::addRow("m4a: only its quality") << int(Format) << 7 << "" << false << false << L{"f.wav"} << L() << "e.g. song.m4a" << L{"aac"} << int(VoiceData::Succeeded) << L{"f.m4a"};
        // clang-format on
    }

    void names()
    {
        QFETCH(int, tool);
        QFETCH(int, option);
        QFETCH(QString, pattern);
        QFETCH(bool, skip);
        QFETCH(bool, tree);
        QFETCH(QStringList, inputs);
        QFETCH(QStringList, existing);
        QFETCH(QString, example);
        QFETCH(QStringList, qualities);
        QFETCH(int, state);
        QFETCH(QStringList, expected);
        OutputOptions().save();
        QVERIFY(QDir(outputs.path()).removeRecursively() && QDir().mkpath(outputs.path()));
        QTemporaryDir dropped;
        for (const QString &input : inputs) {
            QVERIFY(QDir(dropped.path()).mkpath(QFileInfo(input).path()));
            QVERIFY(TestSupport::runFfmpeg({"-f", "lavfi", "-i", "sine=d=1", "-metadata", "artist=Ann",
                                            "-metadata", "title=Song", "-y", dropped.filePath(input)}));
        }
        for (const QString &name : existing)
            QVERIFY(TestSupport::writeFileOfSize(outputs.filePath(name), 1));

        ToolsBaseWidget *panel = open(tool);
        if (option >= 0)
            choose(panel, option);
        panel->showOutputSettings();
        auto *popup = panel->findChild<OutputSettingsPopup *>();
        QTest::keyClicks(popup->patternEdit(), pattern);
        if (!example.isEmpty())
            QCOMPARE(popup->exampleText(), example);
        QStringList offered;
        for (OutputFamily family : OutputOptions::QualityFamilies()) {
            if (popup->qualityBox(family)->isVisible())
                offered << OutputOptions::FamilyName(family);
        }
        QCOMPARE(offered, qualities);
        if (skip)
            QTest::keyClick(popup->collisionBox(), Qt::Key_Down);
        if (tree)
            popup->treeBox()->click();
        popup->hide();

        QVERIFY(panel->AddDropped({dropped.path()}));
        const int added = tree ? int(inputs.size()) : int(inputs.size() - inputs.filter("/").size());
        QTRY_COMPARE_WITH_TIMEOUT(panel->jobs().size(), added, 60000);
        QVERIFY(convert(panel));
        for (VoiceData *job : panel->jobs())
            QCOMPARE(job->status(), state);
        QStringList files;
        QDirIterator all(outputs.path(), QDir::Files | QDir::Hidden | QDir::System,
                         QDirIterator::Subdirectories);
        while (all.hasNext())
            files << QDir(outputs.path()).relativeFilePath(all.next());
        files.sort();
        QCOMPARE(files, expected);
        for (const QString &name : existing)
            QCOMPARE(QFileInfo(outputs.filePath(name)).size(), qint64(1));
    }
};

QTEST_MAIN(TestOutputNames)
#include "tst_outputnames.moc"
