#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include "app/globals.h"
#include "app/mainwidget.h"
#include "app/toolsselectwidget.h"
#include "app/topwidget.h"
#include "support/testsupport.h"
#include "widgets/bgicontextbutton.h"
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
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

void trigger(TopWidget *top, const QString &language)
{
    for (QAction *action : top->languageMenu->actions()) {
        if (action->text() == language)
            action->trigger();
    }
}

QString firstTool(MainWidget &window)
{
    return window.toolsSelectWidget->toolButton(0)->text();
}
} // namespace

// Catches what QDesktopServices would hand to the browser.
class UrlRecorder : public QObject
{
    Q_OBJECT
public:
    QStringList opened;
public slots:
    void open(const QUrl &url) { opened << url.toString(); }
};

class TestTopWidget : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        TestSupport::useBuildAppDir();
        QSettings(QLatin1String(AppIdentity::Organisation), QLatin1String(AppIdentity::Application))
            .remove(QLatin1String(SettingsKey::Language));
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    void cleanup()
    {
        // The translators are process-wide: leave English behind for the next test.
        TestSupport::useBuildAppDir();
        TopWidget::SetLanguage(QStringLiteral("EN"));
    }

    void layoutAtMainWindowWidth()
    {
        MainWidget window;
        TopWidget *top = window.topWidget;
        QCOMPARE(top->width(), 1140);
        QCOMPARE(top->menuButton->geometry(), QRect(1080, 26, 16, 16));
        QCOMPARE(top->versionLabel->geometry(), QRect(940, 19, 120, 30));
        QCOMPARE(top->versionLabel->alignment(), Qt::AlignRight | Qt::AlignVCenter);
        QCOMPARE(top->versionLabel->text(), QStringLiteral("Ver: 1.0.13"));
    }

    void linkUrl_data()
    {
        QTest::addColumn<TopWidget::Link>("link");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("expected");
        using L = TopWidget::Link;
        // clang-format off
        QTest::addRow("help, lower-case zh") << L::Help << "zh" << "https://cn.test/help/?from=prod";
        QTest::addRow("support ZH") << L::Support << "ZH" << "https://cn.test/support/index.html?from=prod";
        QTest::addRow("support EN") << L::Support << "EN" << "https://intl.test/support/?from=prod";
        QTest::addRow("homepage DE") << L::Homepage << "DE" << "https://intl.test/quillvane/?from=prod";
        // clang-format on
    }
    void linkUrl()
    {
        QFETCH(TopWidget::Link, link);
        QFETCH(QString, code);
        QFETCH(QString, expected);
        const TopWidget::SiteHosts hosts{QStringLiteral("cn.test"), QStringLiteral("intl.test")};
        QCOMPARE(TopWidget::LinkUrl(link, code, hosts).toString(), expected);
    }

    void linksOpenTheConfiguredSite()
    {
        MainWidget window;
        QTemporaryDir dir;
        // A host left empty keeps its default.
        QVERIFY(writeText(dir.filePath(QStringLiteral("quillvane.ini")),
                          "[links]\nsite_zh=\nsite_intl = intl.example.net \n"));
        g_appDir = dir.path();
        UrlRecorder recorder;
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &recorder, "open");
        window.topWidget->supportAction->trigger();
        g_languageCode = QStringLiteral("ZH");
        window.topWidget->helpAction->trigger();
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        QCOMPARE(recorder.opened,
                 (QStringList{QStringLiteral("https://intl.example.net/support/?from=prod"),
                              QStringLiteral("https://") + TopWidget::DefaultSiteHosts().chinese +
                                  QStringLiteral("/help/?from=prod")}));
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
        QCOMPARE(g_languageCode, QStringLiteral("EN"));
        trigger(top, Chinese);
        QCOMPARE(g_languageCode, QStringLiteral("ZH"));
        QCOMPARE(storedLanguage(), QStringLiteral("ZH"));
        QCOMPARE(firstTool(window), QStringLiteral("格式转换"));
        QCOMPARE(top->helpAction->text(), QStringLiteral("使用帮助"));
        QCOMPARE(top->languageMenu->title(), QStringLiteral("语言"));
        QCOMPARE(top->versionLabel->text(), QStringLiteral("版本：1.0.13"));
        // The other two translators: the widget library's and Qt's own.
        QCOMPARE(QObject::tr("Save Logfile"), QStringLiteral("保存日志文件"));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("取消"));

        trigger(top, QStringLiteral("English"));
        QCOMPARE(storedLanguage(), QStringLiteral("EN"));
        QCOMPARE(firstTool(window), QStringLiteral("Format Convert"));
        QCOMPARE(top->helpAction->text(), QStringLiteral("Help"));
        QCOMPARE(QObject::tr("Save Logfile"), QStringLiteral("Save Logfile"));
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
