// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QString>
#include <QStringList>

// The format tool's choice: the extension of its results.
struct FormatOptions
{
    QString format = QStringLiteral("mp3");

    // The extensions in the order the tool offers them.
    static QStringList Extensions();
    // The stored choice ("Convert_Format"), as written when it names one of
    // the extensions regardless of case; anything else gives mp3.
    static FormatOptions Load();
    void save() const;
};
