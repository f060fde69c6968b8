// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <functional>

#include <QHash>
#include <QStringList>
#include <QWidget>

#include "engine/outputoptions.h"
#include "engine/partfile.h"
#include "widgets/mytablelistwidget.h"

class QFileDialog;
class QLabel;
class GetMediaInfoThread;
class JobQueue;
class OutputSettingsPopup;
class VoiceData;

namespace MyQtCustom {
class BgIconTextButton;
class LabelButton;
} // namespace MyQtCustom

// The body every tool panel shares: a top bar with Back and Add Voices, the
// job list, and a bottom bar with the output folder and Convert. It probes the
// added files in order, a few per run of its probe thread, and has the tool
// turn each into a job of its queue (JobQueue), which starts them within the
// limit of simultaneous conversions; the panel shows the queue.
class ToolsBaseWidget : public QWidget
{
    Q_OBJECT
public:
    explicit ToolsBaseWidget(QWidget *parent = nullptr);
    ~ToolsBaseWidget() override;

    // Rows in the pool of every panel: enough for the visible area of the
    // designed window and the margin the list keeps above it. A taller window
    // gets more.
    static constexpr int RowPoolSize = 30;

    virtual void Layout();
    virtual void UpdateSkin();
    virtual void FlushText();
    virtual void StartWaitingItems();
    virtual void RemoveAllItems();
    virtual void CreateItemWidgets();
    virtual void AddItemWidget(MyTableItemWidget *row);
    virtual void ProbeNextFile();
    virtual void UpdateItem(VoiceData *job);
    virtual void AddVoiceData(VoiceData *record);

    // Queues files for probing, in the given order: each regular file, its
    // links resolved (RegularInputFile); anything else is left out. The file
    // dialog, dropped files and tests all come through here.
    // Adds files; `subFolders` gives a file found below an added folder its
    // folder relative to that one (MediaFiles::Of), for the Output tree option.
    void AddFiles(const QStringList &paths, const QHash<QString, QString> &subFolders = {});
    // Adds dropped or chosen files and folders: a folder's media files in name
    // order, with those of its sub-folders when the Output choices keep the
    // tree. False when there are none.
    bool AddDropped(const QStringList &paths);

    // Makes `folder` the output folder, for this run and the next starts,
    // when a file can be written there.
    bool SetOutputFolderIfWritable(const QString &folder);

    // Why Convert cannot start with the tool's options as they are, or empty.
    virtual QString OptionProblem() const;
    // The Output pop-up under its button, for this tool.
    void showOutputSettings();
    // A result of "song.mp3" as the tool names it now, for the Output pop-up's example.
    virtual OutputName ExampleName() const;
    // The format families whose quality the tool's results can need.
    virtual QList<OutputFamily> OutputFamilies() const { return OutputOptions::QualityFamilies(); }

    // The line in the bottom bar that says what the last batch did, or why
    // Convert refused; it stays until the next action.
    QString notice() const;
    void showNotice(const QString &text, bool problem = false);
    void clearNotice();
    // "12 converted, 1 failed": what a batch ended with.
    static QString BatchSummary(int succeeded, int failed, int stopped, int skipped = 0);

    // How many of the panel's jobs are converting.
    virtual int convertingCount() const;
    // Stops every converting job and waits for the children to be gone, so
    // that their part files are removed before this returns. Used when the
    // panel is left, the window closed or the application told to end.
    virtual void StopAllJobs();
    // Leaving and closing go through here: when jobs of the panels are
    // converting, asks whether to stop them and, if so, stops them
    // (StopAllJobs). True when nothing converts any more.
    static bool ConfirmStopJobs(QWidget *parent, const QList<ToolsBaseWidget *> &panels);

    QList<VoiceData *> jobs() const;
    // The panel's jobs, their order and their starts; the list shows it.
    JobQueue *queue() const { return jobQueue; }
    MyTableListWidget *itemList() const { return listWidget; }
    VoiceData *selectedJob() const { return selectedData; }
    // The job the panel's waveform shows: the selected one, else the first.
    VoiceData *currentJob() const;
    bool isProbing() const { return !pendingFiles.isEmpty(); }

    // The Add dialog's filter of media file names (MediaFiles::Patterns).
    static QString MediaFilter();
    // The files an accepted Add dialog was given: every existing file named in
    // its name field, in typed order, and whatever else its view selected.
    static QStringList ChosenFiles(const QFileDialog &dialog);

signals:
    // Back, or Escape, once no job converts any more: whoever shows the panel takes it away.
    void backRequested();
    // A job was added, selected or removed.
    void jobsChanged();

public slots:
    void backupButton_slots();
    void addfileButton_slots();
    void addFolderButton_slots();
    virtual void convertButton_slots();
    void selectOutputButton_slots();
    void openOutputButton_slots();
    virtual void ItemDeleted_slots(VoiceData *item);
    void Clickeditem_slots(VoiceData *item);
    void Convertitem_slots(VoiceData *item);
    void Convertitem_Finished(VoiceData *item);
    void Convertitem_updateProgress(VoiceData *item);
    void Convertitem_moveup(VoiceData *item);
    void Convertitem_movedown(VoiceData *item);
    void ItemRemoveAllItem_slots();
    void getVideoInfoThread_Finished();

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

    // What Return does: convert, unless the tool knows better.
    virtual void returnPressed();

    // Wires a tool's new job to the panel, gives it the probe facts and lists it.
    void adoptJob(VoiceData *job, const VoiceData *record);

    // Creates the pool of rows of one row class when the list has none.
    template<class Row> void createItemWidgets()
    {
        if (!listWidget->rows().isEmpty())
            return;
        makeRow = [this] {
            return new Row(listWidget->contentWidget());
        };
        growRowPool();
    }

    // Places a tool's control at the right end of the top bar, vertically centred.
    void placeAtTopBarRight(QWidget *control, int width, int height, int rightMargin);
    // Sizes a caption to its text and puts it just left of `control`, 10 pixels
    // wider than its text, vertically centred in the top bar.
    void placeCaptionLeftOf(QLabel *caption, const QWidget *control, int height);
    // Style of the captions of the tools' controls.
    static QString CaptionStyle(const char *colorKey);

    QStringList pendingFiles;
    QHash<QString, QString> pendingSubFolders; // probed file -> its sub-folder
    GetMediaInfoThread *probeThread;
    VoiceData *selectedData = nullptr;
    QWidget *topBar;
    QWidget *topBarBackground;
    MyQtCustom::BgIconTextButton *backButton;
    MyQtCustom::LabelButton *addButton;
    MyQtCustom::LabelButton *addFolderButton;
    MyTableListWidget *listWidget;
    QWidget *bottomBar;
    QWidget *bottomBarBackground;
    QLabel *folderCaptionLabel;
    QLabel *folderPathLabel;
    MyQtCustom::LabelButton *changeButton;
    MyQtCustom::LabelButton *openButton;
    MyQtCustom::LabelButton *convertButton;
    QLabel *noticeLabel;
    // A tool's strip between the top bar and the list (the waveform), if any.
    QWidget *toolStrip = nullptr;
    int toolStripHeight = 0;
    bool noticeIsProblem = false; // the notice says why Convert refused
    // "Output": the settings of the results' encoding, at the right end of the
    // top bar; hidden by the tools that copy streams.
    MyQtCustom::LabelButton *outputButton;
    OutputSettingsPopup *outputPopup;

private:
    void placeBottomBarText();
    // Adds rows until the pool covers the list's view and its margin.
    void growRowPool();
    // Tab goes through the top bar, the tool's own controls, the rows and the bottom bar.
    void orderTabs();

    std::function<MyTableItemWidget *()> makeRow;
    JobQueue *jobQueue;

    // A probe that was under way when the list was emptied: its record is dropped.
    bool discardRunningProbe = false;
};
