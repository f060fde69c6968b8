// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QString>

// The naming rule of a result: base + tag + "." + extension, or, while that
// name is taken, base + tag + collisionOpen + n + ")." + extension for n = 0,
// 1, ...; a user's pattern (NamePattern) places these parts otherwise. The
// name is shortened, between characters, so that it fits the folder's file
// system (255 bytes).
struct OutputName
{
    QString folder;
    QString base; // the input's base name
    QString tag;  // the tool's ("-trim", "-mix" ...)
    QString extension;
    QString collisionOpen = QStringLiteral(" (");
    QString pattern;   // empty: the default names
    QString optionTag; // {tool} in a user's pattern, where it says more than `tag` ("+5dB")
    QString artist;    // the input's tags, for {artist} and {title}
    QString title;
    bool numbered = true; // false: a taken name is not numbered, the result is skipped

    // Candidate `n` of the rule; below 0, the plain name.
    QString candidate(int n) const;
};

// A result while it is written: a hidden file in the output folder, created
// by us exclusively and without following a link, named after this process
// (never after the input) and ending in the extension the muxer is chosen by.
// No two jobs or processes ever share one. Only a checked part file gets a
// final name, by a move that never replaces a file, so a final name never
// holds a half-written file.
class PartFile
{
public:
    // How publish moves the file: renameat2 without replacing, else link and
    // unlink, else claiming the name exclusively and renaming over the claim.
    enum class Move
    {
        Rename,
        Link,
        Claim
    };

    PartFile() = default;
    PartFile(const PartFile &) = delete;
    PartFile &operator=(const PartFile &) = delete;
    ~PartFile() { discard(); }

    // Creates a new, empty part file in `folder`; false when the folder takes
    // none (missing, not writable, full).
    bool create(const QString &folder, const QString &extension);
    const QString &path() const { return partPath; }

    // Moves the part file to the first free name of `name` (the file is then
    // no longer this object's) and returns that name; empty when it could not
    // be moved, and the part file is removed. `taken` tells whether it was
    // not moved because an unnumbered name was taken.
    QString publish(const OutputName &name, Move move = Move::Rename, bool *taken = nullptr);

    // Whether anything has the name, a link that leads nowhere included.
    static bool NameTaken(const QString &path);
    // Makes the sub-folders `relative` ("a/b") of `root`, one at a time,
    // never following a link and never leaving `root` ("..", "." and empty
    // parts are refused). Returns the folder, or empty when it cannot be made.
    static QString MakeFolder(const QString &root, const QString &relative);
    // Removes the part file, if there is one.
    void discard();

    // Whether `fileName` is a part file name; its host tag and pid when it is.
    static bool ParsePartName(const QString &fileName, QString *host, qint64 *pid);
    // Removes the part files in `folder` that this user's processes of this
    // machine left and that no longer run (a crash, a kill). Returns how many.
    static int RemoveStale(const QString &folder);

private:
    QString partPath;
};
