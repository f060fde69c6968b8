// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QComboBox>
#include <QStringList>

// The option box of a tool panel's top bar: skinned, without focus frames in
// its list, every entry carrying the same spacer icon.
class OptionComboBox : public QComboBox
{
    Q_OBJECT
public:
    explicit OptionComboBox(QWidget *parent = nullptr);

    void UpdateSkin();
    // Replaces the entries and makes the first current, without running the
    // tool's slot (it listens to activated, which only the user triggers).
    void setEntries(const QStringList &texts);

    // Index of the first choice equal to `stored` regardless of case, or -1.
    static int MatchIndex(const QString &stored, const QStringList &choices);
};
