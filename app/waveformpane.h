// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <functional>

#include <QPair>
#include <QPointer>
#include <QSet>
#include <QSharedPointer>
#include <QWidget>

class AudioEnvelope;
class AudioPreview;
class QHBoxLayout;
class QLabel;
class ToolsBaseWidget;
class VoiceData;
class WaveformStrip;

namespace MyQtCustom {
class LabelButton;
} // namespace MyQtCustom

// The strip under a cutting tool's top bar: the waveform of the panel's
// current job (read on a worker thread, EnvelopeCache), a play/stop control
// with its moving position line, and a line for the tool's own controls.
class WaveformPane : public QWidget
{
    Q_OBJECT
public:
    static constexpr int DesignHeight = 112;

    explicit WaveformPane(ToolsBaseWidget *panel);

    WaveformStrip *strip() const { return waveform; }
    // The tool's own controls, right of the play control.
    QHBoxLayout *toolControls() const { return controls; }
    QPointer<VoiceData> job() const { return shown; }
    // The shown job's envelope; null while it is read.
    QSharedPointer<const AudioEnvelope> envelope() const { return outline; }
    AudioPreview *preview() const { return player; }
    MyQtCustom::LabelButton *playControl() const { return playButton; }
    // "Use the panel's ...": forgets the shown job's own settings. Hidden
    // until the tool names it.
    MyQtCustom::LabelButton *resetButton() const { return reset; }
    void setResetTexts(const QString &text, const QString &description);
    // What Play plays of a job; by default all of it.
    void setPlayRange(std::function<QPair<qint64, qint64>(VoiceData *)> range);

    void UpdateSkin();
    void FlushText();

signals:
    // The pane shows another job, or the envelope of its job has arrived.
    void jobShown(VoiceData *job);

public slots:
    void refresh();
    void playButton_slots();

private:
    void showPlayState();

    ToolsBaseWidget *panel;
    WaveformStrip *waveform;
    MyQtCustom::LabelButton *playButton;
    MyQtCustom::LabelButton *reset;
    QLabel *captionLabel;
    QHBoxLayout *controls;
    AudioPreview *player;
    QPointer<VoiceData> shown;
    QSharedPointer<const AudioEnvelope> outline;
    QSet<QString> knownPaths;
    std::function<QPair<qint64, qint64>(VoiceData *)> playRange;
};
