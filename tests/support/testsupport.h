// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>
#include <QtGlobal>

// Fixtures shared by the tests: the application directory of the build,
// generated audio, stand-in executables.
class VoiceData;

namespace TestSupport {

// Points g_appDir at the build's application directory (with its ffmpeg link)
// and names the log like the application does.
void useBuildAppDir();

// Takes every folder that holds an ffmpeg off PATH while it lives: a test whose
// data folder has no ffmpeg then finds none at all, as without the package.
class NoFfmpegOnPath
{
public:
    NoFfmpegOnPath();
    ~NoFfmpegOnPath();

private:
    QByteArray saved;
};

// Runs the real ffmpeg with the given arguments; true when it exits with 0.
bool runFfmpeg(const QStringList &arguments);

// Writes `seconds` of a sine tone (lavfi) to `path`; the extension picks the format.
bool makeTone(const QString &path, double seconds, int frequency = 440, int sampleRate = 44100,
              int channels = 2, const QStringList &extraOutputArgs = QStringList());

// Writes a 440 Hz tone in stretches of (seconds, amplitude 0 to 1), mono
// 44.1 kHz, to `path`; the extension picks the format.
bool makeStretches(const QString &path, const QList<QPair<double, double>> &stretches);

// Writes an executable file (a stand-in program, usually a shell script).
bool writeExecutable(const QString &path, const QString &content);

// Writes a file of exactly `size` bytes.
bool writeFileOfSize(const QString &path, qint64 size);

// Writes a stand-in "ffmpeg" (a shell script) into `dir`; point g_appDir at
// `dir` to have jobs run it. The body runs with $out set to the last argument,
// which is the output path of every ffmpeg command line the tools build.
bool writeStandInFfmpeg(const QString &dir, const QString &body);

// Runs shell lines with the given variables ("NAME=value") set, as a test
// that plays another user or an attacker does; their standard output and a
// line end, or a null array when they fail.
QByteArray runShell(const QString &lines, const QStringList &variables = QStringList());

// Processes still alive (zombies count as ended) whose environment holds
// name=value: a test marks a process tree by exporting a unique variable.
QList<qint64> livingProcessesWithEnvironment(const QString &name, const QString &value);

// Probes a file with the real ffmpeg, as the panels do, into `record`;
// false when the probe produced no record.
bool probeFile(const QString &path, VoiceData &record);

// Waits until none of the jobs is waiting or converting; false on timeout.
bool waitForJobsToEnd(const QList<VoiceData *> &jobs, int timeoutMs = 30000);

// Decodes a file's audio with the real ffmpeg into 16-bit mono samples at
// `sampleRate`; empty when it cannot be decoded.
QVector<qint16> decodeMono(const QString &path, int sampleRate);

// Decodes a file's audio with the real ffmpeg into 32-bit samples at its own
// rate, channels interleaved; empty when it cannot be decoded.
QVector<qint32> decodeSamples(const QString &path);

// The frequency of a tone in Hz, from the zero crossings of `count` samples
// from `first` on (count -1: to the end).
double toneFrequency(const QVector<qint16> &samples, int sampleRate, int first = 0, int count = -1);

// The RMS level of samples in dB relative to full scale.
double levelDb(const QVector<qint16> &samples);

// MD5 of a file's bytes, to show that an input was left untouched.
QByteArray fileDigest(const QString &path);

// Gives a job a state as its run or queue would, for a row or a scene to show.
void setJobState(VoiceData *job, int state);

} // namespace TestSupport
