// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "app/toolsbasewidget.h"

#include <algorithm>

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QTemporaryFile>
#include <QUrl>

#include "app/outputsettingspopup.h"
#include "app/voiceitemwidget.h"
#include "common/globals.h"
#include "engine/getmediainfothread.h"
#include "engine/jobhelpers.h"
#include "engine/jobqueue.h"
#include "engine/mediafiles.h"
#include "engine/partfile.h"
#include "engine/voicedata.h"
#include "platform/desktopopener.h"
#include "widgets/bgicontextbutton.h"
#include "widgets/displayscale.h"
#include "widgets/labelbutton.h"
#include "widgets/skinhelper_qsetting.h"

namespace {
// Files handed to the probe thread at once.
constexpr int ProbeBatch = 16;
constexpr int OutputButtonWidth = 80;
// How long a stop of the whole panel waits for each child.
constexpr int StopWaitMs = 5000;

QString skinValue(const char *group, const char *key)
{
    return SkinHelper_QSetting::GetInstance()->GetValue(QLatin1String(group), QLatin1String(key));
}

int textWidth(QLabel *label)
{
    label->ensurePolished();
    return label->fontMetrics().horizontalAdvance(label->text());
}

QString barStyle(const char *hiddenEdges)
{
    return QStringLiteral("QWidget{border: 1px solid ") + skinValue("main", "linecolor") +
           QLatin1String(hiddenEdges) + QStringLiteral(" border-radius: 0px; background-color:") +
           skinValue("main", "bgcolor") + QStringLiteral(";}");
}

VoiceItemWidget *jobRow(MyTableItemWidget *row)
{
    return qobject_cast<VoiceItemWidget *>(row);
}
} // namespace

ToolsBaseWidget::ToolsBaseWidget(QWidget *parent) : QWidget(parent)
{
    topBar = new QWidget(this);
    topBarBackground = new QWidget(topBar);
    backButton = new MyQtCustom::BgIconTextButton(topBar);
    addButton = new MyQtCustom::LabelButton(topBar);
    addFolderButton = new MyQtCustom::LabelButton(topBar);
    outputButton = new MyQtCustom::LabelButton(topBar);
    outputButton->setObjectName(QStringLiteral("outputButton"));
    outputPopup = new OutputSettingsPopup(this);
    listWidget = new MyTableListWidget(this);
    bottomBar = new QWidget(this);
    bottomBarBackground = new QWidget(bottomBar);
    folderCaptionLabel = new QLabel(bottomBar);
    folderPathLabel = new QLabel(bottomBar);
    changeButton = new MyQtCustom::LabelButton(bottomBar);
    openButton = new MyQtCustom::LabelButton(bottomBar);
    convertButton = new MyQtCustom::LabelButton(bottomBar);
    noticeLabel = new QLabel(bottomBar);

    listWidget->rowHeight = ScaledPx(60);
    folderPathLabel->setTextFormat(Qt::PlainText);
    noticeLabel->setTextFormat(Qt::PlainText);
    for (MyQtCustom::LabelButton *button :
         {addButton, addFolderButton, outputButton, changeButton, openButton, convertButton})
        button->setAlignment(Qt::AlignCenter);
    // A click anywhere in the panel brings the keyboard here, for its keys.
    setFocusPolicy(Qt::ClickFocus);

    connect(backButton, qOverload<>(&MyQtCustom::BgIconTextButton::clicked), this,
            &ToolsBaseWidget::backupButton_slots);
    connect(addButton, qOverload<>(&MyQtCustom::LabelButton::clicked), this,
            &ToolsBaseWidget::addfileButton_slots);
    connect(addFolderButton, qOverload<>(&MyQtCustom::LabelButton::clicked), this,
            &ToolsBaseWidget::addFolderButton_slots);
    connect(outputButton, qOverload<>(&MyQtCustom::LabelButton::clicked), this,
            &ToolsBaseWidget::showOutputSettings);
    connect(changeButton, qOverload<>(&MyQtCustom::LabelButton::clicked), this,
            &ToolsBaseWidget::selectOutputButton_slots);
    connect(openButton, qOverload<>(&MyQtCustom::LabelButton::clicked), this,
            &ToolsBaseWidget::openOutputButton_slots);
    connect(convertButton, qOverload<>(&MyQtCustom::LabelButton::clicked), this,
            &ToolsBaseWidget::convertButton_slots);

    // The list shows the queue: it follows every change the queue reports.
    jobQueue = new JobQueue(this);
    connect(jobQueue, &JobQueue::jobAdded, this, [this](VoiceData *job) {
        listWidget->addPrivateData(job);
        emit jobsChanged();
    });
    connect(jobQueue, &JobQueue::jobRemoved, this, [this](VoiceData *job) {
        if (job == selectedData)
            selectedData = nullptr;
        listWidget->deletePrivateData(job);
        emit jobsChanged();
    });
    connect(jobQueue, &JobQueue::jobMoved, this, [this](VoiceData *job, int from, int to) {
        if (to < from)
            listWidget->moveupPrivateData(job);
        else
            listWidget->movedownPrivateData(job);
    });
    connect(jobQueue, &JobQueue::cleared, this, [this] {
        selectedData = nullptr;
        listWidget->clear();
        emit jobsChanged();
    });
    connect(jobQueue, &JobQueue::stateChanged, this, &ToolsBaseWidget::UpdateItem);
    connect(jobQueue, &JobQueue::progressChanged, this, &ToolsBaseWidget::Convertitem_updateProgress);
    connect(jobQueue, &JobQueue::jobFinished, this, &ToolsBaseWidget::Convertitem_Finished);
    connect(jobQueue, &JobQueue::batchFinished, this,
            [this](int succeeded, int failed, int stopped, int skipped) {
                showNotice(BatchSummary(succeeded, failed, stopped, skipped));
            });

    probeThread = new GetMediaInfoThread;
    connect(probeThread, &QThread::finished, this, &ToolsBaseWidget::getVideoInfoThread_Finished);
    setAcceptDrops(true);
}

ToolsBaseWidget::~ToolsBaseWidget()
{
    probeThread->wait();
    qDeleteAll(probeThread->results);
    delete probeThread;
    // The queue stops and deletes the jobs; nothing of that reaches the list.
    listWidget->clear();
    disconnect(jobQueue, nullptr, this, nullptr);
    delete jobQueue;
}

QList<VoiceData *> ToolsBaseWidget::jobs() const
{
    return jobQueue->jobs();
}

// ---------------------------------------------------------------- look

void ToolsBaseWidget::Layout()
{
    const int w = width();
    const int h = height();
    const int topHeight = ScaledPx(48);
    const int bottomHeight = ScaledPx(60);
    topBar->setGeometry(0, 0, w, topHeight);
    topBarBackground->setGeometry(0, 0, w, topHeight);
    const int buttonHeight = ScaledPx(32);
    backButton->setGeometry(ScaledPx(10), (topHeight - buttonHeight) / 2, ScaledPx(100), buttonHeight);
    addButton->setGeometry(ScaledPx(10), (topHeight - buttonHeight) / 2, ScaledPx(140), buttonHeight);
    placeAtTopBarRight(outputButton, OutputButtonWidth, 30, 14);

    bottomBar->setGeometry(0, h - bottomHeight, w, bottomHeight);
    bottomBarBackground->setGeometry(0, 0, w, bottomHeight);
    convertButton->setGeometry(w - ScaledPx(14) - ScaledPx(140), (bottomHeight - buttonHeight) / 2,
                               ScaledPx(140), buttonHeight);

    const int strip = toolStrip ? ScaledPx(toolStripHeight) : 0;
    if (toolStrip)
        toolStrip->setGeometry(0, topHeight, w, strip);
    listWidget->setGeometry(0, topHeight + strip, w, h - bottomHeight - topHeight - strip);
    listWidget->Layout();
    for (MyTableItemWidget *row : listWidget->rows()) {
        row->setGeometry(ScaledPx(10), row->y(), listWidget->width() - ScaledPx(20), ScaledPx(60));
        row->Layout();
    }
    growRowPool();
}

void ToolsBaseWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // A hidden panel is laid out when it is shown.
    if (isVisible()) {
        Layout();
        FlushText();
    }
}

void ToolsBaseWidget::growRowPool()
{
    if (!makeRow)
        return;
    const int wanted = qMax(int(RowPoolSize), listWidget->rowsToCover());
    if (listWidget->rows().size() >= wanted)
        return;
    while (listWidget->rows().size() < wanted)
        AddItemWidget(makeRow());
    listWidget->updateLayout(0);
    orderTabs();
}

void ToolsBaseWidget::orderTabs()
{
    // Controls made later (the tool's, the rows) would come after the bottom bar.
    QList<QWidget *> chain{backButton, addButton, addFolderButton};
    for (QWidget *control : topBar->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
        if ((control->focusPolicy() & Qt::TabFocus) && !chain.contains(control))
            chain.append(control);
    }
    if (toolStrip) {
        for (QWidget *control : toolStrip->findChildren<QWidget *>()) {
            if (control->focusPolicy() & Qt::TabFocus)
                chain.append(control);
        }
    }
    for (MyTableItemWidget *row : listWidget->rows())
        chain.append(row);
    chain << changeButton << openButton << convertButton;
    for (int i = 1; i < chain.size(); ++i)
        setTabOrder(chain.at(i - 1), chain.at(i));
}

void ToolsBaseWidget::UpdateSkin()
{
    topBarBackground->setStyleSheet(barStyle("; border-top:none; border-left:none;border-right:none;"));
    bottomBarBackground->setStyleSheet(barStyle("; border-bottom:none; border-left:none;border-right:none;"));
    addButton->setSkinConfig(QStringLiteral("Button1"), ScaledPx(14), 0, 2, 1, true, true, true, true);
    addFolderButton->setSkinConfig(QStringLiteral("Button2"), ScaledPx(14), 0, 2, 1, true, true, true, true);
    backButton->setSkinConfig(QStringLiteral("Button2"), ScaledPx(14), 0, 2, 1, true, true, true, true);
    outputButton->setSkinConfig(QStringLiteral("Button2"), ScaledPx(12), 0, 2, 1, true, true, true, true);
    outputPopup->UpdateSkin();
    convertButton->setSkinConfig(QStringLiteral("Button2"), ScaledPx(14), 0, 2, 1, true, true, true, true);
    // The folder row reads as one box: caption | path | Change | Open.
    changeButton->setSkinConfig(QStringLiteral("Button2"), ScaledPx(12), 0, 0, 1, false, true, true, true);
    openButton->setSkinConfig(QStringLiteral("Button2"), ScaledPx(12), 0, 0, 1, false, true, true, true);
    const QPixmap back(QStringLiteral(":/images/normal/back.png"));
    backButton->setIconPixmap(back, QPixmap(QStringLiteral(":/images/light/back.png")), back, back);
    listWidget->setBackgroundColor(QColor(skinValue("main", "bgcolor")));
}

void ToolsBaseWidget::FlushText()
{
    for (MyTableItemWidget *row : listWidget->rows()) {
        row->setGeometry(ScaledPx(10), row->y(), listWidget->width() - ScaledPx(20), ScaledPx(60));
        row->UpdateText();
    }

    const int topHeight = topBar->height();
    const int buttonHeight = ScaledPx(32);
    const int icon = ScaledPx(20);
    const int pad = ScaledPx(8);
    backButton->setText(tr("Back"));
    backButton->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    const int backText = backButton->setTextadjustSize();
    const int backWidth = pad + icon + backText + 10 + ScaledPx(10);
    backButton->setGeometry(ScaledPx(10), (topHeight - buttonHeight) / 2, backWidth, buttonHeight);
    backButton->setIconGeometry(pad, (buttonHeight - icon) / 2, icon, icon);
    // Inside the border: the caption's own background would cover it.
    backButton->setTextGeometry(pad + icon + ScaledPx(6), 1, backText, buttonHeight - 2);

    addButton->setText(tr("Add Voices"));
    addButton->move(backButton->geometry().right() + 1 + ScaledPx(10), addButton->y());
    addFolderButton->setText(tr("Add Folder"));
    addFolderButton->setGeometry(addButton->geometry().right() + 1 + ScaledPx(10), addButton->y(),
                                 qMax(ScaledPx(100), textWidth(addFolderButton) + ScaledPx(30)),
                                 buttonHeight);

    outputButton->setText(tr("Output…"));
    outputPopup->FlushText();
    listWidget->FlushText();
    convertButton->setText(tr("Convert"));

    folderCaptionLabel->setText(tr("Output Folder:"));
    folderCaptionLabel->setStyleSheet(
        QStringLiteral("QLabel{font-size:") + QString::number(ScaledPx(12)) +
        QStringLiteral("px;border: 1px solid ") + skinValue("main", "linecolor") +
        QStringLiteral(";border-right:none; color:") + skinValue("main", "txtcolor") + QStringLiteral(";}"));
    folderCaptionLabel->setAlignment(Qt::AlignCenter);
    folderPathLabel->setStyleSheet(QStringLiteral("QLabel{font-size:") + QString::number(ScaledPx(12)) +
                                   QStringLiteral("px;border: 1px solid ") + skinValue("main", "linecolor") +
                                   QStringLiteral("; color:") + skinValue("main", "txtcolor1") +
                                   QStringLiteral(";padding-left:6px;padding-right:6px;}"));
    folderPathLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    changeButton->setText(tr("Change"));
    openButton->setText(tr("Open"));
    const QList<QPair<QWidget *, QString>> descriptions{
        {backButton, tr("Returns to the list of tools.")},
        {addButton, tr("Chooses audio or video files to add to the list.")},
        {addFolderButton, tr("Adds every audio and video file of a folder to the list.")},
        {outputButton, tr("Sets the quality and the format settings of the files this tool writes.")},
        {convertButton, tr("Converts the files of the list that wait.")},
        {changeButton, tr("Chooses the folder the new files are written to.")},
        {openButton, tr("Opens the output folder.")}};
    for (const auto &described : descriptions)
        described.first->setAccessibleDescription(described.second);
    placeBottomBarText();
    orderTabs();
}

void ToolsBaseWidget::placeBottomBarText()
{
    const int barHeight = bottomBar->height();
    const int height = ScaledPx(30);
    const int top = (barHeight - height) / 2;
    const int gap = ScaledPx(14);
    folderCaptionLabel->setGeometry(ScaledPx(10), top, textWidth(folderCaptionLabel) + ScaledPx(20), height);
    const int changeWidth = textWidth(changeButton) + 10 + ScaledPx(10);
    const int openWidth = textWidth(openButton) + 10 + ScaledPx(10);
    noticeLabel->setStyleSheet(
        QStringLiteral("QLabel{font-size:") + QString::number(ScaledPx(12)) + QStringLiteral("px;color:") +
        (noticeIsProblem ? skinValue("State", "failed") : skinValue("main", "txtcolor1")) +
        QStringLiteral(";}"));
    noticeLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    noticeLabel->setText(noticeLabel->toolTip());
    // In a narrow window the path gives way to the notice, down to a third of its width.
    const int pathLeft = folderCaptionLabel->geometry().right() + 1;
    const int room = convertButton->x() - gap - pathLeft - changeWidth - openWidth;
    const int noticeWidth = noticeLabel->text().isEmpty() ? 0 : textWidth(noticeLabel) + gap;
    const int pathWidth = qBound(ScaledPx(130), room - noticeWidth, ScaledPx(400));
    folderPathLabel->setGeometry(pathLeft, top, pathWidth, height);
    const QString folder = OutputFolder();
    folderPathLabel->setToolTip(folder);
    folderPathLabel->setText(folderPathLabel->fontMetrics().elidedText(
        folder, Qt::ElideMiddle, folderPathLabel->width() - ScaledPx(14)));
    changeButton->setGeometry(folderPathLabel->geometry().right() + 1, top, changeWidth, height);
    openButton->setGeometry(changeButton->geometry().right() + 1, top, openWidth, height);

    const int noticeLeft = openButton->geometry().right() + 1 + gap;
    noticeLabel->setGeometry(noticeLeft, top, qMax(0, convertButton->x() - gap - noticeLeft), height);
    // The whole text stays in the tooltip when the label has to shorten it.
    noticeLabel->setText(
        noticeLabel->fontMetrics().elidedText(noticeLabel->toolTip(), Qt::ElideRight, noticeLabel->width()));
}

QString ToolsBaseWidget::notice() const
{
    return noticeLabel->toolTip();
}

void ToolsBaseWidget::showNotice(const QString &text, bool problem)
{
    noticeLabel->setToolTip(text);
    noticeIsProblem = problem;
    placeBottomBarText();
}

void ToolsBaseWidget::clearNotice()
{
    showNotice(QString());
}

QString ToolsBaseWidget::BatchSummary(int succeeded, int failed, int stopped, int skipped)
{
    QStringList parts;
    if (succeeded > 0 || (failed == 0 && stopped == 0 && skipped == 0))
        parts << tr("%n converted", nullptr, succeeded);
    if (failed > 0)
        parts << tr("%n failed", nullptr, failed);
    if (stopped > 0)
        parts << tr("%n stopped", nullptr, stopped);
    if (skipped > 0)
        parts << tr("%n skipped (name taken)", nullptr, skipped);
    return parts.join(tr(", "));
}

QString ToolsBaseWidget::OptionProblem() const
{
    return QString();
}

void ToolsBaseWidget::showOutputSettings()
{
    outputPopup->showBelow(outputButton, ExampleName(), OutputFamilies());
}

OutputName ToolsBaseWidget::ExampleName() const
{
    OutputName name;
    name.base = QStringLiteral("song");
    name.extension = QStringLiteral("mp3");
    return name;
}

void ToolsBaseWidget::placeAtTopBarRight(QWidget *control, int width, int height, int rightMargin)
{
    const QRect bar = topBar->rect();
    // The tool's own controls stand left of the Output button.
    if (control != outputButton && !outputButton->isHidden())
        rightMargin += OutputButtonWidth + 10;
    control->setGeometry(bar.width() - ScaledPx(width) - ScaledPx(rightMargin),
                         (bar.height() - ScaledPx(height)) / 2, ScaledPx(width), ScaledPx(height));
}

void ToolsBaseWidget::placeCaptionLeftOf(QLabel *caption, const QWidget *control, int height)
{
    // The caption names its control for a screen reader too.
    caption->setBuddy(const_cast<QWidget *>(control));
    const int width = textWidth(caption) + 10;
    const int h = ScaledPx(height);
    caption->setGeometry(control->x() - 1 - width, (topBar->height() - h) / 2, width, h);
}

QString ToolsBaseWidget::CaptionStyle(const char *colorKey)
{
    return QStringLiteral("QLabel{font-size:") + QString::number(ScaledPx(12)) + QStringLiteral("px;color:") +
           skinValue("main", colorKey) + QStringLiteral(";}");
}

// ---------------------------------------------------------------- rows

void ToolsBaseWidget::CreateItemWidgets()
{
    createItemWidgets<VoiceItemWidget>();
}

void ToolsBaseWidget::AddItemWidget(MyTableItemWidget *row)
{
    row->setGeometry(ScaledPx(10), -ScaledPx(120), listWidget->width() - ScaledPx(20), ScaledPx(60));
    row->Layout();
    row->UpdateSkin();
    row->UpdateText();
    if (VoiceItemWidget *voiceRow = jobRow(row)) {
        connect(voiceRow, &VoiceItemWidget::deleteitem, this, &ToolsBaseWidget::ItemDeleted_slots);
        connect(voiceRow, &VoiceItemWidget::clickeditem, this, &ToolsBaseWidget::Clickeditem_slots);
        connect(voiceRow, &VoiceItemWidget::convertitem, this, &ToolsBaseWidget::Convertitem_slots);
        connect(voiceRow, &VoiceItemWidget::moveup, this, &ToolsBaseWidget::Convertitem_moveup);
        connect(voiceRow, &VoiceItemWidget::movedown, this, &ToolsBaseWidget::Convertitem_movedown);
        connect(voiceRow, &VoiceItemWidget::signal_removeAllAction, this,
                &ToolsBaseWidget::ItemRemoveAllItem_slots);
    }
    listWidget->addMyTableItemWidget(row);
}

void ToolsBaseWidget::UpdateItem(VoiceData *job)
{
    if (!job)
        return;
    if (MyTableItemWidget *row = listWidget->searchMyTableItemWidget(job))
        row->ShowData();
}

// ---------------------------------------------------------------- adding

QString ToolsBaseWidget::MediaFilter()
{
    return tr("Media") + QStringLiteral(" (") + MediaFiles::Patterns() + QLatin1Char(')');
}

QStringList ToolsBaseWidget::ChosenFiles(const QFileDialog &dialog)
{
    // The dialog reports the files selected in its view, and a typed name only
    // when none is: a typed name that its filter hides would go unnoticed.
    QStringList files;
    if (const auto *edit = dialog.findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))) {
        const QString text = edit->text();
        const QStringList names =
            text.contains(QLatin1Char('"')) ? text.split(QLatin1Char('"')) : QStringList{QString(), text};
        const QDir folder = dialog.directory();
        // Quoted names stand at the odd places: "a.wav" "b.ogg" splits into '', a.wav, ' ', b.ogg, ''.
        for (int i = 1; i < names.size(); i += 2) {
            const QFileInfo typed(folder, names.at(i));
            if (!names.at(i).isEmpty() && typed.isFile() && !files.contains(typed.absoluteFilePath()))
                files.append(typed.absoluteFilePath());
        }
    }
    for (const QString &selected : dialog.selectedFiles()) {
        if (!files.contains(selected))
            files.append(selected);
    }
    return files;
}

void ToolsBaseWidget::addfileButton_slots()
{
    QFileDialog dialog(this, tr("Add Files"), GetSettingFolder(QLatin1String(SettingsKey::AddVideoPath)));
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setNameFilters({MediaFilter(), tr("All files") + QStringLiteral(" (*)")});
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QStringList chosen = ChosenFiles(dialog);
    if (chosen.isEmpty())
        return;
    const QString first = chosen.first();
    SetSettingValue(QLatin1String(SettingsKey::AddVideoPath),
                    first.left(first.lastIndexOf(QLatin1Char('/')) + 1));
    AddFiles(chosen);
}

void ToolsBaseWidget::addFolderButton_slots()
{
    const QString folder = QFileDialog::getExistingDirectory(
        this, tr("Add Folder"), GetSettingFolder(QLatin1String(SettingsKey::AddVideoPath)),
        QFileDialog::ShowDirsOnly);
    if (folder.isEmpty())
        return;
    SetSettingValue(QLatin1String(SettingsKey::AddVideoPath), folder);
    AddDropped({folder});
}

bool ToolsBaseWidget::AddDropped(const QStringList &paths)
{
    QHash<QString, QString> subFolders;
    const QStringList files = MediaFiles::Of(paths, OutputOptions::Load().keepTree, &subFolders);
    AddFiles(files, subFolders);
    return !files.isEmpty();
}

void ToolsBaseWidget::AddFiles(const QStringList &paths, const QHash<QString, QString> &subFolders)
{
    if (!paths.isEmpty())
        clearNotice();
    for (const QString &path : paths) {
        const QString file = RegularInputFile(path);
        if (file.isEmpty())
            continue;
        pendingFiles.append(file);
        if (subFolders.contains(path))
            pendingSubFolders.insert(file, subFolders.value(path));
    }
    ProbeNextFile();
}

void ToolsBaseWidget::ProbeNextFile()
{
    // The thread reads `paths` while it runs: only an idle thread gets new ones.
    if (pendingFiles.isEmpty() || probeThread->isRunning())
        return;
    probeThread->paths = pendingFiles.mid(0, ProbeBatch);
    probeThread->start();
}

void ToolsBaseWidget::getVideoInfoThread_Finished()
{
    const QList<VoiceData *> records = probeThread->results;
    const int probed = probeThread->paths.size();
    probeThread->results.clear();
    const bool discard = discardRunningProbe;
    discardRunningProbe = false;
    // A discarded probe's paths went with the list that was emptied.
    if (!discard)
        pendingFiles = pendingFiles.mid(probed);
    // The next files are probed while these become jobs.
    ProbeNextFile();
    for (VoiceData *record : records) {
        if (!record)
            continue;
        if (!discard)
            AddVoiceData(record);
        record->deleteLater();
    }
}

void ToolsBaseWidget::AddVoiceData(VoiceData *record)
{
    Q_UNUSED(record)
    CreateItemWidgets();
}

void ToolsBaseWidget::adoptJob(VoiceData *job, const VoiceData *record)
{
    job->copyProbeFacts(*record);
    job->subFolder = pendingSubFolders.take(record->filePath);
    jobQueue->append(job);
}

void ToolsBaseWidget::dragEnterEvent(QDragEnterEvent *event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    for (const QUrl &url : urls) {
        if (url.isLocalFile()) {
            event->acceptProposedAction();
            return;
        }
    }
}

void ToolsBaseWidget::dropEvent(QDropEvent *event)
{
    QStringList paths;
    const QList<QUrl> urls = event->mimeData()->urls();
    for (const QUrl &url : urls) {
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    }
    if (AddDropped(paths))
        event->acceptProposedAction();
}

// ---------------------------------------------------------------- queue

void ToolsBaseWidget::convertButton_slots()
{
    const QString problem = OptionProblem();
    showNotice(problem, true);
    if (!problem.isEmpty())
        return;
    jobQueue->enqueueAll();
    StartWaitingItems();
}

void ToolsBaseWidget::Convertitem_slots(VoiceData *item)
{
    if (!item || item->status() == VoiceData::Converting)
        return;
    const QString problem = OptionProblem();
    showNotice(problem, true);
    if (!problem.isEmpty())
        return;
    jobQueue->enqueue(item);
    StartWaitingItems();
}

void ToolsBaseWidget::StartWaitingItems()
{
    jobQueue->startWaiting();
}

void ToolsBaseWidget::Convertitem_Finished(VoiceData *item)
{
    // The queue has started what waits and will tell when the batch is done.
    UpdateItem(item);
}

void ToolsBaseWidget::Convertitem_updateProgress(VoiceData *item)
{
    if (!item)
        return;
    if (VoiceItemWidget *row = jobRow(listWidget->searchMyTableItemWidget(item)))
        row->ShowProgress();
}

void ToolsBaseWidget::Convertitem_moveup(VoiceData *item)
{
    jobQueue->moveUp(item);
}

void ToolsBaseWidget::Convertitem_movedown(VoiceData *item)
{
    jobQueue->moveDown(item);
}

void ToolsBaseWidget::ItemRemoveAllItem_slots() {}

// ---------------------------------------------------------------- selection, deletion

void ToolsBaseWidget::Clickeditem_slots(VoiceData *item)
{
    if (!item || item == selectedData || listWidget->count() < 2)
        return;
    item->selected = true;
    UpdateItem(item);
    if (selectedData) {
        selectedData->selected = false;
        UpdateItem(selectedData);
    }
    selectedData = item;
    emit jobsChanged();
}

VoiceData *ToolsBaseWidget::currentJob() const
{
    if (selectedData)
        return selectedData;
    return jobQueue->jobs().value(0);
}

void ToolsBaseWidget::ItemDeleted_slots(VoiceData *item)
{
    if (!item)
        return;
    clearNotice();
    jobQueue->remove(item);
}

int ToolsBaseWidget::convertingCount() const
{
    return jobQueue->convertingCount();
}

void ToolsBaseWidget::StopAllJobs()
{
    jobQueue->stopAll(StopWaitMs);
}

bool ToolsBaseWidget::ConfirmStopJobs(QWidget *parent, const QList<ToolsBaseWidget *> &panels)
{
    int count = 0;
    for (const ToolsBaseWidget *panel : panels)
        count += panel->convertingCount();
    if (count == 0)
        return true;
    const QString question = count == 1 ? tr("1 job is still converting. Stop it?")
                                        : tr("%1 jobs are still converting. Stop them?").arg(count);
    if (QMessageBox::question(parent, tr("Stop converting"), question, QMessageBox::Yes | QMessageBox::No,
                              QMessageBox::No) != QMessageBox::Yes)
        return false;
    for (ToolsBaseWidget *panel : panels)
        panel->StopAllJobs();
    return true;
}

void ToolsBaseWidget::RemoveAllItems()
{
    // Stopped and let go unreported: no stop starts the next waiting job.
    jobQueue->clear();
    clearNotice();
    // A pending first file is being probed, or its probe has ended and the
    // notice is still on its way: either way its record must not come back.
    discardRunningProbe = !pendingFiles.isEmpty();
    pendingFiles.clear();
}

// ---------------------------------------------------------------- output folder, navigation

bool ToolsBaseWidget::SetOutputFolderIfWritable(const QString &folder)
{
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return false;
    // A uniquely named file: the test never meets, or removes, a file of the user's.
    QTemporaryFile probe(folder + QStringLiteral("/.quillvane-write-test-XXXXXX"));
    if (!probe.open())
        return false;
    probe.close();
    PartFile::RemoveStale(folder);
    SetOutputFolder(folder);
    SetSettingValue(QLatin1String(SettingsKey::OutFolder), folder);
    placeBottomBarText();
    return true;
}

void ToolsBaseWidget::selectOutputButton_slots()
{
    const QString chosen =
        QFileDialog::getExistingDirectory(this, tr("Save Directory"), OutputFolder(),
                                          QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks);
    if (chosen.isEmpty() || SetOutputFolderIfWritable(chosen))
        return;
    QMessageBox::warning(this, tr("Save Directory"),
                         tr("Quillvane cannot write to this folder.") + QStringLiteral("\n\n") + chosen);
}

void ToolsBaseWidget::openOutputButton_slots()
{
    DesktopOpener::OpenFolder(OutputFolder());
}

void ToolsBaseWidget::returnPressed()
{
    convertButton_slots();
}

void ToolsBaseWidget::keyPressEvent(QKeyEvent *event)
{
    // Keys the panel's own controls leave alone end up here.
    if (event->matches(QKeySequence::Open)) {
        addfileButton_slots();
    } else if (event->key() == Qt::Key_Escape) {
        backupButton_slots();
    } else if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        returnPressed();
    } else if (event->key() == Qt::Key_Delete) {
        // As the row's Delete: never a job that converts.
        if (selectedData && selectedData->status() != VoiceData::Converting)
            ItemDeleted_slots(selectedData);
    } else {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void ToolsBaseWidget::backupButton_slots()
{
    if (ConfirmStopJobs(this, {this}))
        emit backRequested();
}
