// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include "engine/partfile.h"

class QProcess;

// Functions every job kind shares: reading ffmpeg's status lines, logging a
// child's arguments, naming outputs, moving progress and judging results.

// The time value of an ffmpeg status line ("00:01:02.50" from
// "... time=00:01:02.50 ..."), or an empty string.
QString GetTimeString(const QString &line);

// The time of a status line in microseconds, or 0 when the line carries none
// (time texts of five characters or fewer do not count).
qint64 StatusLineTime(const QString &line);

// Writes an argument list, joined by blanks, to the diagnostic log.
void PrintCommandArgs(const QStringList &args);

// Starts a child the way every job and panel does: logs the arguments
// (PrintCommandArgs), merges its output channels, runs it in the application
// directory with the shared child environment, read-write.
void StartChildProcess(QProcess &process, const QString &program, const QStringList &arguments);

// The file a path names, for use as a job's input: the path with its links
// resolved, once and for all, when that ends at a regular file; otherwise
// empty. A FIFO, a device or a folder never becomes a job: ffmpeg would wait
// on it, or read it, forever.
QString RegularInputFile(const QString &path);

// The input's file name with every "." + its suffix removed (case-sensitive):
// "a.mp3.b.mp3" gives "a.b".
QString OutputBaseName(const QString &inputPath);

// The naming rule of a result of `inputPath` in the output folder:
// base + nameTag + "." + extension, or, while that is taken (by anything, a
// link that leads nowhere included), base + nameTag + collisionOpen + n + ")."
// + extension for n = 0, 1, ... The base is shortened, between characters, so
// that the whole name fits the file system's limit (255 bytes). Tools pass
// their tag ("-trim", "-mix" ...) and, where their names read "name(0)"
// rather than "name (0)", a collisionOpen of "(". The name is chosen when the
// result is published (PartFile::publish).
OutputName OutputNameFor(const QString &inputPath, const QString &nameTag, const QString &extension,
                         const QString &collisionOpen = QStringLiteral(" ("));

// The extension of an audio result named after an input: the input's suffix
// where ffmpeg can write audio alone into that container, otherwise "mp3"
// (containers it only reads, or only with video: .MOD, .TOD, .DV, .ape ...).
QString AudioOutputExtension(const QString &inputPath);

// Progress is counted in hundredths of a percent; a run never shows more than this.
constexpr int RunningProgressLimit = 9999;

// Moves `progress` for a status time of `time` microseconds against a
// reference length of `referenceDuration` microseconds: the share, at most
// RunningProgressLimit, replaces `progress` only when it is larger. Returns
// whether the time was usable (both values above 0); the caller reports
// progress for every usable time, whether or not the value grew.
bool AdvanceProgress(qint64 time, double referenceDuration, int &progress);

// The audio codec arguments of a cut (trim, split): a stream copy, except
// into FLAC, whose copy keeps the whole input's length in its header: that
// is re-encoded, losslessly.
QStringList CutCodecArguments(const QString &outputPath);

// Mends the header of an MP3 stream copy that starts after the input's
// start: when the copy holds the input's last frame, ffmpeg 5.1 writes a
// wrong encoder delay (up to 4095 samples) into its LAME tag, and decoders
// drop that much audio, so the file plays up to 0.1 s shorter than its
// header says. The delay of such a cut is 0. Returns whether the file holds
// a tag with a delay of 0 now.
bool ClearMp3CutDelay(const QString &path);
