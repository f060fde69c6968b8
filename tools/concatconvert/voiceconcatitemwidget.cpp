#include "tools/concatconvert/voiceconcatitemwidget.h"

#include <QLabel>
#include <QPixmap>

#include "app/globals.h"
#include "engine/voicedata.h"
#include "widgets/bgicontextbutton.h"

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

    const int top = (height() - ActionButtonSize()) / 2;
    downButton->move(deleteButton->x() - ScaledPx(10) - downButton->width(), top);
    upButton->move(downButton->x() - ScaledPx(10) - upButton->width(), top);
    // In a narrow row the facts give way to the buttons.
    const int room = upButton->x() - ScaledPx(10) - infoLabel->x();
    if (room < infoLabel->width())
        infoLabel->resize(qMax(0, room), infoLabel->height());
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
    // Only an entry that has never run can be moved.
    if (current->status != VoiceData::Idle)
        return;
    upButton->setVisible(index > 0);
    downButton->setVisible(index < count - 1);
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
