// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <private/qcoreapplication_p.h>

#include "app/mainwidget.h"
#include "app/toolsselectwidget.h"
#include "app/topwidget.h"
#include "common/globals.h"
#include "support/testsupport.h"
#include "app/toolsbasewidget.h"
#include "widgets/bgicontextbutton.h"
#include "widgets/labelbutton.h"
#include "widgets/mypushbutton.h"

Q_DECLARE_METATYPE(TopWidget::Link)

namespace {
const QString Chinese = QStringLiteral("简体中文");

QString storedLanguage()
{
    return GetSettingValue(QLatin1String(SettingsKey::Language));
}

bool writeText(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// The user's own copy of the links.
QString userLinks()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/tessarin/quillvane.ini");
}

void trigger(TopWidget *top, const QString &language)
{
    for (QAction *action : top->languageMenu->actions()) {
        if (action->text() == language)
            action->trigger();
    }
}

// How many translators the application consults for every text.
int installedTranslators()
{
    return static_cast<QCoreApplicationPrivate *>(QObjectPrivate::get(qApp))->translators.size();
}

QStringList buttonTexts(const QWidget *panel)
{
    QStringList texts;
    for (const auto *button : panel->findChildren<MyQtCustom::LabelButton *>())
        texts << button->text();
    return texts;
}

QString firstTool(MainWidget &window)
{
    return window.toolsSelectWidget->toolButton(0)->text();
}
} // namespace

class TestTopWidget : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        TestSupport::useBuildAppDir();
        QSettings settings(QLatin1String(AppIdentity::Organisation), QLatin1String(AppIdentity::Application));
        settings.remove(QLatin1String(SettingsKey::Language));
        settings.remove(QLatin1String(SettingsKey::ShowExperimental));
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    void cleanup()
    {
        // The translators are process-wide: leave English behind for the next test.
        TestSupport::useBuildAppDir();
        TopWidget::SetLanguage(QStringLiteral("EN"));
    }

    void linkUrl_data()
    {
        QTest::addColumn<QByteArray>("dataIni"); // quillvane.ini in the data folder; null: none
        QTest::addColumn<QByteArray>("userIni"); // ~/.config/tessarin/quillvane.ini; null: none
        QTest::addColumn<QString>("guides");     // codes of the guides in help/
        QTest::addColumn<TopWidget::Link>("link");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("expected"); // "<data>" stands for the data folder; empty: hidden
        using L = TopWidget::Link;
        const QByteArray none;
        const QByteArray both("[links]\nsupport=\"https://s.test/a?b=1,2\"\nsupport_zh=\"https://zh.test/\"\n"
                              "homepage=\"https://h.test/\"\nhomepage_zh=\n");
        // clang-format off
        QTest::addRow("guide in the language") << none << none << "en zh" << L::Help << "ZH" << "file://<data>/help/guide-zh.html";
        QTest::addRow("guide falls back to English") << none << none << "en" << L::Help << "DE" << "file://<data>/help/guide-en.html";
        QTest::addRow("no guide: hidden") << none << none << "" << L::Help << "EN" << "";
        QTest::addRow("address from the data folder") << both << none << "" << L::Support << "EN" << "https://s.test/a?b=1,2";
        QTest::addRow("the language's own address") << both << none << "" << L::Support << "zh" << "https://zh.test/";
        QTest::addRow("empty language address: the general one") << both << none << "" << L::Homepage << "ZH" << "https://h.test/";
        QTest::addRow("the user's copy wins") << both << QByteArray("[links]\nhomepage=mailto:me@mine.test\n") << "" << L::Homepage << "EN" << "mailto:me@mine.test";
        QTest::addRow("the user's empty value hides") << both << QByteArray("[links]\nsupport=\nsupport_zh=\n") << "" << L::Support << "ZH" << "";
        QTest::addRow("nothing configured: hidden") << none << none << "en" << L::Support << "EN" << "";
        QTest::addRow("a local program is no address") << QByteArray("[links]\nhomepage=file:///bin/sh\n") << none << "" << L::Homepage << "EN" << "";
        // clang-format on
    }
    void linkUrl()
    {
        QFETCH(QByteArray, dataIni);
        QFETCH(QByteArray, userIni);
        QFETCH(QString, guides);
        QFETCH(TopWidget::Link, link);
        QFETCH(QString, code);
        QFETCH(QString, expected);
        QTemporaryDir data;
        QVERIFY(QDir(data.path()).mkdir(QStringLiteral("help")));
        for (const QString &guide : guides.split(QLatin1Char(' '), Qt::SkipEmptyParts))
            QVERIFY(
                writeText(data.filePath(QStringLiteral("help/guide-%1.html").arg(guide)), "<p>guide</p>"));
        if (!dataIni.isNull())
            QVERIFY(writeText(data.filePath(QStringLiteral("quillvane.ini")), dataIni));
        QFile::remove(userLinks());
        QVERIFY(userIni.isNull() || writeText(userLinks(), userIni));
        g_appDir = data.path();
        const QString url = TopWidget::LinkUrl(link, code).toString();
        QFile::remove(userLinks());
        QCOMPARE(url, QString(expected).replace(QStringLiteral("<data>"), data.path()));
    }

    void menuShowsWhatCanBeOpened()
    {
        // The build's data folder has the guides; the user's copy decides the addresses.
        QVERIFY(writeText(userLinks(), "[links]\nsupport=https://s.test/\nhomepage=\n"));
        MainWidget window;
        TopWidget *top = window.topWidget;
        QFile::remove(userLinks());
        QVERIFY(top->helpAction->isVisible());
        QVERIFY(top->supportAction->isVisible());
        QVERIFY(!top->homepageAction->isVisible());
    }

    // The menu opens just under its button wherever the window is on the screen.
    void menuOpensUnderItsButton()
    {
        MainWidget window;
        window.show();
        window.move(-900, 40);
        TopWidget *top = window.topWidget;
        QPoint shownAt;
        QTimer::singleShot(0, top->popupMenu, [&] {
            shownAt = top->popupMenu->pos();
            top->popupMenu->close();
        });
        QTest::mouseClick(top->menuButton, Qt::LeftButton);
        // The style may draw the menu a pixel or two aside; never a window away.
        const QPoint under =
            top->menuButton->mapToGlobal(top->menuButton->rect().bottomLeft()) + QPoint(0, 1);
        QVERIFY2((shownAt - under).manhattanLength() <= 8,
                 qPrintable(QStringLiteral("%1,%2").arg(shownAt.x()).arg(shownAt.y())));
    }

    void languageList_data()
    {
        QTest::addColumn<QByteArray>("content"); // null: no file
        QTest::addColumn<QString>("codes");
        // clang-format off
        QTest::addRow("two languages") << QByteArray("EN=English\nZH=简体中文\n") << "EN=English ZH=简体中文";
        QTest::addRow("empty third line ends the list")
            << QByteArray("EN=English\nZH=简体中文\n\nDE=Deutsch\n") << "EN=English ZH=简体中文";
        QTest::addRow("line without = is skipped") << QByteArray("EN=English\nGerman\nZH=中文\n") << "EN=English ZH=中文";
        QTest::addRow("missing file: English only") << QByteArray() << "EN=English";
        // clang-format on
    }
    void languageList()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, codes);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Lang_config"));
        if (!content.isNull())
            QVERIFY(writeText(path, content));
        const TopWidget::LanguageList list = TopWidget::ReadLanguageList(path);
        QStringList pairs;
        for (int i = 0; i < list.codes.size(); ++i)
            pairs << list.codes.at(i) + QLatin1Char('=') + list.names.value(i);
        QCOMPARE(pairs.join(QLatin1Char(' ')), codes);
    }

    void startLanguage_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QLocale>("system");
        QTest::addColumn<QString>("expected");
        const QLocale english(QLocale::English, QLocale::UnitedKingdom);
        const QLocale chinese(QLocale::Chinese, QLocale::Taiwan);
        QTest::addRow("absent, English system") << QString() << english << "EN";
        QTest::addRow("absent, Chinese system") << QString() << chinese << "ZH";
        QTest::addRow("stored zh") << "zh" << english << "ZH";
        QTest::addRow("single letter, English system") << "z" << english << "EN";
        QTest::addRow("single letter, Chinese system") << "e" << chinese << "ZH";
        QTest::addRow("stored EN wins over the system") << "EN" << chinese << "EN";
    }
    void startLanguage()
    {
        QFETCH(QString, stored);
        QFETCH(QLocale, system);
        QFETCH(QString, expected);
        QCOMPARE(TopWidget::StartLanguage(stored, system), expected);
    }

    void switchRetranslatesAtOnce()
    {
        MainWidget window;
        TopWidget *top = window.topWidget;
        // A panel is open when the language changes.
        const ToolsBaseWidget *panel = window.toolsSelectWidget->OpenTool(0);
        QCOMPARE(g_languageCode, QStringLiteral("EN"));
        trigger(top, Chinese);
        QCOMPARE(g_languageCode, QStringLiteral("ZH"));
        QCOMPARE(storedLanguage(), QStringLiteral("ZH"));
        QCOMPARE(firstTool(window), QStringLiteral("格式转换"));
        QCOMPARE(top->helpAction->text(), QStringLiteral("使用帮助"));
        QCOMPARE(top->languageMenu->title(), QStringLiteral("语言"));
        QCOMPARE(top->versionLabel->text(), QStringLiteral("版本：" QUILLVANE_VERSION));
        QVERIFY(buttonTexts(panel).contains(QStringLiteral("开始转换")));
        // The other two translators: the widget library's and Qt's own.
        QCOMPARE(QObject::tr("Save Logfile"), QStringLiteral("保存日志文件"));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("取消"));
        const int translators = installedTranslators();

        trigger(top, QStringLiteral("English"));
        trigger(top, Chinese);
        trigger(top, QStringLiteral("English"));
        // Switching back and forth piles up no translators.
        QCOMPARE(installedTranslators(), translators);
        QCOMPARE(storedLanguage(), QStringLiteral("EN"));
        QCOMPARE(firstTool(window), QStringLiteral("Format Convert"));
        QCOMPARE(top->helpAction->text(), QStringLiteral("Help"));
        QCOMPARE(QObject::tr("Save Logfile"), QStringLiteral("Save Logfile"));
    }

    void experimentalToolsShowAndSurviveARestart()
    {
        const auto shown = [](MainWidget &window) {
            ToolsSelectWidget *selector = window.toolsSelectWidget;
            return selector->toolButton(8)->isVisibleTo(selector) &&
                   selector->toolButton(9)->isVisibleTo(selector);
        };
        {
            MainWidget window;
            QVERIFY(!shown(window));
            QVERIFY(window.topWidget->popupMenu->actions().contains(window.topWidget->experimentalAction));
            window.topWidget->experimentalAction->trigger();
            QVERIFY(shown(window));
            // The third row sits clear of the second.
            QVERIFY(window.toolsSelectWidget->toolButton(8)->y() >
                    window.toolsSelectWidget->toolButton(4)->geometry().bottom());
            // The buttons open their tools.
            QTest::mouseClick(window.toolsSelectWidget->toolButton(9), Qt::LeftButton);
            QVERIFY(window.panels.contains(ToolsSelectWidget::PanelName(9)));
        }
        MainWidget restarted;
        QVERIFY(restarted.topWidget->experimentalAction->isChecked());
        QVERIFY(shown(restarted));
        restarted.topWidget->experimentalAction->trigger();
        QVERIFY(!shown(restarted));
        MainWidget again;
        QVERIFY(!shown(again));
    }

    void missingTranslationFallsBackToEnglish()
    {
        // Stored with a tail: only the first two characters are the code, and only they change.
        SetSettingValue(QLatin1String(SettingsKey::Language), QStringLiteral("zh_custom"));
        MainWidget window;
        QCOMPARE(g_languageCode, QStringLiteral("ZH"));
        QCOMPARE(storedLanguage(), QStringLiteral("ZH_custom"));
        QCOMPARE(firstTool(window), QStringLiteral("格式转换"));

        // The application's Chinese file disappears while the program runs.
        QTemporaryDir dir;
        const QDir source(QStringLiteral(QUILLVANE_TEST_APP_DIR "/Lang"));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Lang")));
        for (const QString &name : source.entryList(QDir::Files)) {
            if (name != QLatin1String("Lang_ZH.qm"))
                QVERIFY(QFile::copy(source.filePath(name), dir.filePath(QStringLiteral("Lang/") + name)));
        }
        g_appDir = dir.path();
        trigger(window.topWidget, Chinese);
        QCOMPARE(g_languageCode, QStringLiteral("EN"));
        QCOMPARE(storedLanguage(), QStringLiteral("EN_custom"));
        QCOMPARE(firstTool(window), QStringLiteral("Format Convert"));
        QCOMPARE(QObject::tr("Save Logfile"), QStringLiteral("Save Logfile"));
    }
};

QTEST_MAIN(TestTopWidget)
#include "tst_topwidget.moc"
