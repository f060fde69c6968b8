// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "app/voiceitemwidget.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPixmap>
#include <QProgressBar>

#include "common/qcommonutils.h"
#include "engine/voicedata.h"
#include "platform/desktopopener.h"
#include "widgets/bgiconbutton.h"
#include "widgets/bgicontextbutton.h"
#include "widgets/displayscale.h"
#include "widgets/mymovewidget.h"
#include "widgets/skinhelper_qsetting.h"

namespace {
QString skinValue(const char *group, const char *key)
{
    return SkinHelper_QSetting::GetInstance()->GetValue(QLatin1String(group), QLatin1String(key));
}

QString labelSheet(int fontSize, const QString &color)
{
    return QStringLiteral("QLabel{font-size:") + QString::number(ScaledPx(fontSize)) +
           QStringLiteral("px;color:") + color + QStringLiteral(";}");
}

// The skin key of each state's colour, in the order of VoiceData::State from Waiting on.
const char *const stateColorKeys[] = {"waiting", "converting", "success", "failed", "stopped", "stopped"};

QString stateSheet(int status)
{
    const bool known = status >= VoiceData::Waiting && status <= VoiceData::Skipped;
    return labelSheet(11, skinValue("State", known ? stateColorKeys[status] : "waiting"));
}

// "0:42" below an hour, "1:02:03" from there on.
QString clockText(qint64 seconds)
{
    const QString minutes = QString::number(seconds / 60 % 60);
    const QString rest = QStringLiteral(":%1").arg(seconds % 60, 2, 10, QLatin1Char('0'));
    if (seconds < 3600)
        return minutes + rest;
    return QString::number(seconds / 3600) + QStringLiteral(":%1").arg(minutes, 2, QLatin1Char('0')) + rest;
}

QPixmap image(const char *form, const QString &name)
{
    return QPixmap(QStringLiteral(":/images/") + QLatin1String(form) + QLatin1Char('/') + name +
                   QStringLiteral(".png"));
}
} // namespace

VoiceItemWidget::VoiceItemWidget(QWidget *parent) : MyTableItemWidget(parent)
{
    background = new QWidget(this);
    voiceIcon = new MyQtCustom::BgIconButton(this);
    nameLabel = new QLabel(this);
    infoLabel = new QLabel(this);
    statusLabel = new QLabel(this);
    progressBar = new QProgressBar(this);
    startButton = new MyQtCustom::BgIconTextButton(this);
    stopButton = new MyQtCustom::BgIconTextButton(this);
    openButton = new MyQtCustom::BgIconTextButton(this);
    deleteButton = new MyQtCustom::BgIconTextButton(this);
    animationHolder = new QLabel(this);
    convertingLabel = new QLabel(this);
    busyAnimation = new MyQtCustom::MyMoveWidget(animationHolder);

    progressBar->setRange(0, 10000);
    progressBar->setTextVisible(false);
    busyAnimation->imagePrefix = QStringLiteral(":/images/move2/");
    busyAnimation->firstFrame = 1;
    busyAnimation->lastFrame = 24;
    nameLabel->setTextFormat(Qt::PlainText);
    infoLabel->setTextFormat(Qt::PlainText);

    const int size = ActionButtonSize();
    for (MyQtCustom::BgIconTextButton *button : {startButton, stopButton, openButton, deleteButton}) {
        button->resize(size, size);
        const int icon = ScaledPx(26);
        button->setIconGeometry(0, (size - icon) / 2, icon, icon);
    }

    connect(startButton, qOverload<>(&MyQtCustom::BgIconTextButton::clicked), this,
            &VoiceItemWidget::startButton_slots);
    connect(stopButton, qOverload<>(&MyQtCustom::BgIconTextButton::clicked), this,
            &VoiceItemWidget::stopButton_slots);
    connect(openButton, qOverload<>(&MyQtCustom::BgIconTextButton::clicked), this,
            &VoiceItemWidget::openButton_slots);
    connect(deleteButton, qOverload<>(&MyQtCustom::BgIconTextButton::clicked), this,
            &VoiceItemWidget::deleteButton_slots);
}

VoiceData *VoiceItemWidget::job() const
{
    return static_cast<VoiceData *>(data);
}

int VoiceItemWidget::ActionButtonSize()
{
    return ScaledPx(30);
}

void VoiceItemWidget::Layout()
{
    const int w = width();
    const int h = height();
    background->setGeometry(0, 0, w, h);
    const int icon = ScaledPx(24);
    voiceIcon->setGeometry(ScaledPx(10), (h - icon) / 2, icon, icon);
    const int labelHeight = ScaledPx(32);
    nameLabel->setGeometry(ScaledPx(40), (h - labelHeight) / 2, ScaledPx(400), labelHeight);
    infoLabel->setGeometry(nameLabel->geometry().right() + 1 + ScaledPx(10), (h - labelHeight) / 2,
                           ScaledPx(340), labelHeight);
    // Tall enough for its 11-pixel text, ending where a 10-pixel line 16 above the bottom would.
    statusLabel->setGeometry(ScaledPx(40), h - ScaledPx(20), ScaledPx(200), ScaledPx(14));
    // On the status line's middle, after its text (placed by showRunProgress).
    progressBar->setGeometry(ScaledPx(40), h - ScaledPx(15), qMax(0, w - ScaledPx(10) - ScaledPx(40)),
                             ScaledPx(4));
    const int holder = ScaledPx(20);
    animationHolder->resize(holder, holder);
    busyAnimation->setGeometry(0, 0, holder, holder);
}

void VoiceItemWidget::UpdateSkin()
{
    const QPixmap voice = image("normal", QStringLiteral("voice"));
    voiceIcon->setIconPixmap(voice, voice, voice, voice);
    const struct
    {
        MyQtCustom::BgIconTextButton *button;
        const char *icon;
    } buttons[] = {
        {deleteButton, "delete"}, {startButton, "convert"}, {stopButton, "stop"}, {openButton, "open"}};
    for (const auto &entry : buttons) {
        const QString name = QLatin1String(entry.icon);
        const QPixmap normal = image("normal", name);
        entry.button->setIconPixmap(normal, image("light", name), normal, normal);
    }
    statusLabel->setStyleSheet(labelSheet(11, skinValue("main", "txtcolor2")));
    statusLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    progressBar->setStyleSheet(SkinHelper_QSetting::GetInstance()->GetQProgressBarQSS(
        QStringLiteral("right"), 2, 10, 0.0f, QStringLiteral("QProgressBar")));
}

void VoiceItemWidget::dressActionButton(MyQtCustom::BgIconTextButton *button, const QString &caption)
{
    const QString normal = labelSheet(12, skinValue("main", "txtcolor"));
    const QString light = labelSheet(12, skinValue("Button2", "txtcolor_light"));
    button->setTextStyeSheet(normal, light, normal, normal, QString());
    button->setText(caption);
    button->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    const int size = ActionButtonSize();
    const int icon = ScaledPx(26);
    const int gap = ScaledPx(2);
    const int textWidth = button->setTextadjustSize();
    button->resize(icon + gap + textWidth, size);
    button->setIconGeometry(0, (size - icon) / 2, icon, icon);
    button->setTextGeometry(icon + gap, 0, textWidth, size);
}

void VoiceItemWidget::UpdateText()
{
    const int w = width();
    const int h = height();
    nameLabel->setStyleSheet(labelSheet(12, skinValue("main", "txtcolor")));
    infoLabel->setStyleSheet(labelSheet(11, skinValue("main", "txtcolor2")));
    infoLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    convertingLabel->setStyleSheet(labelSheet(11, skinValue("main", "txtcolor2")));

    dressActionButton(deleteButton, tr("Delete"));
    dressActionButton(startButton, tr("Convert"));
    dressActionButton(stopButton, tr("Stop"));
    dressActionButton(openButton, tr("Open"));
    deleteButton->setAccessibleDescription(tr("Takes this file off the list; the file itself stays."));
    startButton->setAccessibleDescription(tr("Converts this file."));
    stopButton->setAccessibleDescription(tr("Stops converting this file."));
    openButton->setAccessibleDescription(tr("Opens the folder of the new file."));

    const int top = (h - ActionButtonSize()) / 2;
    deleteButton->move(w - ScaledPx(10) - deleteButton->width(), top);
    startButton->move(deleteButton->x() - ScaledPx(10) - startButton->width(), top);
    stopButton->move(startButton->x(), top);
    openButton->move(startButton->x(), top);

    convertingLabel->setText(tr("Converting"));
    convertingLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    convertingLabel->adjustSize();
    const int labelHeight = ScaledPx(28);
    convertingLabel->setGeometry(w - ScaledPx(10) - convertingLabel->width(), (h - labelHeight) / 2,
                                 convertingLabel->width(), labelHeight);
    animationHolder->move(convertingLabel->x() - 6 - animationHolder->width(),
                          (h - animationHolder->height()) / 2);
    fitLabels(startButton->x());
}

void VoiceItemWidget::fitLabels(int buttonsLeft)
{
    // The designed widths while they fit before the buttons; in a narrower row
    // the name keeps at least half of what there is and the facts the rest.
    const int gap = ScaledPx(10);
    const int room = qMax(0, buttonsLeft - gap - nameLabel->x());
    const int nameWidth = qMin(ScaledPx(400), qMax(room / 2, room - gap - ScaledPx(340)));
    nameLabel->resize(nameWidth, nameLabel->height());
    infoLabel->move(nameLabel->geometry().right() + 1 + gap, infoLabel->y());
    infoLabel->resize(qBound(0, room - nameWidth - gap, ScaledPx(340)), infoLabel->height());
}

QString VoiceItemWidget::ProgressText(int progress, qint64 elapsedMs)
{
    QString text = QString::number(progress / 100) + QLatin1Char('%');
    // The rate means little before a second or two and the first percent.
    if (elapsedMs >= 2000 && progress >= 100 && progress < 10000) {
        const qint64 leftSeconds = (elapsedMs * (10000 - progress) / progress + 999) / 1000;
        text += QStringLiteral(" \u00b7 ") + tr("%1 left").arg(clockText(leftSeconds));
    }
    return text;
}

void VoiceItemWidget::describe(const VoiceData &current)
{
    QString state;
    switch (current.status()) {
    case VoiceData::Waiting:
        state = tr("waiting");
        break;
    case VoiceData::Converting:
        state = tr("converting, %1 %").arg(current.progress / 100);
        break;
    case VoiceData::Succeeded:
        state = tr("converted");
        break;
    case VoiceData::Failed:
        state = tr("failed");
        break;
    case VoiceData::Stopped:
        state = tr("stopped");
        break;
    case VoiceData::Skipped:
        state = tr("skipped: %1").arg(current.errorText);
        break;
    default:
        state = tr("not converted yet");
        break;
    }
    setAccessibleName(tr("%1, %2").arg(current.fileName, state));
    setAccessibleDescription(InfoText(current));
    voiceIcon->setAccessibleName(current.fileName);
    voiceIcon->setAccessibleDescription(accessibleDescription());
}

void VoiceItemWidget::showRunProgress(const VoiceData &current)
{
    describe(current);
    statusLabel->setText(
        ProgressText(current.progress, current.runClock.isValid() ? current.runClock.elapsed() : -1));
    statusLabel->resize(statusLabel->fontMetrics().horizontalAdvance(statusLabel->text()) + ScaledPx(4),
                        statusLabel->height());
    const int barLeft = statusLabel->geometry().right() + 1 + ScaledPx(6);
    progressBar->setGeometry(barLeft, progressBar->y(), qMax(0, width() - ScaledPx(10) - barLeft),
                             progressBar->height());
    progressBar->setValue(current.progress);
}

QString VoiceItemWidget::InfoText(const VoiceData &job)
{
    QStringList parts;
    if (!job.ownSettings().isEmpty())
        parts << job.ownSettings();
    if (job.duration > 0)
        parts << QCommonUtils::TimetoString(job.duration);
    if (job.fileSize > 0)
        parts << QCommonUtils::GetFileSizeString(job.fileSize);
    if (!job.codecName.isEmpty())
        parts << job.codecName;
    if (job.channels == 1)
        parts << tr("mono");
    else if (job.channels == 2)
        parts << tr("stereo");
    else if (job.channels == 6)
        parts << QStringLiteral("5.1");
    else if (job.channels == 8)
        parts << QStringLiteral("7.1");
    else if (job.channels > 2)
        parts << tr("%n channels", nullptr, job.channels);
    if (job.sampleRate > 0)
        parts << QString::number(job.sampleRate);
    // What the output's format changed: the user sees it where the input's facts are.
    if (!job.outputNote.isEmpty())
        parts << QStringLiteral("→ ") + job.outputNote;
    return parts.join(QStringLiteral(" | "));
}

void VoiceItemWidget::ShowData()
{
    VoiceData *current = job();
    if (!current)
        return;
    nameLabel->setText(
        nameLabel->fontMetrics().elidedText(current->fileName, Qt::ElideMiddle, nameLabel->width()));
    nameLabel->setToolTip(current->filePath);

    const bool selected = current->selected;
    background->setStyleSheet(
        QStringLiteral("QWidget{border: 1px solid ") +
        skinValue("main", selected ? "linecolorselect" : "bgbordercolor") +
        QStringLiteral(";border-top:none; border-left:none; border-right:none; border-radius: 0px; "
                       "background-color:") +
        skinValue("Item", selected ? "selectbgcolor" : "bgcolor") + QStringLiteral(";}"));
    infoLabel->setText(
        infoLabel->fontMetrics().elidedText(InfoText(*current), Qt::ElideRight, infoLabel->width()));
    infoLabel->setToolTip(current->outputNote);

    animationHolder->hide();
    convertingLabel->hide();
    if (busyAnimation->timerId >= 0) {
        busyAnimation->killTimer(busyAnimation->timerId);
        busyAnimation->timerId = -1;
    }
    stopButton->hide();
    startButton->hide();
    openButton->hide();
    progressBar->hide();
    deleteButton->show();
    voiceIcon->setEnabled(true);
    // Every state its own colour, from the skin.
    statusLabel->setStyleSheet(stateSheet(current->status()));
    statusLabel->resize(ScaledPx(200), statusLabel->height());
    statusLabel->setToolTip(QString());
    statusLabel->show();

    switch (current->status()) {
    case VoiceData::Idle:
        startButton->show();
        statusLabel->hide();
        break;
    case VoiceData::Waiting:
        statusLabel->setText(tr("Waiting"));
        break;
    case VoiceData::Converting:
        showRunProgress(*current);
        progressBar->show();
        stopButton->show();
        deleteButton->hide();
        voiceIcon->setEnabled(false);
        animationHolder->show();
        convertingLabel->show();
        busyAnimation->timerId = busyAnimation->startTimer(60, Qt::CoarseTimer);
        break;
    case VoiceData::Succeeded:
        statusLabel->setText(tr("Success"));
        openButton->show();
        break;
    case VoiceData::Failed:
        startButton->show();
        statusLabel->setText(tr("Failed"));
        statusLabel->setToolTip(current->errorText);
        break;
    case VoiceData::Stopped:
        startButton->show();
        statusLabel->setText(tr("Stopped"));
        break;
    case VoiceData::Skipped:
        // The name was taken and the Output choices say skip: the reason names the file.
        startButton->show();
        statusLabel->setText(tr("Skipped"));
        statusLabel->setToolTip(current->errorText);
        break;
    default:
        break;
    }
    describe(*current);
}

void VoiceItemWidget::ShowProgress()
{
    if (VoiceData *current = job())
        showRunProgress(*current);
}

void VoiceItemWidget::contextMenuEvent(QContextMenuEvent *event)
{
    const VoiceData *current = job();
    if (!current || current->status() != VoiceData::Failed || current->errorText.isEmpty()) {
        MyTableItemWidget::contextMenuEvent(event);
        return;
    }
    // Taken now: the menu runs an event loop, and the job may be gone after it.
    const QString reason = current->errorText;
    QMenu menu(this);
    menu.setStyleSheet(SkinHelper_QSetting::GetInstance()->GetQMenuQSS(90, 30, 12, QStringLiteral("QMenu")));
    const QAction *copy = menu.addAction(tr("Copy error"));
    if (menu.exec(event->globalPos()) == copy)
        QApplication::clipboard()->setText(reason);
}

void VoiceItemWidget::mouseReleaseEvent(QMouseEvent *event)
{
    MyTableItemWidget::mouseReleaseEvent(event);
    emit clickeditem(job());
}

void VoiceItemWidget::startButton_slots()
{
    if (VoiceData *current = job())
        emit convertitem(current);
}

void VoiceItemWidget::stopButton_slots()
{
    if (VoiceData *current = job()) {
        current->stopConvert();
        ShowData();
    }
}

void VoiceItemWidget::openButton_slots()
{
    VoiceData *current = job();
    if (!current)
        return;
    qDebug("%s", qUtf8Printable(current->outputPath));
    DesktopOpener::OpenFolder(QFileInfo(current->outputPath).absolutePath());
}

void VoiceItemWidget::deleteButton_slots()
{
    if (VoiceData *current = job()) {
        hide();
        emit deleteitem(current);
    }
}
