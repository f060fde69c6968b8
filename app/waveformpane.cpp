// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "app/waveformpane.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "app/audiopreview.h"
#include "app/toolsbasewidget.h"
#include "common/qcommonutils.h"
#include "engine/envelopecache.h"
#include "engine/voicedata.h"
#include "widgets/displayscale.h"
#include "widgets/labelbutton.h"
#include "widgets/skinhelper_qsetting.h"
#include "widgets/waveformstrip.h"

WaveformPane::WaveformPane(ToolsBaseWidget *owner)
    : QWidget(owner), panel(owner), waveform(new WaveformStrip(this)),
      playButton(new MyQtCustom::LabelButton(this)), reset(new MyQtCustom::LabelButton(this)),
      captionLabel(new QLabel(this)), controls(new QHBoxLayout), player(new AudioPreview(this))
{
    playRange = [](VoiceData *) {
        return qMakePair(qint64(0), qint64(-1));
    };
    captionLabel->setTextFormat(Qt::PlainText);
    for (MyQtCustom::LabelButton *button : {playButton, reset}) {
        button->setFocusPolicy(Qt::StrongFocus);
        button->setAlignment(Qt::AlignCenter);
    }
    reset->hide();
    auto *line = new QHBoxLayout;
    line->setContentsMargins(0, 0, 0, 0);
    line->addWidget(playButton);
    line->addWidget(captionLabel, 1);
    line->addLayout(controls);
    line->addWidget(reset);
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(10, 6, 10, 6);
    column->setSpacing(6);
    column->addWidget(waveform, 1);
    column->addLayout(line);

    connect(panel, &ToolsBaseWidget::jobsChanged, this, &WaveformPane::refresh);
    connect(EnvelopeCache::instance(), &EnvelopeCache::ready, this, [this](const QString &path) {
        if (shown && shown->filePath == path)
            refresh();
    });
    connect(playButton, qOverload<>(&MyQtCustom::LabelButton::clicked), this,
            &WaveformPane::playButton_slots);
    connect(player, &AudioPreview::positionChanged, waveform, &WaveformStrip::setPosition);
    connect(player, &AudioPreview::stopped, this, [this] {
        waveform->setPosition(-1);
        showPlayState();
    });
}

void WaveformPane::setPlayRange(std::function<QPair<qint64, qint64>(VoiceData *)> range)
{
    playRange = std::move(range);
}

void WaveformPane::refresh()
{
    EnvelopeCache *cache = EnvelopeCache::instance();
    // Files that left the panel are not read any further.
    QSet<QString> paths;
    for (const VoiceData *job : panel->jobs())
        paths.insert(job->filePath);
    for (const QString &gone : knownPaths - paths)
        cache->release(gone);
    knownPaths = paths;

    VoiceData *job = panel->currentJob();
    if (job != shown)
        player->stop();
    shown = job;
    outline = job ? cache->envelope(job->filePath) : nullptr;
    if (!job)
        waveform->setMessage(tr("Add a file to see its waveform here."));
    else if (!outline)
        waveform->setMessage(tr("Reading the waveform of %1...").arg(job->fileName));
    else if (outline->isEmpty())
        waveform->setMessage(tr("%1 holds no audio to show.").arg(job->fileName));
    else
        waveform->setWaveform(outline->windows(), AudioEnvelope::WindowUs, outline->duration());
    waveform->setAccessibleName(job ? tr("Waveform of %1").arg(job->fileName) : tr("Waveform"));
    captionLabel->setText(job && outline && !outline->isEmpty()
                              ? job->fileName + QStringLiteral("  ") +
                                    QCommonUtils::TimetoString(outline->duration())
                              : QString());
    showPlayState();
    emit jobShown(job);
}

void WaveformPane::playButton_slots()
{
    if (player->isPlaying()) {
        player->stop();
        return;
    }
    if (!shown || !outline || outline->isEmpty())
        return;
    const QPair<qint64, qint64> range = playRange(shown);
    player->play(shown->filePath, range.first, range.second);
    showPlayState();
}

void WaveformPane::showPlayState()
{
    const bool device = AudioPreview::DeviceAvailable();
    const bool playing = player->isPlaying();
    playButton->setText(playing ? tr("Stop") : tr("Play"));
    playButton->setAccessibleName(playing ? tr("Stop playing") : tr("Play the selection"));
    playButton->setEnabled(device && (playing || (shown && outline && !outline->isEmpty())));
    playButton->setToolTip(device ? QString() : tr("No sound device: playback is not available."));
    playButton->setAccessibleDescription(!device ? playButton->toolTip()
                                         : waveform->rangeEnd() >= 0
                                             ? tr("Plays the kept range of the file shown in the waveform.")
                                             : tr("Plays the file shown in the waveform."));
}

void WaveformPane::setResetTexts(const QString &text, const QString &description)
{
    reset->setText(text);
    reset->setAccessibleName(text);
    reset->setAccessibleDescription(description);
    reset->show();
}

void WaveformPane::UpdateSkin()
{
    for (MyQtCustom::LabelButton *button : {playButton, reset})
        button->setSkinConfig(QStringLiteral("Button2"), ScaledPx(12), 0, 2, 1, true, true, true, true);
    captionLabel->setStyleSheet(QStringLiteral("QLabel{font-size:%1px;color:%2;}")
                                    .arg(ScaledPx(12))
                                    .arg(SkinHelper_QSetting::GetInstance()->GetValue(
                                        QStringLiteral("main"), QStringLiteral("txtcolor2"))));
    waveform->update();
}

void WaveformPane::FlushText()
{
    playButton->setFixedSize(ScaledPx(80), ScaledPx(24));
    reset->ensurePolished();
    reset->setFixedSize(reset->fontMetrics().horizontalAdvance(reset->text()) + ScaledPx(24), ScaledPx(24));
    refresh();
}
