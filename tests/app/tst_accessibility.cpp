// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
// Every control a user can reach in every panel has a name and a description
// a screen reader can say, its buttons are buttons that the reader can press,
// and a job's row says its file and its state.
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QtTest>

#include "app/toolsbasewidget.h"
#include "engine/voicedata.h"
#include "app/voiceitemwidget.h"
#include "support/testsupport.h"
#include "support/toolfixture.h"
#include "widgets/bgicontextbutton.h"

class TestAccessibility : public ToolFixture
{
    Q_OBJECT
private slots:
    void everyControlHasAName_data()
    {
        QTest::addColumn<int>("tool");
        QTest::addColumn<int>("choice"); // an entry of the option box, -1: as it opens
        for (int tool = Format; tool <= Changer; ++tool)
            QTest::addRow("tool %d", tool) << tool << -1;
        QTest::addRow("split by number") << int(Split) << 1;
        QTest::addRow("split at silences") << int(Split) << 2;
    }
    void everyControlHasAName()
    {
        QFETCH(int, tool);
        QFETCH(int, choice);
        const QString input = inputs.filePath("song.wav");
        if (!QFile::exists(input))
            QVERIFY(TestSupport::makeTone(input, 1));
        ToolsBaseWidget *panel = open(tool);
        QVERIFY(add(panel, {input}));
        if (choice >= 0)
            choose(panel, choice);
        QStringList unnamed;
        for (QWidget *widget : panel->findChildren<QWidget *>()) {
            const bool button = QByteArray(widget->metaObject()->className()).contains("Button");
            const bool reachable = widget->isVisibleTo(panel) && widget->isEnabled() &&
                                   ((widget->focusPolicy() & Qt::TabFocus) || button);
            // A spin box's editor is part of the spin box, which has the name.
            if (!reachable || qobject_cast<QAbstractSpinBox *>(widget->parentWidget()))
                continue;
            QAccessibleInterface *face = QAccessible::queryAccessibleInterface(widget);
            const QString what = face ? face->text(QAccessible::Name) : QString();
            if (what.trimmed().isEmpty() || face->text(QAccessible::Description).trimmed().isEmpty() ||
                (button && (face->role() != QAccessible::Button || !face->actionInterface())))
                unnamed << QString("%1 '%2'").arg(widget->metaObject()->className(), what);
        }
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(", ")));
        // The row: its file and its state.
        auto *row = qobject_cast<VoiceItemWidget *>(panel->itemList()->rows().first());
        VoiceData *job = panel->jobs().first();
        TestSupport::setJobState(job, VoiceData::Converting);
        job->progress = 4200;
        row->ShowData();
        const QString name = QAccessible::queryAccessibleInterface(row)->text(QAccessible::Name);
        QVERIFY2(name.contains("song.wav") && name.contains("42"), qPrintable(name));
        QVERIFY(!QAccessible::queryAccessibleInterface(row)->text(QAccessible::Description).isEmpty());
        TestSupport::setJobState(job, VoiceData::Idle);
        row->ShowData();
        // A reader's press takes the file off the list, as a click does.
        for (QWidget *button : row->findChildren<MyQtCustom::BgIconTextButton *>()) {
            QAccessibleInterface *face = QAccessible::queryAccessibleInterface(button);
            if (face->text(QAccessible::Name) == "Delete")
                face->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        }
        QVERIFY(panel->jobs().isEmpty());
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
