// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "tools/concatconvert/voiceconcatitemwidget.h"

#include <QLabel>
#include <QPixmap>

#include "engine/voicedata.h"
#include "widgets/bgicontextbutton.h"
#include "widgets/displayscale.h"

VoiceConcatItemWidget::VoiceConcatItemWidget(QWidget *parent) : VoiceItemWidget(parent)
{
    upButton = new MyQtCustom::BgIconTextButton(this);
    downButton = new MyQtCustom::BgIconTextButton(this);
    upButton->hide();
    downButton->hide();
    connect(upButton, qOverload<>(&MyQtCustom::BgIconTextButton::clicked), this,
            &VoiceConcatItemWidget::upButton_slots);
    connect(downButton, qOverload<>(&MyQtCustom::BgIconTextButton::clicked), this,
            &VoiceConcatItemWidget::downButton_slots);
}

void VoiceConcatItemWidget::UpdateText()
{
    VoiceItemWidget::UpdateText();
    const QPixmap up(QStringLiteral(":/images/normal/up.png"));
    upButton->setIconPixmap(up, QPixmap(QStringLiteral(":/images/light/up.png")), up, up);
    const QPixmap down(QStringLiteral(":/images/normal/down.png"));
    downButton->setIconPixmap(down, QPixmap(QStringLiteral(":/images/light/down.png")), down, down);
    dressActionButton(upButton, tr("Up"));
    dressActionButton(downButton, tr("Down"));

    placeArrows();
}

void VoiceConcatItemWidget::placeArrows()
{
    // Left of Open while a result shows it, else of Delete.
    const QWidget *right = openButton->isHidden() ? deleteButton : openButton;
    const int top = (height() - ActionButtonSize()) / 2;
    downButton->move(right->x() - ScaledPx(10) - downButton->width(), top);
    upButton->move(downButton->x() - ScaledPx(10) - upButton->width(), top);
    fitLabels(upButton->x());
}

void VoiceConcatItemWidget::ShowData()
{
    VoiceItemWidget::ShowData();
    const VoiceData *current = job();
    if (!current)
        return;
    startButton->hide();
    stopButton->hide();
    upButton->hide();
    downButton->hide();
    // The order is the run's while it runs; before and after, it can change.
    if (current->status() == VoiceData::Converting)
        return;
    upButton->setVisible(index > 0);
    downButton->setVisible(index < count - 1);
    placeArrows();
}

void VoiceConcatItemWidget::upButton_slots()
{
    if (VoiceData *current = job())
        emit moveup(current);
}

void VoiceConcatItemWidget::downButton_slots()
{
    if (VoiceData *current = job())
        emit movedown(current);
}
