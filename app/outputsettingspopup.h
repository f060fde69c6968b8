// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QFrame>
#include <QMap>

#include "engine/outputoptions.h"
#include "engine/partfile.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QFormLayout;
class QLabel;

// The "Output" settings every per-file tool shares, in a small pop-up under
// its button: a quality for each format the tool can write, the sample rate
// and the channels, "Keep" (the input's) by default; then how results are
// named (a pattern, with a live example), whether added folders keep their
// tree and what a taken name does. A change is stored at once
// (OutputOptions), so every job that starts afterwards follows it.
class OutputSettingsPopup : public QFrame
{
    Q_OBJECT
public:
    explicit OutputSettingsPopup(QWidget *parent = nullptr);

    void UpdateSkin();
    void FlushText();
    // Shows the stored choices, under `anchor`'s right edge: the quality of
    // `families` only, and names as `example` (a result of the tool) shows them.
    void showBelow(const QWidget *anchor, const OutputName &example, const QList<OutputFamily> &families);

    QComboBox *qualityBox(OutputFamily family) const { return qualityBoxes.value(family); }
    QComboBox *rateBox() const { return rate; }
    QComboBox *channelsBox() const { return channels; }
    QLineEdit *patternEdit() const { return pattern; }
    QCheckBox *treeBox() const { return tree; }
    QComboBox *collisionBox() const { return collision; }
    // The example name under the pattern, or why the pattern cannot name files.
    QString exampleText() const;

    // What a quality value reads as in the box ("320k": "320 kb/s").
    static QString QualityText(OutputFamily family, const QString &value);

private:
    void load();
    void store();
    void showExample();

    QLabel *title;
    QFormLayout *form;
    QMap<OutputFamily, QComboBox *> qualityBoxes;
    QMap<OutputFamily, QLabel *> qualityLabels;
    QComboBox *rate;
    QComboBox *channels;
    QLabel *rateLabel;
    QLabel *channelsLabel;
    QLineEdit *pattern;
    QLabel *patternLabel;
    QLabel *example;
    QCheckBox *tree;
    QComboBox *collision;
    QLabel *collisionLabel;
    OutputName exampleName;
};
