// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
// What start-up adds to the window: files from the command line, the missing-ffmpeg notice.
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include "app/mainwidget.h"
#include "app/startup.h"
#include "app/toolsbasewidget.h"
#include "app/toolsselectwidget.h"
#include "common/globals.h"
#include "engine/voicedata.h"
#include "support/testsupport.h"

class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void init() { TestSupport::useBuildAppDir(); }

    void filesGoToFormatConvert()
    {
        QTemporaryDir dir;
        QVERIFY(TestSupport::makeTone(dir.filePath(QStringLiteral("tone.wav")), 1.0));
        MainWidget window;
        Startup::OpenFiles({});
        QVERIFY(window.panels.isEmpty());
        // Named as a shell passes it, relative to its folder.
        const QString before = QDir::currentPath();
        QDir::setCurrent(dir.path());
        Startup::OpenFiles({QStringLiteral("tone.wav")});
        QDir::setCurrent(before);
        ToolsBaseWidget *panel = window.panels.value(ToolsSelectWidget::PanelName(0));
        QVERIFY(panel);
        QTRY_COMPARE_WITH_TIMEOUT(panel->jobs().size(), 1, 60000);
        // Jobs run in the data folder: the shell's folder must not matter to them.
        QCOMPARE(panel->jobs().first()->filePath, dir.filePath(QStringLiteral("tone.wav")));
    }

    void missingFfmpegIsSaid()
    {
        QVERIFY(Startup::MissingFfmpegMessage().isEmpty());
        QTemporaryDir empty;
        const TestSupport::NoFfmpegOnPath noFfmpeg;
        g_appDir = empty.path();
        QCOMPARE(Startup::MissingFfmpegMessage(),
                 QStringLiteral("ffmpeg was not found: install the ffmpeg package"));
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
