// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
// Sets up a scene of the real application for screenshots (not a test):
//   quillvane_screens [--tool N] [--choose I] [--states S1,S2,...] [--convert] [--language CODE] [--menu]
//                     FILE...
// --tool N       opens tool N of the selector grid (0 = Format Convert ... 9 = Voice Changer)
// --choose I     picks entry I of the panel's option box, as a user would
// --states       gives the jobs, in list order, a state each: -1 idle, 0 waiting,
//                1:P converting at progress P (0..10000), 2 success, 3 failed, 4 stopped
// --convert      presses Convert once the files are listed
// --language     starts in language CODE (EN, ZH ...), as if chosen in an earlier
//                run; the choice goes to a settings store of the scene's own
// --menu         opens the title bar's menu with its Language sub-menu
// --output       opens the panel's Output settings
// FILE...        files to add to the panel
// Run it under scripts/screenshot.sh to capture the window.
#include <QApplication>
#include <QComboBox>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include "app/mainwidget.h"
#include "app/outputsettingspopup.h"
#include "app/toolsbasewidget.h"
#include "app/toolsselectwidget.h"
#include "app/topwidget.h"
#include "common/globals.h"
#include "common/qcommonutils.h"
#include "engine/voicedata.h"
#include "support/testsupport.h"

int main(int argc, char *argv[])
{
    QCommonUtils::GetScaleDxy(nullptr);
    QApplication app(argc, argv);
    g_appDir = QStringLiteral(QUILLVANE_TEST_APP_DIR);
    QCommonUtils::InitName(QLatin1String(AppIdentity::Organisation), QLatin1String(AppIdentity::Application));
    QCommonUtils::SetLocaleLangUTF8();

    int tool = -1;
    int choice = -1;
    QStringList states;
    bool convert = false;
    QString language;
    bool menu = false;
    bool output = false;
    QStringList files;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--tool") && i + 1 < args.size())
            tool = args.at(++i).toInt();
        else if (args.at(i) == QLatin1String("--choose") && i + 1 < args.size())
            choice = args.at(++i).toInt();
        else if (args.at(i) == QLatin1String("--states") && i + 1 < args.size())
            states = args.at(++i).split(QLatin1Char(','));
        else if (args.at(i) == QLatin1String("--convert"))
            convert = true;
        else if (args.at(i) == QLatin1String("--language") && i + 1 < args.size())
            language = args.at(++i);
        else if (args.at(i) == QLatin1String("--menu"))
            menu = true;
        else if (args.at(i) == QLatin1String("--output"))
            output = true;
        else
            files << args.at(i);
    }

    QTemporaryDir settingsDir;
    if (!language.isEmpty()) {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
        SetSettingValue(QLatin1String(SettingsKey::Language), language);
    }

    MainWidget window;
    window.move(0, 0);
    window.show();
    if (menu) {
        TopWidget *top = window.topWidget;
        QTimer::singleShot(300, top, [top] {
            top->popupMenu->popup(top->PopupPosition());
            top->popupMenu->setActiveAction(top->languageMenu->menuAction());
        });
    }
    if (tool < 0)
        return app.exec();

    ToolsBaseWidget *panel = window.toolsSelectWidget->OpenTool(tool);
    if (!panel)
        return 1;
    if (QComboBox *box = choice >= 0 ? panel->findChild<QComboBox *>() : nullptr) {
        box->setCurrentIndex(choice);
        emit box->activated(choice);
    }
    panel->AddFiles(files);
    auto *poll = new QTimer(&app);
    QObject::connect(poll, &QTimer::timeout, [=] {
        if (panel->jobs().size() < files.size())
            return;
        poll->stop();
        if (output)
            QTimer::singleShot(500, panel, [panel] { panel->showOutputSettings(); });
        if (convert)
            panel->convertButton_slots();
        const QList<VoiceData *> jobs = panel->jobs();
        for (int i = 0; i < qMin(states.size(), jobs.size()); ++i) {
            const QStringList parts = states.at(i).split(QLatin1Char(':'));
            TestSupport::setJobState(jobs.at(i), parts.at(0).toInt());
            jobs.at(i)->progress = parts.value(1).toInt();
            if (jobs.at(i)->status() == VoiceData::Failed)
                jobs.at(i)->errorText = QStringLiteral("Invalid data found when processing input");
            if (jobs.at(i)->status() == VoiceData::Succeeded)
                jobs.at(i)->outputPath = OutputFolder() + QStringLiteral("/") + jobs.at(i)->fileName;
            panel->UpdateItem(jobs.at(i));
        }
    });
    poll->start(50);
    return app.exec();
}
