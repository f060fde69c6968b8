// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "tools/splitconvert/splitconvertwidget.h"

#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QTimeEdit>

#include "app/optioncombobox.h"
#include "app/waveformpane.h"
#include "common/qcommonutils.h"
#include "engine/audioenvelope.h"
#include "tools/splitconvert/voicesplitdata.h"
#include "widgets/displayscale.h"
#include "widgets/labelbutton.h"
#include "widgets/skinhelper_qsetting.h"
#include "widgets/waveformstrip.h"

namespace {
constexpr double Second = 1000000.0;
const SilenceDetector::Options Defaults;

QDoubleSpinBox *secondsBox(QWidget *parent, double minimum, double maximum, qint64 value)
{
    auto *box = new QDoubleSpinBox(parent);
    box->setRange(minimum, maximum);
    box->setDecimals(1);
    box->setSingleStep(0.1);
    box->setValue(double(value) / Second);
    return box;
}
} // namespace

SplitConvertWidget::SplitConvertWidget(QWidget *parent)
    : ToolsBaseWidget(parent), pane(new WaveformPane(this)), thresholdBox(new QSpinBox(pane)),
      minSilenceBox(secondsBox(pane, 0.1, 60, Defaults.minSilence)),
      minPieceBox(secondsBox(pane, 0, 3600, Defaults.minPiece)),
      maxPieceBox(secondsBox(pane, 0, 4 * 3600, Defaults.maxPiece))
{
    // A cut copies the stream: there is no encoding to set.
    outputButton->hide();
    toolStrip = pane;
    toolStripHeight = WaveformPane::DesignHeight;
    thresholdBox->setRange(-90, -5);
    thresholdBox->setValue(int(options->silence.thresholdDb));
    for (QAbstractSpinBox *box :
         std::initializer_list<QAbstractSpinBox *>{thresholdBox, minSilenceBox, minPieceBox, maxPieceBox}) {
        auto *caption = new QLabel(pane);
        silenceCaptions << caption;
        caption->setBuddy(box);
        pane->toolControls()->addWidget(caption);
        pane->toolControls()->addWidget(box);
    }
    connect(thresholdBox, qOverload<int>(&QSpinBox::valueChanged), this,
            &SplitConvertWidget::silenceOptions_slots);
    for (QDoubleSpinBox *box : {minSilenceBox, minPieceBox, maxPieceBox})
        connect(box, qOverload<double>(&QDoubleSpinBox::valueChanged), this,
                &SplitConvertWidget::silenceOptions_slots);
    connect(pane, &WaveformPane::jobShown, this, &SplitConvertWidget::showCuts);
    pane->strip()->setCutsMovable(true);
    connect(pane->strip(), &WaveformStrip::cutsEdited, this, [this](const QVector<qint64> &cuts) {
        VoiceSplitData *job = shownJob();
        if (!job)
            return;
        job->ownPlan = true;
        job->ownCuts = cuts;
        UpdateItem(job);
        showCuts();
    });
    connect(pane->resetButton(), qOverload<>(&MyQtCustom::LabelButton::clicked), this,
            &SplitConvertWidget::panelPlanButton_slots);

    splitTypeLabel = new QLabel(topBar);
    splitTypeComboBox = new OptionComboBox(topBar);
    splitTimeEdit = new QTimeEdit(topBar);
    splitNumSpinBox = new QSpinBox(topBar);

    splitTimeEdit->setDisplayFormat(QStringLiteral("hh:mm:ss"));
    splitTimeEdit->setMinimumTime(QTime(0, 0, 2));
    splitTimeEdit->setMaximumTime(QTime(4, 0, 0));
    splitNumSpinBox->setRange(2, 100);

    connect(splitTypeComboBox, qOverload<int>(&QComboBox::activated), this,
            &SplitConvertWidget::splitTypeComboBox_slots);
    connect(splitTimeEdit, &QTimeEdit::timeChanged, this, &SplitConvertWidget::timeEdit_slots);
    connect(splitNumSpinBox, qOverload<int>(&QSpinBox::valueChanged), this,
            &SplitConvertWidget::numSpinBox_slots);
}

void SplitConvertWidget::FlushText()
{
    ToolsBaseWidget::FlushText();
    const int w = topBar->width();
    const int h = topBar->height();
    const int controlWidth = ScaledPx(120);
    const int controlHeight = ScaledPx(24);
    const int top = (h - controlHeight) / 2;

    splitTypeComboBox->UpdateSkin();
    const int comboLeft = w - ScaledPx(16) - ScaledPx(20) - 2 * controlWidth;
    splitTypeComboBox->setGeometry(comboLeft, top, controlWidth, controlHeight);

    splitTypeLabel->setStyleSheet(CaptionStyle("txtcolor1"));
    splitTypeLabel->setText(tr("Split Type:"));
    splitTypeLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    splitTypeLabel->setGeometry(comboLeft - 10 - ScaledPx(200), top, ScaledPx(200), controlHeight);

    splitTypeComboBox->setEntries({tr("Time"), tr("Number"), tr("Silence")});
    splitTypeComboBox->setAccessibleName(tr("Split type"));
    splitTypeComboBox->setAccessibleDescription(
        tr("Cut into pieces of one length, into a number of pieces, or where the audio is silent."));
    splitTimeEdit->setAccessibleName(tr("Piece length"));
    splitNumSpinBox->setAccessibleName(tr("Number of pieces"));
    splitTimeEdit->setAccessibleDescription(
        tr("Every piece lasts this long; the last one keeps what is left."));
    splitNumSpinBox->setAccessibleDescription(tr("How many pieces of equal length every file is cut into."));
    const QStringList captions{tr("Below:"), tr("For:"), tr("Pieces from:"), tr("To:")};
    const QStringList names{tr("Silence threshold"), tr("Shortest silence"), tr("Shortest piece"),
                            tr("Longest piece")};
    const QStringList descriptions{
        tr("Audio quieter than this many decibels below full scale counts as silence."),
        tr("A silence must last at least this many seconds to be cut in."),
        tr("No piece is made shorter than this many seconds."),
        tr("Pieces longer than this many seconds are cut evenly; 0 sets no limit.")};
    const QList<QAbstractSpinBox *> boxes{thresholdBox, minSilenceBox, minPieceBox, maxPieceBox};
    for (int i = 0; i < boxes.size(); ++i) {
        silenceCaptions[i]->setText(captions[i]);
        silenceCaptions[i]->setStyleSheet(CaptionStyle("txtcolor1"));
        boxes[i]->setAccessibleName(names[i]);
        boxes[i]->setAccessibleDescription(descriptions[i]);
        boxes[i]->setFixedSize(ScaledPx(80), ScaledPx(24));
    }
    thresholdBox->setSuffix(QStringLiteral(" dB"));
    for (QDoubleSpinBox *box : {minSilenceBox, minPieceBox, maxPieceBox})
        box->setSuffix(tr(" s"));
    maxPieceBox->setSpecialValueText(tr("no limit"));
    SkinHelper_QSetting *skin = SkinHelper_QSetting::GetInstance();
    thresholdBox->setStyleSheet(skin->GetQSpinBoxQSS(12, 1, 3, QStringLiteral("QSpinBox")));
    for (QDoubleSpinBox *box : {minSilenceBox, minPieceBox, maxPieceBox})
        box->setStyleSheet(skin->GetQSpinBoxQSS(12, 1, 3, QStringLiteral("QDoubleSpinBox")));
    pane->setResetTexts(tr("Use the panel's plan"),
                        tr("Forgets the cuts dragged for this file; the split type applies to it again."));
    pane->strip()->setAccessibleDescription(
        tr("Drag a cut line to move it. Left and Right move the chosen cut by one second, Shift with Left "
           "and Right chooses another."));
    pane->UpdateSkin();
    pane->FlushText();

    // The two editors share one place; the split type shows one of them.
    const QRect editorRect(w - controlWidth - ScaledPx(16), top, controlWidth, controlHeight);
    splitTimeEdit->setGeometry(editorRect);
    splitTimeEdit->setStyleSheet(skin->GetQTimeEditQSS(12, 1, 3, QStringLiteral("QTimeEdit")));
    splitNumSpinBox->setGeometry(editorRect);
    splitNumSpinBox->setStyleSheet(skin->GetQSpinBoxQSS(12, 1, 3, QStringLiteral("QSpinBox")));

    splitTypeComboBox_slots();
}

void SplitConvertWidget::splitTypeComboBox_slots()
{
    splitTimeEdit->hide();
    splitNumSpinBox->hide();
    options->bySilence = splitTypeComboBox->currentIndex() == 2;
    for (QWidget *control :
         std::initializer_list<QWidget *>{thresholdBox, minSilenceBox, minPieceBox, maxPieceBox})
        control->setVisible(options->bySilence);
    for (QLabel *caption : qAsConst(silenceCaptions))
        caption->setVisible(options->bySilence);
    if (options->bySilence) {
        showCuts();
        return;
    }
    if (splitTypeComboBox->currentIndex() == 0) {
        options->byNumber = false;
        splitTimeEdit->show();
        options->time = QCommonUtils::QTimetominsecond(splitTimeEdit->time());
    } else {
        options->byNumber = true;
        splitNumSpinBox->show();
        options->number = splitNumSpinBox->value();
    }
    showCuts();
}

void SplitConvertWidget::timeEdit_slots()
{
    options->time = QCommonUtils::QTimetominsecond(splitTimeEdit->time());
    showCuts();
}

void SplitConvertWidget::numSpinBox_slots()
{
    options->number = splitNumSpinBox->value();
    showCuts();
}

void SplitConvertWidget::silenceOptions_slots()
{
    options->silence.thresholdDb = thresholdBox->value();
    options->silence.minSilence = qint64(minSilenceBox->value() * Second);
    options->silence.minPiece = qint64(minPieceBox->value() * Second);
    options->silence.maxPiece = qint64(maxPieceBox->value() * Second);
    showCuts();
}

VoiceSplitData *SplitConvertWidget::shownJob() const
{
    return qobject_cast<VoiceSplitData *>(pane->job().data());
}

void SplitConvertWidget::showCuts()
{
    const VoiceData *job = pane->job();
    const VoiceSplitData *split = shownJob();
    const QSharedPointer<const AudioEnvelope> envelope = pane->envelope();
    const bool own = split && split->ownPlan;
    pane->strip()->setCuts(own   ? split->ownCuts
                           : job ? VoiceSplitData::PlannedCuts(*options, job->duration, envelope.data())
                                 : QVector<qint64>());
    pane->resetButton()->setEnabled(own);
}

void SplitConvertWidget::panelPlanButton_slots()
{
    if (VoiceSplitData *job = shownJob()) {
        job->ownPlan = false;
        job->ownCuts.clear();
        UpdateItem(job);
    }
    showCuts();
}

void SplitConvertWidget::AddVoiceData(VoiceData *record)
{
    ToolsBaseWidget::AddVoiceData(record);
    adoptJob(new VoiceSplitData(options), record);
}
