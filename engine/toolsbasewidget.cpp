#include "engine/toolsbasewidget.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMimeData>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <QUrl>

#include "app/globals.h"
#include "app/mainwidget.h"
#include "app/toolsselectwidget.h"
#include "engine/getmediainfothread.h"
#include "engine/jobhelpers.h"
#include "engine/voicedata.h"
#include "engine/voiceitemwidget.h"
#include "platform/desktopopener.h"
#include "widgets/bgicontextbutton.h"
#include "widgets/labelbutton.h"
#include "widgets/skinhelper_qsetting.h"

namespace {
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
    listWidget = new MyTableListWidget(this);
    bottomBar = new QWidget(this);
    bottomBarBackground = new QWidget(bottomBar);
    folderCaptionLabel = new QLabel(bottomBar);
    folderPathLabel = new QLabel(bottomBar);
    changeButton = new MyQtCustom::LabelButton(bottomBar);
    openButton = new MyQtCustom::LabelButton(bottomBar);
    convertButton = new MyQtCustom::LabelButton(bottomBar);

    listWidget->rowHeight = ScaledPx(60);
    folderPathLabel->setTextFormat(Qt::PlainText);
    for (MyQtCustom::LabelButton *button : {addButton, changeButton, openButton, convertButton})
        button->setAlignment(Qt::AlignCenter);

    connect(backButton, qOverload<>(&MyQtCustom::BgIconTextButton::clicked), this,
            &ToolsBaseWidget::backupButton_slots);
    connect(addButton, qOverload<>(&MyQtCustom::LabelButton::clicked), this,
            &ToolsBaseWidget::addfileButton_slots);
    connect(changeButton, qOverload<>(&MyQtCustom::LabelButton::clicked), this,
            &ToolsBaseWidget::selectOutputButton_slots);
    connect(openButton, qOverload<>(&MyQtCustom::LabelButton::clicked), this,
            &ToolsBaseWidget::openOutputButton_slots);
    connect(convertButton, qOverload<>(&MyQtCustom::LabelButton::clicked), this,
            &ToolsBaseWidget::convertButton_slots);

    probeThread = new GetMediaInfoThread;
    connect(probeThread, &QThread::finished, this, &ToolsBaseWidget::getVideoInfoThread_Finished);
    setAcceptDrops(true);
}

ToolsBaseWidget::~ToolsBaseWidget()
{
    probeThread->wait();
    delete probeThread->result;
    delete probeThread;
    const QList<VoiceData *> all = jobs();
    listWidget->clear();
    for (VoiceData *job : all) {
        disconnect(job, nullptr, this, nullptr);
        if (job->status == VoiceData::Converting)
            job->stopConvert();
        delete job;
    }
}

QList<VoiceData *> ToolsBaseWidget::jobs() const
{
    QList<VoiceData *> result;
    const QList<void *> &data = listWidget->privateDataList();
    result.reserve(data.size());
    for (void *entry : data)
        result.append(static_cast<VoiceData *>(entry));
    return result;
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

    bottomBar->setGeometry(0, h - bottomHeight, w, bottomHeight);
    bottomBarBackground->setGeometry(0, 0, w, bottomHeight);
    convertButton->setGeometry(w - ScaledPx(14) - ScaledPx(140), (bottomHeight - buttonHeight) / 2,
                               ScaledPx(140), buttonHeight);

    listWidget->setGeometry(0, topHeight, w, h - bottomHeight - topHeight);
    listWidget->Layout();
    for (MyTableItemWidget *row : listWidget->rows()) {
        row->setGeometry(ScaledPx(10), row->y(), listWidget->width() - ScaledPx(20), ScaledPx(60));
        row->Layout();
    }
}

void ToolsBaseWidget::UpdateSkin()
{
    topBarBackground->setStyleSheet(barStyle("; border-top:none; border-left:none;border-right:none;"));
    bottomBarBackground->setStyleSheet(barStyle("; border-bottom:none; border-left:none;border-right:none;"));
    addButton->setSkinConfig(QStringLiteral("Button1"), ScaledPx(14), 0, 2, 1, true, true, true, true);
    backButton->setSkinConfig(QStringLiteral("Button2"), ScaledPx(14), 0, 2, 1, true, true, true, true);
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
    backButton->setText(tr("Backup"));
    backButton->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    const int backText = backButton->setTextadjustSize();
    const int backWidth = pad + icon + backText + 10 + ScaledPx(10);
    backButton->setGeometry(ScaledPx(10), (topHeight - buttonHeight) / 2, backWidth, buttonHeight);
    backButton->setIconGeometry(pad, (buttonHeight - icon) / 2, icon, icon);
    // Inside the border: the caption's own background would cover it.
    backButton->setTextGeometry(pad + icon + ScaledPx(6), 1, backText, buttonHeight - 2);

    addButton->setText(tr("Add Voices"));
    addButton->move(backButton->geometry().right() + 1 + ScaledPx(10), addButton->y());

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
    placeBottomBarText();
}

void ToolsBaseWidget::placeBottomBarText()
{
    const int barHeight = bottomBar->height();
    const int height = ScaledPx(30);
    const int top = (barHeight - height) / 2;
    folderCaptionLabel->setGeometry(ScaledPx(10), top, textWidth(folderCaptionLabel) + ScaledPx(20), height);
    folderPathLabel->setGeometry(folderCaptionLabel->geometry().right() + 1, top, ScaledPx(400), height);
    const QString folder = OutputFolder();
    folderPathLabel->setToolTip(folder);
    folderPathLabel->setText(folderPathLabel->fontMetrics().elidedText(
        folder, Qt::ElideMiddle, folderPathLabel->width() - ScaledPx(14)));
    changeButton->setGeometry(folderPathLabel->geometry().right() + 1, top,
                              textWidth(changeButton) + 10 + ScaledPx(10), height);
    openButton->setGeometry(changeButton->geometry().right() + 1, top,
                            textWidth(openButton) + 10 + ScaledPx(10), height);
}

void ToolsBaseWidget::placeAtTopBarRight(QWidget *control, int width, int height, int rightMargin)
{
    const QRect bar = topBar->rect();
    control->setGeometry(bar.width() - ScaledPx(width) - ScaledPx(rightMargin),
                         (bar.height() - ScaledPx(height)) / 2, ScaledPx(width), ScaledPx(height));
}

void ToolsBaseWidget::placeCaptionLeftOf(QLabel *caption, const QWidget *control, int height)
{
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

QString ToolsBaseWidget::MediaPatterns()
{
    return QStringLiteral("*.mp4 *.mpeg *.mpg *.asf *.avi *.DV *.flv *.M2TS *.M4V *.mkv *.MOD *.mov *.MTS "
                          "*.RA *.3g2 *.3gp *.rm "
                          "*.rmvb *.td *.TOD *.trp *.ts *.vob *.wmv *asf *.aac *.ac3 *.aiff *.amr *.ape "
                          "*.flac *.iff *.m4a *.mka "
                          "*.mp2 *.mp3 *.ogg *.ra *.wav *.wma *.aac *.ac3 *.amr *.webm");
}

QString ToolsBaseWidget::MediaFilter()
{
    return tr("Media") + QStringLiteral(" (") + MediaPatterns() + QLatin1Char(')');
}

bool ToolsBaseWidget::IsMediaFileName(const QString &fileName)
{
    static const QList<QRegularExpression> patterns = [] {
        QList<QRegularExpression> list;
        for (const QString &pattern : MediaPatterns().split(QLatin1Char(' '), Qt::SkipEmptyParts))
            list.append(QRegularExpression(QRegularExpression::wildcardToRegularExpression(pattern),
                                           QRegularExpression::CaseInsensitiveOption));
        return list;
    }();
    for (const QRegularExpression &pattern : patterns) {
        if (pattern.match(fileName).hasMatch())
            return true;
    }
    return false;
}

void ToolsBaseWidget::addfileButton_slots()
{
    const QString start = GetSettingFolder(QLatin1String(SettingsKey::AddVideoPath));
    const QStringList chosen = QFileDialog::getOpenFileNames(this, tr("Add Files"), start, MediaFilter());
    if (chosen.isEmpty())
        return;
    const QString first = chosen.first();
    SetSettingValue(QLatin1String(SettingsKey::AddVideoPath),
                    first.left(first.lastIndexOf(QLatin1Char('/')) + 1));
    AddFiles(chosen);
}

void ToolsBaseWidget::AddFiles(const QStringList &paths)
{
    for (const QString &path : paths) {
        const QString file = RegularInputFile(path);
        if (!file.isEmpty())
            pendingFiles.append(file);
    }
    ProbeNextFile();
}

void ToolsBaseWidget::ProbeNextFile()
{
    // The thread reads `path` while it runs: only an idle thread gets a new one.
    if (pendingFiles.isEmpty() || probeThread->isRunning())
        return;
    probeThread->path = pendingFiles.first();
    probeThread->start();
}

void ToolsBaseWidget::getVideoInfoThread_Finished()
{
    VoiceData *record = probeThread->result;
    probeThread->result = nullptr;
    const bool discard = discardRunningProbe;
    discardRunningProbe = false;
    if (record) {
        if (!discard)
            AddVoiceData(record);
        record->deleteLater();
    }
    // A discarded probe's path went with the list that was emptied.
    if (!discard && !pendingFiles.isEmpty())
        pendingFiles.removeFirst();
    ProbeNextFile();
}

void ToolsBaseWidget::AddVoiceData(VoiceData *record)
{
    Q_UNUSED(record)
    CreateItemWidgets();
}

void ToolsBaseWidget::adoptJob(VoiceData *job, const VoiceData *record)
{
    connect(job, &VoiceData::convertfinished, this, &ToolsBaseWidget::Convertitem_Finished);
    connect(job, &VoiceData::updateProgress, this, &ToolsBaseWidget::Convertitem_updateProgress);
    job->copyProbeFacts(*record);
    listWidget->addPrivateData(job);
}

namespace {
// File-manager order: digit runs compare as numbers, so track2 comes before track10.
bool naturalLess(const QString &a, const QString &b)
{
    int i = 0;
    int j = 0;
    while (i < a.size() && j < b.size()) {
        if (a.at(i).isDigit() && b.at(j).isDigit()) {
            int ei = i;
            int ej = j;
            while (ei < a.size() && a.at(ei).isDigit())
                ++ei;
            while (ej < b.size() && b.at(ej).isDigit())
                ++ej;
            const QString na = a.mid(i, ei - i);
            const QString nb = b.mid(j, ej - j);
            // Leading zeros do not count; then the longer number is the larger.
            QString ra = na;
            QString rb = nb;
            while (ra.size() > 1 && ra.startsWith(QLatin1Char('0')))
                ra.remove(0, 1);
            while (rb.size() > 1 && rb.startsWith(QLatin1Char('0')))
                rb.remove(0, 1);
            if (ra.size() != rb.size())
                return ra.size() < rb.size();
            const int order = ra.compare(rb);
            if (order != 0)
                return order < 0;
            i = ei;
            j = ej;
            continue;
        }
        const int order = QString::compare(a.at(i), b.at(j), Qt::CaseInsensitive);
        if (order != 0)
            return order < 0;
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
}
} // namespace

QStringList ToolsBaseWidget::mediaFilesOf(const QStringList &droppedPaths) const
{
    QStringList files;
    for (const QString &path : droppedPaths) {
        const QFileInfo info(path);
        if (info.isDir()) {
            QStringList inFolder;
            const QFileInfoList entries = QDir(path).entryInfoList(QDir::Files | QDir::Readable);
            for (const QFileInfo &entry : entries) {
                if (IsMediaFileName(entry.fileName()))
                    inFolder.append(entry.absoluteFilePath());
            }
            std::sort(inFolder.begin(), inFolder.end(), naturalLess);
            files.append(inFolder);
        } else if (info.isFile() && IsMediaFileName(info.fileName())) {
            files.append(info.absoluteFilePath());
        }
    }
    return files;
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
    const QStringList files = mediaFilesOf(paths);
    if (files.isEmpty())
        return;
    event->acceptProposedAction();
    AddFiles(files);
}

// ---------------------------------------------------------------- queue

void ToolsBaseWidget::convertButton_slots()
{
    // A job that is converting keeps its run: queueing it again would start it twice.
    for (VoiceData *job : jobs()) {
        if (job->status == VoiceData::Converting)
            continue;
        job->status = VoiceData::Waiting;
        UpdateItem(job);
    }
    StartWaitingItems();
}

void ToolsBaseWidget::Convertitem_slots(VoiceData *item)
{
    if (!item || item->status == VoiceData::Converting)
        return;
    item->status = VoiceData::Waiting;
    UpdateItem(item);
    StartWaitingItems();
}

void ToolsBaseWidget::StartWaitingItems()
{
    const int limit = SameMaxCount();
    const QList<void *> &data = listWidget->privateDataList();
    // Counted afresh for every start: a start that ends at once comes back
    // here through its finish and may start jobs of its own.
    for (;;) {
        int running = 0;
        VoiceData *next = nullptr;
        for (void *entry : data) {
            VoiceData *job = static_cast<VoiceData *>(entry);
            if (job->status == VoiceData::Converting && ++running >= limit)
                return;
            // A job queued again just after its stop waits for its killed
            // child's end, which comes back here.
            if (!next && job->status == VoiceData::Waiting && job->process.state() == QProcess::NotRunning)
                next = job;
        }
        if (!next)
            return;
        next->startConvert();
        UpdateItem(next);
    }
}

void ToolsBaseWidget::Convertitem_Finished(VoiceData *item)
{
    if (!item)
        return;
    UpdateItem(item);
    StartWaitingItems();
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
    if (item)
        listWidget->moveupPrivateData(item);
}

void ToolsBaseWidget::Convertitem_movedown(VoiceData *item)
{
    if (item)
        listWidget->movedownPrivateData(item);
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
}

void ToolsBaseWidget::ItemDeleted_slots(VoiceData *item)
{
    if (!item)
        return;
    if (item == selectedData)
        selectedData = nullptr;
    listWidget->deletePrivateData(item);
    disconnect(item, nullptr, this, nullptr);
    if (item->status == VoiceData::Converting)
        item->stopConvert();
    item->deleteLater();
}

void ToolsBaseWidget::RemoveAllItems()
{
    // Jobs are let go without telling the panel: a stop would otherwise start the next waiting job.
    for (VoiceData *job : jobs()) {
        disconnect(job, nullptr, this, nullptr);
        if (job->status == VoiceData::Converting)
            job->stopConvert();
        job->deleteLater();
    }
    selectedData = nullptr;
    listWidget->clear();
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
    if (g_mainWidget)
        g_mainWidget->outputFolder = folder;
    placeBottomBarText();
    return true;
}

void ToolsBaseWidget::selectOutputButton_slots()
{
    const QString chosen =
        QFileDialog::getExistingDirectory(this, tr("Save Directory"), OutputFolder(),
                                          QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks);
    if (!chosen.isEmpty())
        SetOutputFolderIfWritable(chosen);
}

void ToolsBaseWidget::openOutputButton_slots()
{
    DesktopOpener::OpenFolder(OutputFolder());
}

void ToolsBaseWidget::backupButton_slots()
{
    if (g_mainWidget && g_mainWidget->toolsSelectWidget)
        g_mainWidget->toolsSelectWidget->ShowSelector();
}
