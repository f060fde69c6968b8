// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
// Every control a user can reach in every panel has a name a screen reader
// can say, and a job's row says its file and its state.
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QtTest>

#include "app/toolsbasewidget.h"
#include "engine/voicedata.h"
#include "app/voiceitemwidget.h"
#include "support/testsupport.h"
#include "support/toolfixture.h"

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
            const bool reachable = widget->isVisibleTo(panel) && widget->isEnabled() &&
                                   ((widget->focusPolicy() & Qt::TabFocus) ||
                                    QByteArray(widget->metaObject()->className()).contains("Button"));
            // A spin box's editor is part of the spin box, which has the name.
            if (!reachable || qobject_cast<QAbstractSpinBox *>(widget->parentWidget()))
                continue;
            QAccessibleInterface *face = QAccessible::queryAccessibleInterface(widget);
            if (!face || face->text(QAccessible::Name).trimmed().isEmpty())
                unnamed << QString("%1 %2").arg(widget->metaObject()->className(), widget->objectName());
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
        TestSupport::setJobState(job, VoiceData::Idle);
        row->ShowData();
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
