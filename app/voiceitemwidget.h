// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include "widgets/mytableitemwidget.h"

class QLabel;
class QProgressBar;
class VoiceData;

namespace MyQtCustom {
class BgIconButton;
class BgIconTextButton;
class MyMoveWidget;
} // namespace MyQtCustom

// The row that shows one job: name, media facts, state, progress while it
// converts, and the buttons Convert, Stop, Open and Delete. The whole look is
// derived from the bound job on every refresh; the row keeps no state of its own.
class VoiceItemWidget : public MyTableItemWidget
{
    Q_OBJECT
public:
    explicit VoiceItemWidget(QWidget *parent = nullptr);

    void Layout() override;
    void UpdateSkin() override;
    void UpdateText() override;
    void ShowData() override;
    virtual void ShowProgress();

    VoiceData *job() const;

    // The media facts line of a job: duration | size | codec | channels | rate.
    static QString InfoText(const VoiceData &job);
    // "45%", and once the rate tells, "45% · 0:12 left".
    static QString ProgressText(int progress, qint64 elapsedMs);

signals:
    void clickeditem(VoiceData *data);
    void deleteitem(VoiceData *data);
    void convertitem(VoiceData *data);
    void moveup(VoiceData *data);
    void movedown(VoiceData *data);
    void signal_removeAllAction();

public slots:
    void startButton_slots();
    void stopButton_slots();
    void openButton_slots();
    void deleteButton_slots();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

    // Gives the name and the facts what is left of the row before `buttonsLeft`.
    void fitLabels(int buttonsLeft);

    // Gives an action button its icon pair and caption and sizes it to both;
    // derived rows with their own buttons use it too.
    static void dressActionButton(MyQtCustom::BgIconTextButton *button, const QString &caption);
    static int ActionButtonSize();

    QWidget *background;
    MyQtCustom::BgIconButton *voiceIcon;
    QLabel *nameLabel;
    QLabel *infoLabel;
    QLabel *statusLabel;
    QProgressBar *progressBar;
    MyQtCustom::BgIconTextButton *startButton;
    MyQtCustom::BgIconTextButton *stopButton;
    MyQtCustom::BgIconTextButton *openButton;
    MyQtCustom::BgIconTextButton *deleteButton;
    QLabel *animationHolder;
    QLabel *convertingLabel;
    MyQtCustom::MyMoveWidget *busyAnimation;

private:
    // The status line of a run: its progress in words and the bar after them.
    void showRunProgress(const VoiceData &current);
    // What a screen reader says of the row: "song.mp3, converting, 42 %".
    void describe(const VoiceData &current);
};
