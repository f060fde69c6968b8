// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
// The private runtime folder against another local user (the tests run as
// root: another user is a chown), and the places a bad environment gives.
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

#include "common/userfolders.h"
#include "support/testsupport.h"

class TestUserFolders : public QObject
{
    Q_OBJECT
private slots:
    void runtimeFolder_data()
    {
        QTest::addColumn<QString>("before"); // shell lines on $T (TMPDIR) and $Q (the first place)
        QTest::addColumn<QString>("used");   // "first", "run" ($XDG_RUNTIME_DIR), without it "tmp" or "none"
        // clang-format off
        QTest::addRow("nothing") << "" << "first";
        QTest::addRow("ours, readable by others") << "mkdir -p $Q; chmod 755 $Q" << "first";
        QTest::addRow("another owner") << "mkdir -p $Q; chown 65534 $Q" << "run";
        QTest::addRow("mode 0777") << "mkdir -p $Q; chmod 777 $Q" << "run";
        QTest::addRow("parent of another owner") << "mkdir -p $Q; chown 65534 $T/tessarin" << "run";
        QTest::addRow("a link to a folder of ours") << "mkdir $T/tessarin; ln -s $T $Q" << "run";
        QTest::addRow("temporary base writable by all") << "chmod 777 $T" << "run";
        QTest::addRow("another owner, no XDG_RUNTIME_DIR") << "mkdir -p $Q; chown 65534 $Q" << "tmp";
        QTest::addRow("temporary base writable by all, no XDG_RUNTIME_DIR") << "chmod 777 $T" << "none";
        // clang-format on
    }
    void runtimeFolder()
    {
        QFETCH(QString, before);
        QFETCH(QString, used);
        QTemporaryDir root;
        const QString first = root.filePath(QStringLiteral("tmp/tessarin/Quillvane"));
        QVERIFY(!TestSupport::runShell("cd $R; mkdir -m 700 tmp run; " + before,
                                       {"R=" + root.path(), "T=" + root.filePath("tmp"), "Q=" + first})
                     .isNull());
        const QByteArray savedTemp = qgetenv("TMPDIR"), savedRun = qgetenv("XDG_RUNTIME_DIR");
        auto restore = qScopeGuard([&] {
            qputenv("TMPDIR", savedTemp);
            qputenv("XDG_RUNTIME_DIR", savedRun);
        });
        qputenv("TMPDIR", QFile::encodeName(root.filePath(QStringLiteral("tmp"))));
        qputenv("XDG_RUNTIME_DIR", used == "tmp" || used == "none"
                                       ? QByteArray()
                                       : QFile::encodeName(root.filePath(QStringLiteral("run"))));

        UserFolders::takeNote();
        const QString folder =
            UserFolders::runtimeFolder(QStringLiteral("tessarin"), QStringLiteral("Quillvane"));
        const QString perUser = used == "tmp" ? QStringLiteral("-%1").arg(::geteuid()) : QString();
        QCOMPARE(folder, used == "none"    ? QString()
                         : used == "first" ? first
                                           : root.filePath(used + "/tessarin" + perUser + "/Quillvane"));
        // A fallback is said in the log.
        QCOMPARE(UserFolders::takeNote().contains(first), used != "first");
        if (folder.isEmpty())
            return;
        struct stat info;
        QVERIFY(::lstat(QFile::encodeName(folder).constData(), &info) == 0 && info.st_uid == ::geteuid());
        QCOMPARE(info.st_mode, mode_t(S_IFDIR | 0700));
    }

    void environment_data()
    {
        const passwd *entry = ::getpwuid(::getuid());
        const QString passwdHome = QFile::decodeName(entry ? entry->pw_dir : "");
        QTest::addColumn<QByteArray>("variable");
        QTest::addColumn<QByteArray>("value"); // null: unset
        QTest::addColumn<QString>("expected");
        QTest::addRow("TMPDIR missing") << QByteArray("TMPDIR") << QByteArray("/missing") << "/tmp";
        QTest::addRow("TMPDIR a file") << QByteArray("TMPDIR") << QByteArray("/etc/passwd") << "/tmp";
        QTest::addRow("TMPDIR relative") << QByteArray("TMPDIR") << QByteArray("tmp") << "/tmp";
        QTest::addRow("HOME unset") << QByteArray("HOME") << QByteArray() << passwdHome;
        QTest::addRow("HOME empty") << QByteArray("HOME") << QByteArray("") << passwdHome;
    }
    void environment()
    {
        QFETCH(QByteArray, variable);
        QFETCH(QByteArray, value);
        QFETCH(QString, expected);
        const QByteArray saved = qgetenv(variable.constData());
        auto restore = qScopeGuard([&] { qputenv(variable.constData(), saved); });
        if (value.isNull())
            qunsetenv(variable.constData());
        else
            qputenv(variable.constData(), value);
        QCOMPARE(variable == "HOME" ? UserFolders::home() : UserFolders::tempBase(), expected);
        QVERIFY(expected.size() > 1);
    }
};

QTEST_GUILESS_MAIN(TestUserFolders)
#include "tst_userfolders.moc"
