// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "tools/trimconvert/trimconvertwidget.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QTimeEdit>

#include "app/waveformpane.h"
#include "common/qcommonutils.h"
#include "tools/trimconvert/voicetrimdata.h"
#include "widgets/displayscale.h"
#include "widgets/labelbutton.h"
#include "widgets/skinhelper_qsetting.h"
#include "widgets/waveformstrip.h"

namespace {
void setUpTimeEdit(QTimeEdit *edit, const QTime &maximum, const QTime &initial)
{
    edit->setDisplayFormat(QStringLiteral("hh:mm:ss"));
    edit->setMinimumTime(QTime(0, 0, 0));
    edit->setMaximumTime(maximum);
    edit->setTime(initial);
}
} // namespace

TrimConvertWidget::TrimConvertWidget(QWidget *parent) : ToolsBaseWidget(parent), pane(new WaveformPane(this))
{
    // A cut copies the stream: there is no encoding to set.
    outputButton->hide();
    startTimeLabel = new QLabel(topBar);
    startTimeEdit = new QTimeEdit(topBar);
    endTimeLabel = new QLabel(topBar);
    endTimeEdit = new QTimeEdit(topBar);
    connect(startTimeEdit, &QTimeEdit::timeChanged, this, &TrimConvertWidget::starttimeEdit_slots);
    connect(endTimeEdit, &QTimeEdit::timeChanged, this, &TrimConvertWidget::endtimeEdit_slots);
    setUpTimeEdit(startTimeEdit, QTime(23, 0, 0), QTime(0, 0, 0));
    setUpTimeEdit(endTimeEdit, QTime(23, 59, 59), QTime(1, 0, 0));
    options->start = QCommonUtils::QTimetominsecond(startTimeEdit->time());
    options->end = QCommonUtils::QTimetominsecond(endTimeEdit->time());

    toolStrip = pane;
    toolStripHeight = WaveformPane::DesignHeight;
    connect(pane->resetButton(), qOverload<>(&MyQtCustom::LabelButton::clicked), this,
            &TrimConvertWidget::defaultRangeButton_slots);
    connect(pane, &WaveformPane::jobShown, this, &TrimConvertWidget::showRange);
    connect(pane->strip(), &WaveformStrip::rangeEdited, this, [this](qint64 start, qint64 end) {
        VoiceTrimData *job = shownJob();
        if (!job)
            return;
        job->ownRange = true;
        job->ownStart = start;
        job->ownEnd = end;
        UpdateItem(job);
        showRange();
    });
    pane->setPlayRange([this](VoiceData *) {
        return qMakePair(QCommonUtils::QTimetominsecond(startTimeEdit->time()),
                         QCommonUtils::QTimetominsecond(endTimeEdit->time()));
    });
}

VoiceTrimData *TrimConvertWidget::shownJob() const
{
    return qobject_cast<VoiceTrimData *>(pane->job().data());
}

void TrimConvertWidget::showRange()
{
    const VoiceTrimData *job = shownJob();
    const bool own = job && job->ownRange;
    const qint64 start = own ? job->ownStart : options->start;
    const qint64 end = own ? job->ownEnd : options->end;
    for (QTimeEdit *edit : {startTimeEdit, endTimeEdit}) {
        const QSignalBlocker quiet(edit);
        edit->setTime(QTime(0, 0).addSecs(int((edit == startTimeEdit ? start : end) / 1000000)));
    }
    pane->strip()->setRange(start, end);
    pane->resetButton()->setEnabled(own);
    markRange();
}

void TrimConvertWidget::storeBoxes()
{
    const qint64 start = QCommonUtils::QTimetominsecond(startTimeEdit->time());
    const qint64 end = QCommonUtils::QTimetominsecond(endTimeEdit->time());
    // The boxes edit the shown file's own range when it has one, else the panel's.
    if (VoiceTrimData *job = shownJob(); job && job->ownRange) {
        job->ownStart = start;
        job->ownEnd = end;
        UpdateItem(job);
    } else {
        options->start = start;
        options->end = end;
    }
    pane->strip()->setRange(start, end);
    markRange();
}

void TrimConvertWidget::defaultRangeButton_slots()
{
    if (VoiceTrimData *job = shownJob()) {
        job->ownRange = false;
        UpdateItem(job);
    }
    showRange();
}

void TrimConvertWidget::FlushText()
{
    ToolsBaseWidget::FlushText();
    for (QLabel *label : {startTimeLabel, endTimeLabel}) {
        label->setStyleSheet(CaptionStyle("txtcolor1"));
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }
    markRange();
    startTimeLabel->setText(tr("Start Time:"));
    endTimeLabel->setText(tr("End Time:"));
    startTimeEdit->setAccessibleDescription(tr("Where the kept part of the file begins."));
    endTimeEdit->setAccessibleDescription(tr("Where the kept part of the file ends."));
    pane->setResetTexts(tr("Use the panel's range"),
                        tr("Forgets the range dragged for this file; the time boxes apply to it again."));
    pane->strip()->setAccessibleDescription(
        tr("Drag the ends of the kept range. Left and Right move its start, "
           "Shift with Left and Right its end, by one second."));
    pane->UpdateSkin();
    pane->FlushText();

    // Right to left: end editor, its caption, a gap, start editor, its caption.
    placeAtTopBarRight(endTimeEdit, 120, 24, 14);
    placeCaptionLeftOf(endTimeLabel, endTimeEdit, 24);
    startTimeEdit->setGeometry(endTimeLabel->x() - ScaledPx(20) - ScaledPx(120), endTimeEdit->y(),
                               ScaledPx(120), ScaledPx(24));
    placeCaptionLeftOf(startTimeLabel, startTimeEdit, 24);
}

void TrimConvertWidget::starttimeEdit_slots()
{
    storeBoxes();
}

void TrimConvertWidget::endtimeEdit_slots()
{
    storeBoxes();
}

QString TrimConvertWidget::OptionProblem() const
{
    if (startTimeEdit->time() < endTimeEdit->time())
        return QString();
    return tr("The end time must be after the start time.");
}

void TrimConvertWidget::markRange()
{
    const SkinHelper_QSetting *skin = SkinHelper_QSetting::GetInstance();
    const QString problem = OptionProblem();
    QString style = skin->GetQTimeEditQSS(12, 1, 3, QStringLiteral("QTimeEdit"));
    if (!problem.isEmpty())
        style += QStringLiteral("QTimeEdit{border:1px solid %1;}")
                     .arg(skin->GetValue(QStringLiteral("State"), QStringLiteral("failed")));
    for (QTimeEdit *edit : {startTimeEdit, endTimeEdit}) {
        edit->setStyleSheet(style);
        edit->setToolTip(problem);
    }
    // A summary of the last batch stays; only a complaint about the range goes with it.
    if (!problem.isEmpty() || noticeIsProblem)
        showNotice(problem, true);
}

void TrimConvertWidget::AddVoiceData(VoiceData *record)
{
    ToolsBaseWidget::AddVoiceData(record);
    adoptJob(new VoiceTrimData(options), record);
}
