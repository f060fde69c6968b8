#include "tools/trimconvert/trimconvertwidget.h"

#include <QLabel>
#include <QTimeEdit>

#include "common/qcommonutils.h"
#include "tools/trimconvert/voicetrimdata.h"
#include "widgets/displayscale.h"
#include "widgets/skinhelper_qsetting.h"

namespace {
void setUpTimeEdit(QTimeEdit *edit, const QTime &maximum, const QTime &initial)
{
    edit->setDisplayFormat(QStringLiteral("hh:mm:ss"));
    edit->setMinimumTime(QTime(0, 0, 0));
    edit->setMaximumTime(maximum);
    edit->setTime(initial);
}
} // namespace

TrimConvertWidget::TrimConvertWidget(QWidget *parent) : ToolsBaseWidget(parent)
{
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

    // Right to left: end editor, its caption, a gap, start editor, its caption.
    placeAtTopBarRight(endTimeEdit, 120, 24, 14);
    placeCaptionLeftOf(endTimeLabel, endTimeEdit, 24);
    startTimeEdit->setGeometry(endTimeLabel->x() - ScaledPx(20) - ScaledPx(120), endTimeEdit->y(),
                               ScaledPx(120), ScaledPx(24));
    placeCaptionLeftOf(startTimeLabel, startTimeEdit, 24);
}

void TrimConvertWidget::starttimeEdit_slots()
{
    options->start = QCommonUtils::QTimetominsecond(startTimeEdit->time());
    markRange();
}

void TrimConvertWidget::endtimeEdit_slots()
{
    options->end = QCommonUtils::QTimetominsecond(endTimeEdit->time());
    markRange();
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
