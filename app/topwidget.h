// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QLocale>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QWidget>

class QAction;
class QLabel;
class QMenu;
class QMenuBar;

namespace MyQtCustom {
class MyPushButton;
}

// The code of the language applied last ("EN", "ZH" ...); the links follow it.
extern QString g_languageCode;

// The title bar across the top of the main window: logo, name, version and the
// menu button with the links and the Language sub-menu. It also owns the
// language machinery: the list of languages and the switch between them.
class TopWidget : public QWidget
{
    Q_OBJECT
public:
    explicit TopWidget(QWidget *parent = nullptr);
    ~TopWidget() override;

    void Layout();
    void UpdateSkin();
    void UpdateText();

    // Fills the Language menu from the list file and applies the start language.
    // Runs once; later calls return at once.
    void InitLanguageMenu();
    // Loads the translations of `code` (EN when its file is missing), stores the
    // choice and retranslates the main window, the title bar, the selector and
    // an open panel.
    static void SetLanguage(QString code);

    // The languages a list file offers, in file order.
    struct LanguageList
    {
        QStringList names;
        QStringList codes;
    };
    static LanguageList ReadLanguageList(const QString &path);
    // The code to start with, from the stored "Language" value and the system's locale.
    static QString StartLanguage(const QString &stored, const QLocale &system);
    static QString LanguageListPath();
    static QString TranslationPath(const QString &prefix, const QString &code);

    // The links. Help opens the user guide shipped in the data folder
    // (help/guide-<code>.html, English where a language has none); Support and
    // Homepage open the addresses of the [links] group of quillvane.ini
    // (AppPaths::configValue: "support", "homepage", or "support_zh" ... for
    // one language). An empty URL: nothing to open, and the action is hidden.
    enum class Link
    {
        Help,
        Support,
        Homepage
    };
    static QUrl LinkUrl(Link link, const QString &languageCode);
    // Shows the actions that have something to open in the current language.
    void UpdateLinks();

    // Where the pop-up menu opens: just below the menu button's left edge.
    QPoint PopupPosition() const;
    // Only macOS shows a menu bar without a window; elsewhere it would be a stray widget.
    static bool HasNativeMenuBar();

    QWidget *background;
    QLabel *logoLabel;
    QLabel *titleLabel;
    MyQtCustom::MyPushButton *menuButton;
    QLabel *versionLabel;
    QMenu *helpMenu;
    QMenu *popupMenu;
    QAction *helpAction;
    QAction *supportAction;
    QAction *homepageAction;
    QMenu *languageMenu;
    QAction *experimentalAction; // checkable: offers the two script-driven tools in the selector
    QStringList languageNames;
    QStringList languageCodes;

public slots:
    void menuButton_slots();
    void slots_helpAction();
    void slots_supportAction();
    void slots_homepageAction();
    void slots_all_language_Action(QAction *action);
    void slots_experimentalAction(bool shown);

private:
    void openLink(Link link);

    QMenuBar *nativeMenuBar = nullptr; // no parent: the application's menu bar on macOS
    bool languageMenuBuilt = false;
};
