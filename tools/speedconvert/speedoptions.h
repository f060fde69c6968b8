// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QString>
#include <QStringList>

// The speed tool's choice: the tempo factor, as its entry text ("1.25").
struct SpeedOptions
{
    static constexpr int DefaultFactorIndex = 3;
    QString factor = Factors().at(DefaultFactorIndex);

    // The factors in the order the tool offers them.
    static QStringList Factors();
    // The stored choice ("Convert_Speed") when it is one of the factors,
    // else the default factor.
    static SpeedOptions Load();
    void save() const;
};
