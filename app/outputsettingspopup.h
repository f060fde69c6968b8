// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QFrame>
#include <QMap>

#include "engine/outputoptions.h"

class QComboBox;
class QFormLayout;
class QLabel;

// The "Output" settings every per-file tool shares, in a small pop-up under
// its button: a quality for each format, the sample rate and the channels,
// "Keep" (the input's) by default. A change is stored at once
// (OutputOptions), so every job that starts afterwards follows it.
class OutputSettingsPopup : public QFrame
{
    Q_OBJECT
public:
    explicit OutputSettingsPopup(QWidget *parent = nullptr);

    void UpdateSkin();
    void FlushText();
    // Shows the stored choices, under `anchor`'s right edge.
    void showBelow(const QWidget *anchor);

    QComboBox *qualityBox(OutputFamily family) const { return qualityBoxes.value(family); }
    QComboBox *rateBox() const { return rate; }
    QComboBox *channelsBox() const { return channels; }

    // What a quality value reads as in the box ("320k": "320 kb/s").
    static QString QualityText(OutputFamily family, const QString &value);

private:
    void load();
    void store();

    QLabel *title;
    QFormLayout *form;
    QMap<OutputFamily, QComboBox *> qualityBoxes;
    QComboBox *rate;
    QComboBox *channels;
    QLabel *rateLabel;
    QLabel *channelsLabel;
};
