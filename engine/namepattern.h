// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QCoreApplication>
#include <QString>

// The user's rule for naming results: a text with placeholders {name} (the
// input's base name), {tool} (the tool's tag: "-trim", "+5dB" ...), {ext}
// (the extension), {artist} and {title} (the input's tags) and {n} (the
// collision mark: empty for the first result of a name, then " (0)", " (1)"
// ... in the tool's form). The result always ends in "." + the extension
// the format needs; without {n} the mark stands just before it. An empty
// pattern is the default: {name}{tool}{n}.{ext} with the tags the tools have
// always written (Volume and Reverse write none).
class NamePattern
{
    Q_DECLARE_TR_FUNCTIONS(NamePattern)
public:
    struct Fields
    {
        QString name;
        QString tool;
        QString extension;
        QString artist; // as tagged; sanitised here
        QString title;
    };

    static QString Default() { return QStringLiteral("{name}{tool}{n}.{ext}"); }
    // Longest pattern taken, in characters.
    static constexpr int MaxLength = 120;
    // Tag values are cut to this many bytes in a name.
    static constexpr int MaxTagBytes = 80;

    // Whether a pattern can name files: not longer than MaxLength, only known
    // placeholders, no "/", no control character, no leading ".". Empty (the
    // default) is valid. `problem` says what is wrong, for the user.
    static bool IsValid(const QString &pattern, QString *problem = nullptr);

    // The file name for `fields` with `mark` as {n}, fitted into `limit`
    // bytes: {name} is shortened first, between characters, then the rest.
    // An invalid pattern names as the default does.
    static QString Expand(const QString &pattern, const Fields &fields, const QString &mark, int limit);

    // A tag's value as it may stand in a name: no "/", no control
    // characters, blanks simplified, no leading ".", at most MaxTagBytes.
    static QString TagText(const QString &value);

    // The start of `text` that fits into `room` bytes, cut between characters.
    static QString FitBytes(const QString &text, int room);
};
