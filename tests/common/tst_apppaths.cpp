// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
// Where an installed or a built executable finds its data and its ffmpeg.
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

#include "common/apppaths.h"
#include "support/testsupport.h"

class TestAppPaths : public QObject
{
    Q_OBJECT
private slots:
    void dataDir_data()
    {
        QTest::addColumn<QString>("layout"); // shell lines run in the scratch root $R
        QTest::addColumn<QString>("executableDir");
        QTest::addColumn<QString>("expected");
        // clang-format off
        QTest::addRow("installed") << "mkdir -p p/bin p/share/quillvane" << "p/bin" << "p/share/quillvane";
        QTest::addRow("build tree") << "mkdir -p build/bin" << "build/bin" << "build/bin";
        QTest::addRow("a share without ours") << "mkdir -p p/bin p/share/other" << "p/bin" << "p/bin";
        // clang-format on
    }
    void dataDir()
    {
        QFETCH(QString, layout);
        QFETCH(QString, executableDir);
        QFETCH(QString, expected);
        QTemporaryDir root;
        QVERIFY(!TestSupport::runShell("cd \"$R\"; " + layout, {"R=" + root.path()}).isNull());
        QCOMPARE(AppPaths::dataDir(root.filePath(executableDir)), root.filePath(expected));
    }

    void findFfmpeg_data()
    {
        QTest::addColumn<QString>("layout"); // in $R: folders a and b are searched, path is PATH
        QTest::addColumn<QString>("expected");
        const QString tool = QStringLiteral("printf '#!/bin/sh\\n' > %1/ffmpeg; chmod 755 %1/ffmpeg; ");
        // clang-format off
        QTest::addRow("the first folder's") << tool.arg("a") + tool.arg("b") + tool.arg("path") << "a/ffmpeg";
        QTest::addRow("one that cannot run is still the one") << "touch b/ffmpeg; " + tool.arg("path") << "b/ffmpeg";
        QTest::addRow("a folder named ffmpeg is passed over") << "mkdir a/ffmpeg; " + tool.arg("path") << "path/ffmpeg";
        QTest::addRow("none beside: PATH") << tool.arg("path") << "path/ffmpeg";
        QTest::addRow("nowhere") << "" << "";
        // clang-format on
    }
    void findFfmpeg()
    {
        QFETCH(QString, layout);
        QFETCH(QString, expected);
        QTemporaryDir root;
        QVERIFY(
            !TestSupport::runShell("cd \"$R\"; mkdir a b path; " + layout, {"R=" + root.path()}).isNull());
        const QByteArray path = qgetenv("PATH");
        const auto restore = qScopeGuard([&] { qputenv("PATH", path); });
        qputenv("PATH", root.filePath(QStringLiteral("path")).toLocal8Bit());
        const QString found = AppPaths::findFfmpeg({QString(), root.filePath("a"), root.filePath("b")});
        QCOMPARE(found, expected.isEmpty() ? QString() : root.filePath(expected));
    }
};

QTEST_GUILESS_MAIN(TestAppPaths)
#include "tst_apppaths.moc"
