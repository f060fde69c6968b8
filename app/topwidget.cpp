// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "app/topwidget.h"

#include <QAction>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QTextStream>
#include <QTranslator>

#include "app/mainwidget.h"
#include "app/toolsselectwidget.h"
#include "common/apppaths.h"
#include "common/globals.h"
#include "widgets/backgroundbrush.h"
#include "widgets/displayscale.h"
#include "widgets/mypushbutton.h"
#include "widgets/skinhelper_qsetting.h"

QString g_languageCode;

namespace {
QString skinValue(const char *group, const char *key)
{
    return SkinHelper_QSetting::GetInstance()->GetValue(QLatin1String(group), QLatin1String(key));
}

QString languageKey()
{
    return QLatin1String(SettingsKey::Language);
}
} // namespace

TopWidget::TopWidget(QWidget *parent) : QWidget(parent)
{
    background = new QWidget(this);
    logoLabel = new QLabel(this);
    titleLabel = new QLabel(this);
    menuButton = new MyQtCustom::MyPushButton(this);
    versionLabel = new QLabel(this);
    connect(menuButton, &MyQtCustom::MyPushButton::clicked, this, &TopWidget::menuButton_slots);

    popupMenu = new QMenu(this);
    helpAction = new QAction(this);
    supportAction = new QAction(this);
    homepageAction = new QAction(this);
    languageMenu = new QMenu(popupMenu);
    popupMenu->addAction(helpAction);
    popupMenu->addAction(supportAction);
    popupMenu->addAction(homepageAction);
    popupMenu->addSeparator();
    popupMenu->addMenu(languageMenu);
    experimentalAction = new QAction(this);
    experimentalAction->setCheckable(true);
    experimentalAction->setChecked(ExperimentalToolsShown());
    popupMenu->addSeparator();
    popupMenu->addAction(experimentalAction);

    // The same three actions under Help of the application's menu bar.
    helpMenu = new QMenu(this);
    helpMenu->addAction(helpAction);
    helpMenu->addAction(supportAction);
    helpMenu->addAction(homepageAction);
    if (HasNativeMenuBar()) {
        nativeMenuBar = new QMenuBar(nullptr);
        nativeMenuBar->addMenu(helpMenu);
    }

    connect(helpAction, &QAction::triggered, this, &TopWidget::slots_helpAction);
    connect(supportAction, &QAction::triggered, this, &TopWidget::slots_supportAction);
    connect(homepageAction, &QAction::triggered, this, &TopWidget::slots_homepageAction);
    connect(languageMenu, &QMenu::triggered, this, &TopWidget::slots_all_language_Action);
    connect(experimentalAction, &QAction::toggled, this, &TopWidget::slots_experimentalAction);
}

TopWidget::~TopWidget()
{
    delete nativeMenuBar;
}

bool TopWidget::HasNativeMenuBar()
{
#ifdef Q_OS_MACOS
    return !QCoreApplication::testAttribute(Qt::AA_DontUseNativeMenuBar);
#else
    return false;
#endif
}

// ---------------------------------------------------------------- look

void TopWidget::Layout()
{
    const int w = width();
    const int h = height();
    const int labelHeight = ScaledPx(30);
    const int labelTop = (h - labelHeight) / 2;
    logoLabel->setGeometry(ScaledPx(10), labelTop, ScaledPx(30), labelHeight);
    titleLabel->setGeometry(ScaledPx(45), labelTop, ScaledPx(400), labelHeight);
    const int button = ScaledPx(16);
    menuButton->setGeometry(w - ScaledPx(60), (h - button) / 2, button, button);
    versionLabel->setGeometry(menuButton->x() - ScaledPx(120) - ScaledPx(20), labelTop, ScaledPx(120),
                              labelHeight);
    background->setGeometry(0, 0, w, h);
}

void TopWidget::UpdateSkin()
{
    background->setStyleSheet(QStringLiteral("QWidget{border: 0px solid #ababab;border-radius: 0px; "
                                             "background-color:") +
                              skinValue("main", "topbgcolor") + QStringLiteral(";}"));
    MyQtCustom::SetBackgroundBrush(logoLabel, QPixmap(QStringLiteral(":/images/program.png")));

    // The menu button's four looks are one column of the shared 32 x 32 sprite.
    if (g_spritePixmap)
        menuButton->SetPicture(*g_spritePixmap, *g_spritePixmap, *g_spritePixmap, *g_spritePixmap);
    const int cell = 32;
    const int column = 96;
    menuButton->SetnormalPicRect(QRect(column, 0, cell, cell));
    menuButton->SethighlightPicRect(QRect(column, cell, cell, cell));
    menuButton->SetclickPicRect(QRect(column, 2 * cell, cell, cell));
    menuButton->SetdisablePicRect(QRect(column, 3 * cell, cell, cell));
    menuButton->SetPicAlignFlags(3);

    InitLanguageMenu();
}

void TopWidget::UpdateText()
{
    titleLabel->setText(tr("Quillvane"));
    titleLabel->setStyleSheet(QStringLiteral("QLabel { color: ") + skinValue("main", "txtcolor") +
                              QStringLiteral(";font:") + QString::number(ScaledPx(14)) +
                              QStringLiteral("px;}"));

    versionLabel->setText(tr("Ver: %1").arg(QLatin1String(AppIdentity::Version)));
    versionLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    versionLabel->setStyleSheet(QStringLiteral("QLabel{font-size:") + QString::number(ScaledPx(11)) +
                                QStringLiteral("px;color:") + skinValue("main", "txtcolor2") +
                                QStringLiteral("}"));

    const SkinHelper_QSetting *skin = SkinHelper_QSetting::GetInstance();
    popupMenu->setStyleSheet(skin->GetQMenuQSS(90, 30, 12, QStringLiteral("QMenu")));
    languageMenu->setStyleSheet(skin->GetQMenuQSS(80, 30, 12, QStringLiteral("QMenu")));

    helpAction->setText(tr("Help"));
    supportAction->setText(tr("Support"));
    homepageAction->setText(tr("Homepage"));
    languageMenu->setTitle(tr("Language"));
    experimentalAction->setText(tr("Experimental tools"));
    helpMenu->setTitle(tr("&Help"));
    UpdateLinks();
}

// ---------------------------------------------------------------- menu and links

QPoint TopWidget::PopupPosition() const
{
    // Mapped through the widgets rather than added up from window positions:
    // a window's position includes its frame, the button's does not.
    return menuButton->mapToGlobal(QPoint(0, menuButton->height()));
}

void TopWidget::menuButton_slots()
{
    popupMenu->exec(PopupPosition());
}

QUrl TopWidget::LinkUrl(Link link, const QString &languageCode)
{
    const QString code = languageCode.toLower();
    if (link == Link::Help) {
        for (const QString &guideCode : {code, QStringLiteral("en")}) {
            const QString guide =
                g_appDir + QStringLiteral("/help/guide-") + guideCode + QStringLiteral(".html");
            if (QFileInfo(guide).isFile())
                return QUrl::fromLocalFile(guide);
        }
        return QUrl();
    }
    const QString key = QStringLiteral("links/") +
                        (link == Link::Support ? QStringLiteral("support") : QStringLiteral("homepage"));
    auto value = [](const QString &name) {
        return AppPaths::configValue(g_appDir, QLatin1String(AppIdentity::Organisation),
                                     QStringLiteral("quillvane.ini"), name);
    };
    QString address = value(key + QLatin1Char('_') + code);
    if (address.isEmpty())
        address = value(key);
    // Only web and mail addresses: the file is configuration, not a way to open local programs.
    static const QStringList schemes{QStringLiteral("https"), QStringLiteral("http"),
                                     QStringLiteral("mailto")};
    const QUrl url(address, QUrl::StrictMode);
    return url.isValid() && schemes.contains(url.scheme()) ? url : QUrl();
}

void TopWidget::UpdateLinks()
{
    helpAction->setVisible(!LinkUrl(Link::Help, g_languageCode).isEmpty());
    supportAction->setVisible(!LinkUrl(Link::Support, g_languageCode).isEmpty());
    homepageAction->setVisible(!LinkUrl(Link::Homepage, g_languageCode).isEmpty());
}

void TopWidget::openLink(Link link)
{
    const QUrl url = LinkUrl(link, g_languageCode);
    if (url.isEmpty())
        return;
    qDebug("open %s", qUtf8Printable(url.toString()));
    // Without a browser there is nothing to do about it.
    QDesktopServices::openUrl(url);
}

void TopWidget::slots_helpAction()
{
    openLink(Link::Help);
}

void TopWidget::slots_supportAction()
{
    openLink(Link::Support);
}

void TopWidget::slots_homepageAction()
{
    openLink(Link::Homepage);
}

void TopWidget::slots_experimentalAction(bool shown)
{
    SetExperimentalToolsShown(shown);
    if (g_mainWidget && g_mainWidget->toolsSelectWidget)
        g_mainWidget->toolsSelectWidget->ShowExperimentalTools(shown);
}

// ---------------------------------------------------------------- languages

QString TopWidget::LanguageListPath()
{
    return g_appDir + QStringLiteral("/Lang/Lang_config");
}

QString TopWidget::TranslationPath(const QString &prefix, const QString &code)
{
    return g_appDir + QStringLiteral("/Lang/") + prefix + code + QStringLiteral(".qm");
}

TopWidget::LanguageList TopWidget::ReadLanguageList(const QString &path)
{
    LanguageList list;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        list.names << QStringLiteral("English");
        list.codes << QStringLiteral("EN");
        return list;
    }
    QTextStream stream(&file);
    stream.setCodec("UTF-8");
    while (!stream.atEnd()) {
        const QString line = stream.readLine(512);
        // The list ends at the first empty line; what follows is free text.
        if (line.isEmpty())
            break;
        const QStringList parts = line.trimmed().split(QLatin1Char('='));
        // A line without "=" names no language.
        if (parts.size() < 2)
            continue;
        list.codes << parts.at(0);
        list.names << parts.at(1);
    }
    return list;
}

QString TopWidget::StartLanguage(const QString &stored, const QLocale &system)
{
    QString code = stored;
    if (code.size() < 2)
        code = system.language() == QLocale::Chinese ? QStringLiteral("ZH") : QStringLiteral("EN");
    return code.left(2).toUpper();
}

void TopWidget::InitLanguageMenu()
{
    if (languageMenuBuilt)
        return;
    languageMenuBuilt = true;

    const LanguageList list = ReadLanguageList(LanguageListPath());
    languageNames = list.names;
    languageCodes = list.codes;
    for (const QString &name : qAsConst(languageNames))
        languageMenu->addAction(new QAction(name, this));

    // QLocale() is the system's locale unless a test sets another default.
    SetLanguage(StartLanguage(GetSettingValue(languageKey()), QLocale()));
}

void TopWidget::slots_all_language_Action(QAction *action)
{
    if (!action)
        return;
    const int index = qMax(0, languageNames.indexOf(action->text()));
    SetLanguage(languageCodes.value(index, QStringLiteral("EN")));
}

void TopWidget::SetLanguage(QString code)
{
    code = code.toUpper();
    if (!QFileInfo::exists(TranslationPath(QStringLiteral("Lang_"), code)))
        code = QStringLiteral("EN");

    // The stored value may carry more than the code; only its first two characters change.
    QString stored = GetSettingValue(languageKey());
    stored.replace(0, 2, code);
    SetSettingValue(languageKey(), stored);

    // Qt's own texts, the widget library's, the application's.
    static const char *const prefixes[] = {"Qt_", "Lang_Custom_", "Lang_"};
    static QTranslator translators[3];
    for (int i = 0; i < 3; ++i) {
        // Taken out first so that each switch leaves one entry per translator in
        // the application's list, in front of any other.
        QCoreApplication::removeTranslator(&translators[i]);
        const QString file = TranslationPath(QLatin1String(prefixes[i]), code);
        // A failed load leaves the translator empty: those texts stay English,
        // which for EN, the language of the sources, is what is wanted.
        if (!translators[i].load(file) && code != QLatin1String("EN"))
            qDebug("no translations in %s", qUtf8Printable(file));
        QCoreApplication::installTranslator(&translators[i]);
    }
    g_languageCode = code;

    if (g_mainWidget)
        g_mainWidget->UpdateText();
}
