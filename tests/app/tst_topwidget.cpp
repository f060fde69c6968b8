#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include "app/globals.h"
#include "app/mainwidget.h"
#include "app/toolsselectwidget.h"
#include "app/topwidget.h"
#include "engine/toolsbasewidget.h"
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

void forgetLanguage()
{
    QSettings(QLatin1String(AppIdentity::Organisation), QLatin1String(AppIdentity::Application))
        .remove(QLatin1String(SettingsKey::Language));
}

bool writeText(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QAction *languageAction(TopWidget *top, const QString &name)
{
    for (QAction *action : top->languageMenu->actions()) {
        if (action->text() == name)
            return action;
    }
    return nullptr;
}

// Copies the build's language folder into `dir`, leaving out `omit`.
bool copyLanguageFolder(const QString &dir, const QString &omit)
{
    const QDir source(QStringLiteral(QUILLVANE_TEST_APP_DIR "/Lang"));
    if (!QDir(dir).mkpath(QStringLiteral("Lang")))
        return false;
    for (const QString &name : source.entryList(QDir::Files)) {
        if (name != omit && !QFile::copy(source.filePath(name), dir + QStringLiteral("/Lang/") + name))
            return false;
    }
    return true;
}

bool panelShowsText(QWidget *panel, const QString &text)
{
    for (QLabel *label : panel->findChildren<QLabel *>()) {
        if (label->text() == text)
            return true;
    }
    return false;
}
} // namespace

// Catches what QDesktopServices would hand to the browser.
class UrlRecorder : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl &url) { opened.append(url); }
};

class TestTopWidget : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void layout_data();
    void layout();
    void menuButtonLooks();
    void menuStructure();
    void menuButtonOpensPopupBelowIt();

    void linkUrl_data();
    void linkUrl();
    void siteHosts_data();
    void siteHosts();
    void shippedSiteConfigMatchesDefaults();
    void linkActionsOpenConfiguredSite_data();
    void linkActionsOpenConfiguredSite();

    void languageList_data();
    void languageList();
    void startLanguage_data();
    void startLanguage();
    void startLanguageApplied_data();
    void startLanguageApplied();
    void storedValueKeepsItsTail_data();
    void storedValueKeepsItsTail();
    void switchRetranslatesAtOnce();
    void switchRetranslatesOpenPanel();
    void deletedTranslationFallsBackToEnglish();
    void unknownActionTextTakesFirstLanguage();
};

void TestTopWidget::initTestCase()
{
    TestSupport::useBuildAppDir();
}

void TestTopWidget::init()
{
    TestSupport::useBuildAppDir();
    forgetLanguage();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestTopWidget::cleanup()
{
    // The translators are process-wide: leave English behind for the next test.
    TestSupport::useBuildAppDir();
    TopWidget::SetLanguage(QStringLiteral("EN"));
    forgetLanguage();
}

// ---------------------------------------------------------------- look

void TestTopWidget::layout_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<QRect>("menuButton");
    QTest::addColumn<QRect>("versionLabel");
    QTest::addRow("main window width") << 1140 << QRect(1080, 26, 16, 16) << QRect(940, 19, 120, 30);
    QTest::addRow("narrower") << 800 << QRect(740, 26, 16, 16) << QRect(600, 19, 120, 30);
}

void TestTopWidget::layout()
{
    QFETCH(int, width);
    QFETCH(QRect, menuButton);
    QFETCH(QRect, versionLabel);
    MainWidget window;
    TopWidget *top = window.topWidget;
    top->resize(width, 68);
    top->Layout();
    QCOMPARE(top->menuButton->geometry(), menuButton);
    QCOMPARE(top->versionLabel->geometry(), versionLabel);
    QCOMPARE(top->versionLabel->alignment(), Qt::AlignRight | Qt::AlignVCenter);
    QCOMPARE(top->versionLabel->text(), QStringLiteral("Ver: 1.0.13"));
    QCOMPARE(top->logoLabel->geometry(), QRect(10, 19, 30, 30));
    QCOMPARE(top->titleLabel->geometry(), QRect(45, 19, 400, 30));
    QCOMPARE(top->background->geometry(), QRect(0, 0, width, 68));
}

void TestTopWidget::menuButtonLooks()
{
    MainWidget window;
    MyQtCustom::MyPushButton *button = window.topWidget->menuButton;
    QCOMPARE(button->picAlignFlags(), 3);
    QVERIFY(g_spritePixmap && !g_spritePixmap->isNull());
    // Normal, highlight, click and disable are one column of the sprite, top down.
    for (int state = 0; state < 4; ++state) {
        const QImage expected = g_spritePixmap->copy(96, 32 * state, 32, 32).toImage();
        QCOMPARE(button->statePicture(state).toImage(), expected);
    }
}

void TestTopWidget::menuStructure()
{
    MainWidget window;
    TopWidget *top = window.topWidget;
    const QList<QAction *> popup = top->popupMenu->actions();
    QCOMPARE(popup.size(), 5);
    QCOMPARE(popup.at(0), top->helpAction);
    QCOMPARE(popup.at(1), top->supportAction);
    QCOMPARE(popup.at(2), top->homepageAction);
    QVERIFY(popup.at(3)->isSeparator());
    QCOMPARE(popup.at(4), top->languageMenu->menuAction());
    QCOMPARE(top->helpMenu->actions(),
             (QList<QAction *>{top->helpAction, top->supportAction, top->homepageAction}));
    QCOMPARE(top->helpMenu->title(), QStringLiteral("&Help"));
    QCOMPARE(top->languageMenu->title(), QStringLiteral("Language"));

    QCOMPARE(top->languageNames, (QStringList{QStringLiteral("English"), Chinese}));
    QCOMPARE(top->languageCodes, (QStringList{QStringLiteral("EN"), QStringLiteral("ZH")}));
    QStringList shown;
    for (QAction *action : top->languageMenu->actions()) {
        QVERIFY(!action->isCheckable());
        shown << action->text();
    }
    QCOMPARE(shown, top->languageNames);

    // Building the menu twice adds nothing.
    top->UpdateSkin();
    QCOMPARE(top->languageMenu->actions().size(), 2);

    // Without a platform menu bar no stray menu-bar window appears.
    QVERIFY(!TopWidget::HasNativeMenuBar());
    for (QWidget *widget : QApplication::topLevelWidgets())
        QVERIFY2(!qobject_cast<QMenuBar *>(widget), "a menu bar without a window");
}

void TestTopWidget::menuButtonOpensPopupBelowIt()
{
    MainWidget window;
    TopWidget *top = window.topWidget;
    // Narrow enough that the menu fits the virtual screen and is not pushed back onto it.
    window.resize(600, 400);
    top->resize(600, 68);
    top->Layout();
    window.move(40, 30);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QWidget *opened = nullptr;
    QPoint openedAt;
    QTimer::singleShot(0, this, [&] {
        opened = QApplication::activePopupWidget();
        if (opened) {
            openedAt = opened->pos();
            opened->close();
        }
    });
    QTest::mouseClick(top->menuButton, Qt::LeftButton);
    QCOMPARE(opened, top->popupMenu);
    QCOMPARE(openedAt, top->menuButton->mapToGlobal(QPoint(0, 16)));
}

// ---------------------------------------------------------------- links

void TestTopWidget::linkUrl_data()
{
    QTest::addColumn<TopWidget::Link>("link");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("expected");
    using L = TopWidget::Link;
    QTest::addRow("help ZH") << L::Help << "ZH"
                             << "https://cn.example.test/help/?from=prod";
    QTest::addRow("help zh") << L::Help << "zh"
                             << "https://cn.example.test/help/?from=prod";
    QTest::addRow("help EN") << L::Help << "EN"
                             << "https://www.example.test/help/?from=prod";
    QTest::addRow("support ZH") << L::Support << "ZH"
                                << "https://cn.example.test/support/index.html?from=prod";
    QTest::addRow("support zh") << L::Support << "zh"
                                << "https://cn.example.test/support/index.html?from=prod";
    QTest::addRow("support EN") << L::Support << "EN"
                                << "https://www.example.test/support/?from=prod";
    QTest::addRow("support DE") << L::Support << "DE"
                                << "https://www.example.test/support/?from=prod";
    QTest::addRow("homepage ZH") << L::Homepage << "ZH"
                                 << "https://cn.example.test/quillvane/?from=prod";
    QTest::addRow("homepage EN") << L::Homepage << "EN"
                                 << "https://www.example.test/quillvane/?from=prod";
    QTest::addRow("homepage, no code yet") << L::Homepage << ""
                                           << "https://www.example.test/quillvane/?from=prod";
}

void TestTopWidget::linkUrl()
{
    QFETCH(TopWidget::Link, link);
    QFETCH(QString, code);
    QFETCH(QString, expected);
    const TopWidget::SiteHosts hosts{QStringLiteral("cn.example.test"), QStringLiteral("www.example.test")};
    QCOMPARE(TopWidget::LinkUrl(link, code, hosts).toString(), expected);
}

void TestTopWidget::siteHosts_data()
{
    QTest::addColumn<QByteArray>("ini"); // empty: no file at all
    QTest::addColumn<QString>("chinese");
    QTest::addColumn<QString>("international");
    const QString defaultChinese = TopWidget::DefaultSiteHosts().chinese;
    const QString defaultInternational = TopWidget::DefaultSiteHosts().international;
    QTest::addRow("no file") << QByteArray() << defaultChinese << defaultInternational;
    QTest::addRow("both set") << QByteArray("[links]\nsite_zh=zh.example.net\nsite_intl=example.net\n")
                              << "zh.example.net"
                              << "example.net";
    QTest::addRow("one left empty") << QByteArray("[links]\nsite_zh=\nsite_intl = example.net \n")
                                    << defaultChinese << "example.net";
    QTest::addRow("no links group") << QByteArray("[other]\nsite_zh=zh.example.net\n") << defaultChinese
                                    << defaultInternational;
}

void TestTopWidget::siteHosts()
{
    QFETCH(QByteArray, ini);
    QFETCH(QString, chinese);
    QFETCH(QString, international);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("quillvane.ini"));
    if (!ini.isEmpty())
        QVERIFY(writeText(path, ini));
    const TopWidget::SiteHosts hosts = TopWidget::ReadSiteHosts(path);
    QCOMPARE(hosts.chinese, chinese);
    QCOMPARE(hosts.international, international);
}

void TestTopWidget::shippedSiteConfigMatchesDefaults()
{
    // The build copies the packagers' INI beside the application; ours names
    // the same neutral hosts as the built-in defaults.
    QVERIFY(QFile::exists(TopWidget::SiteConfigPath()));
    const TopWidget::SiteHosts shipped = TopWidget::ReadSiteHosts(TopWidget::SiteConfigPath());
    QCOMPARE(shipped.chinese, TopWidget::DefaultSiteHosts().chinese);
    QCOMPARE(shipped.international, TopWidget::DefaultSiteHosts().international);
    QVERIFY(shipped.chinese.endsWith(QLatin1String(".example.org")));
    QVERIFY(shipped.international.endsWith(QLatin1String(".example.org")));
}

void TestTopWidget::linkActionsOpenConfiguredSite_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QStringList>("expected");
    QTest::addRow("English") << "EN"
                             << QStringList{"https://intl.example.net/help/?from=prod",
                                            "https://intl.example.net/support/?from=prod",
                                            "https://intl.example.net/quillvane/?from=prod"};
    QTest::addRow("Chinese") << "ZH"
                             << QStringList{"https://zh.example.net/help/?from=prod",
                                            "https://zh.example.net/support/index.html?from=prod",
                                            "https://zh.example.net/quillvane/?from=prod"};
}

void TestTopWidget::linkActionsOpenConfiguredSite()
{
    QFETCH(QString, language);
    QFETCH(QStringList, expected);
    MainWidget window;
    TopWidget *top = window.topWidget;
    TopWidget::SetLanguage(language);
    QCOMPARE(g_languageCode, language);

    QTemporaryDir dir;
    QVERIFY(writeText(dir.filePath(QStringLiteral("quillvane.ini")),
                      "[links]\nsite_zh=zh.example.net\nsite_intl=intl.example.net\n"));
    g_appDir = dir.path();
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &recorder, "open");
    top->helpAction->trigger();
    top->supportAction->trigger();
    top->homepageAction->trigger();
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));

    QStringList opened;
    for (const QUrl &url : qAsConst(recorder.opened))
        opened << url.toString();
    QCOMPARE(opened, expected);
}

// ---------------------------------------------------------------- languages

void TestTopWidget::languageList_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("codes");
    const QStringList both{QStringLiteral("English"), Chinese};
    const QStringList bothCodes{QStringLiteral("EN"), QStringLiteral("ZH")};
    QTest::addRow("two languages") << QByteArray("EN=English\nZH=简体中文\n") << both << bothCodes;
    QTest::addRow("empty third line ends the list")
        << QByteArray("EN=English\nZH=简体中文\n\nDE=Deutsch\n") << both << bothCodes;
    QTest::addRow("line without = is skipped")
        << QByteArray("EN=English\nGerman\nZH=简体中文\n") << both << bothCodes;
    QTest::addRow("blanks only: not empty as read, skipped")
        << QByteArray("EN=English\n   \nZH=简体中文\n") << both << bothCodes;
    QTest::addRow("CRLF line ends") << QByteArray("EN=English\r\nZH=简体中文\r\n\r\nDE=Deutsch\r\n") << both
                                    << bothCodes;
    QTest::addRow("line trimmed, parts kept")
        << QByteArray("  EN=English  \nFR=\n") << QStringList{"English", ""} << QStringList{"EN", "FR"};
    QTest::addRow("empty first line: nothing")
        << QByteArray("\nEN=English\n") << QStringList() << QStringList();
}

void TestTopWidget::languageList()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, names);
    QFETCH(QStringList, codes);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Lang_config"));
    QVERIFY(writeText(path, content));
    const TopWidget::LanguageList list = TopWidget::ReadLanguageList(path);
    QCOMPARE(list.names, names);
    QCOMPARE(list.codes, codes);

    // A missing list offers English only.
    const TopWidget::LanguageList missing = TopWidget::ReadLanguageList(dir.filePath(QStringLiteral("none")));
    QCOMPARE(missing.names, QStringList{QStringLiteral("English")});
    QCOMPARE(missing.codes, QStringList{QStringLiteral("EN")});
}

void TestTopWidget::startLanguage_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QLocale>("system");
    QTest::addColumn<QString>("expected");
    const QLocale english(QLocale::English, QLocale::UnitedKingdom);
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    const QLocale taiwan(QLocale::Chinese, QLocale::Taiwan);
    QTest::addRow("absent, English system") << QString() << english << "EN";
    QTest::addRow("absent, Chinese system") << QString() << chinese << "ZH";
    QTest::addRow("absent, Chinese (Taiwan) system") << QString() << taiwan << "ZH";
    QTest::addRow("stored zh") << "zh" << english << "ZH";
    QTest::addRow("stored single letter, English system") << "z" << english << "EN";
    QTest::addRow("stored single letter, Chinese system") << "e" << chinese << "ZH";
    QTest::addRow("stored EN on a Chinese system") << "EN" << chinese << "EN";
    QTest::addRow("only the first two characters") << "de_AT" << english << "DE";
}

void TestTopWidget::startLanguage()
{
    QFETCH(QString, stored);
    QFETCH(QLocale, system);
    QFETCH(QString, expected);
    QCOMPARE(TopWidget::StartLanguage(stored, system), expected);
}

void TestTopWidget::startLanguageApplied_data()
{
    QTest::addColumn<QString>("stored"); // null: absent
    QTest::addColumn<bool>("chineseSystem");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("firstTool");
    QTest::addRow("absent, English system") << QString() << false << "EN"
                                            << "Format Convert";
    QTest::addRow("absent, Chinese system") << QString() << true << "ZH"
                                            << "格式转换";
    QTest::addRow("stored zh") << "zh" << false << "ZH"
                               << "格式转换";
    QTest::addRow("stored single letter") << "z" << false << "EN"
                                          << "Format Convert";
    QTest::addRow("stored code without translations") << "DE" << true << "EN"
                                                      << "Format Convert";
}

void TestTopWidget::startLanguageApplied()
{
    QFETCH(QString, stored);
    QFETCH(bool, chineseSystem);
    QFETCH(QString, expected);
    QFETCH(QString, firstTool);
    if (!stored.isNull())
        SetSettingValue(QLatin1String(SettingsKey::Language), stored);
    if (chineseSystem)
        QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    MainWidget window;
    QCOMPARE(g_languageCode, expected);
    QCOMPARE(storedLanguage(), expected);
    QCOMPARE(window.toolsSelectWidget->toolButton(0)->text(), firstTool);
}

void TestTopWidget::storedValueKeepsItsTail_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("expected");
    QTest::addRow("empty becomes the code") << ""
                                            << "zh"
                                            << "ZH";
    QTest::addRow("single letter replaced") << "e"
                                            << "ZH"
                                            << "ZH";
    QTest::addRow("tail kept") << "en_custom"
                               << "ZH"
                               << "ZH_custom";
    QTest::addRow("unknown code stores EN") << "ZH"
                                            << "XX"
                                            << "EN";
}

void TestTopWidget::storedValueKeepsItsTail()
{
    QFETCH(QString, stored);
    QFETCH(QString, code);
    QFETCH(QString, expected);
    SetSettingValue(QLatin1String(SettingsKey::Language), stored);
    TopWidget::SetLanguage(code);
    QCOMPARE(storedLanguage(), expected);
}

void TestTopWidget::switchRetranslatesAtOnce()
{
    MainWidget window;
    TopWidget *top = window.topWidget;
    MyQtCustom::BgIconTextButton *formatButton = window.toolsSelectWidget->toolButton(0);
    QCOMPARE(g_languageCode, QStringLiteral("EN"));
    QCOMPARE(formatButton->text(), QStringLiteral("Format Convert"));

    QAction *chinese = languageAction(top, Chinese);
    QVERIFY(chinese);
    chinese->trigger();
    QCOMPARE(g_languageCode, QStringLiteral("ZH"));
    QCOMPARE(storedLanguage(), QStringLiteral("ZH"));
    QCOMPARE(formatButton->text(), QStringLiteral("格式转换"));
    QCOMPARE(window.toolsSelectWidget->toolButton(7)->text(), QStringLiteral("音频裁剪"));
    QCOMPARE(top->helpAction->text(), QStringLiteral("使用帮助"));
    QCOMPARE(top->supportAction->text(), QStringLiteral("技术支持"));
    QCOMPARE(top->homepageAction->text(), QStringLiteral("官方网站"));
    QCOMPARE(top->languageMenu->title(), QStringLiteral("语言"));
    QCOMPARE(top->helpMenu->title(), QStringLiteral("帮助(&H)"));
    QCOMPARE(top->versionLabel->text(), QStringLiteral("版本：1.0.13"));
    QCOMPARE(window.windowTitle(), QStringLiteral("tessarin Quillvane"));
    // The other two translators: the widget library's and Qt's own.
    QCOMPARE(QObject::tr("Save Logfile"), QStringLiteral("保存日志文件"));
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("取消"));
    // The language names stay as the list file writes them.
    QCOMPARE(languageAction(top, QStringLiteral("English"))->text(), QStringLiteral("English"));

    languageAction(top, QStringLiteral("English"))->trigger();
    QCOMPARE(g_languageCode, QStringLiteral("EN"));
    QCOMPARE(storedLanguage(), QStringLiteral("EN"));
    QCOMPARE(formatButton->text(), QStringLiteral("Format Convert"));
    QCOMPARE(top->helpAction->text(), QStringLiteral("Help"));
    QCOMPARE(top->versionLabel->text(), QStringLiteral("Ver: 1.0.13"));
    QCOMPARE(QObject::tr("Save Logfile"), QStringLiteral("Save Logfile"));
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
}

void TestTopWidget::switchRetranslatesOpenPanel()
{
    MainWidget window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    ToolsBaseWidget *panel = window.toolsSelectWidget->OpenTool(0);
    QVERIFY(panel);
    QVERIFY(panelShowsText(panel, QStringLiteral("Add Voices")));

    TopWidget::SetLanguage(QStringLiteral("ZH"));
    QVERIFY(panelShowsText(panel, QStringLiteral("添加音频")));
    QVERIFY(panelShowsText(panel, QStringLiteral("输出目录：")));
    QVERIFY(!panelShowsText(panel, QStringLiteral("Add Voices")));

    TopWidget::SetLanguage(QStringLiteral("EN"));
    QVERIFY(panelShowsText(panel, QStringLiteral("Add Voices")));
}

void TestTopWidget::deletedTranslationFallsBackToEnglish()
{
    SetSettingValue(QLatin1String(SettingsKey::Language), QStringLiteral("ZH"));
    MainWidget window;
    TopWidget *top = window.topWidget;
    QCOMPARE(g_languageCode, QStringLiteral("ZH"));

    // The application's Chinese file disappears while the program runs.
    QTemporaryDir dir;
    QVERIFY(copyLanguageFolder(dir.path(), QStringLiteral("Lang_ZH.qm")));
    g_appDir = dir.path();
    languageAction(top, Chinese)->trigger();
    QCOMPARE(g_languageCode, QStringLiteral("EN"));
    QCOMPARE(storedLanguage(), QStringLiteral("EN"));
    QCOMPARE(window.toolsSelectWidget->toolButton(0)->text(), QStringLiteral("Format Convert"));
    QCOMPARE(top->helpAction->text(), QStringLiteral("Help"));
    QCOMPARE(QObject::tr("Save Logfile"), QStringLiteral("Save Logfile"));
}

void TestTopWidget::unknownActionTextTakesFirstLanguage()
{
    SetSettingValue(QLatin1String(SettingsKey::Language), QStringLiteral("ZH"));
    MainWidget window;
    QCOMPARE(g_languageCode, QStringLiteral("ZH"));
    QAction stray(QStringLiteral("Klingon"));
    window.topWidget->slots_all_language_Action(&stray);
    QCOMPARE(g_languageCode, window.topWidget->languageCodes.first());
}

QTEST_MAIN(TestTopWidget)
#include "tst_topwidget.moc"
