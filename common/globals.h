// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include "common/version.h"

// Process-wide values and functions of the ground floor: the application
// directory, the settings store, the folders and the child environment. They
// know no window: the main window sets the shared values at start-up (and the
// output folder when the user picks another); without one (tests, the command
// line) they read what a start would read from the settings.

// The application's data folder (AppPaths::dataDir): the executable's own in a
// build tree, <prefix>/share/quillvane once installed.
extern QString g_appDir;

namespace AppIdentity {
inline constexpr char Organisation[] = "tessarin";
inline constexpr char Application[] = "Quillvane";
inline constexpr char Version[] = QUILLVANE_VERSION;
} // namespace AppIdentity

// Keys of the settings store, in one place.
namespace SettingsKey {
inline constexpr char OutFolder[] = "OutFolder";
inline constexpr char AddVideoPath[] = "addVideoPath";
inline constexpr char SameMaxCount[] = "Same_MaxCount";
inline constexpr char ResetDebugLogs[] = "Reset_DebugLogs";
inline constexpr char Language[] = "Language";
inline constexpr char ConvertFormat[] = "Convert_Format";
inline constexpr char ConvertSpeed[] = "Convert_Speed";
inline constexpr char ConvertVolume[] = "Convert_Volume";
inline constexpr char ShowExperimental[] =
    "Show_Experimental"; // "1": the two script-driven tools are offered
// The Output choices (OutputOptions): a quality per format ("Output_Quality_mp3"), rate, channels.
inline constexpr char OutputQuality[] = "Output_Quality_";
inline constexpr char OutputSampleRate[] = "Output_SampleRate";
inline constexpr char OutputChannels[] = "Output_Channels";
// How results are named and placed: a name pattern, whether a folder's tree is
// kept, what a taken name does ("number" or "skip").
inline constexpr char OutputNamePattern[] = "Output_NamePattern";
inline constexpr char OutputKeepTree[] = "Output_KeepTree";
inline constexpr char OutputOnCollision[] = "Output_OnCollision";
} // namespace SettingsKey

// The ffmpeg every job runs (AppPaths::findFfmpeg: beside the data or the
// executable, else on PATH); empty when there is none.
QString GetFFmpegPath();
QString GetSettingFolder(const QString &key);
QString GetSettingValue(const QString &key, const QString &defaultValue = QString());
void SetSettingValue(const QString &key, const QString &value);
// The stored value of `key`, as written, when it names one of `choices`
// regardless of case; `fallback` otherwise.
QString GetSettingChoice(const QString &key, const QStringList &choices, const QString &fallback);
// The private runtime folder (UserFolders::runtimeFolder); empty when none can be had.
QString GetTempFolder();

// The output folder all jobs write to, for this run: the one set last, else
// the stored one (GetSettingFolder "OutFolder").
QString OutputFolder();
void SetOutputFolder(const QString &folder);
// The limit of simultaneous jobs of one queue: the stored value set last
// (SetSameMaxCount, as written), else "Same_MaxCount" of the settings, held
// within 1 and MaxJobLimit(): every job holds a child and its descriptors,
// and beyond a few per core more at once only makes each slower.
int SameMaxCount();
void SetSameMaxCount(int stored);
// The limit as set, before it is held within its bounds (2 unless set or stored).
int StoredSameMaxCount();
inline constexpr int JobsPerCore = 2;
int MaxJobLimit(); // JobsPerCore per core, at least 2

// Whether the selector offers the two script-driven tools; off until the user asks.
bool ExperimentalToolsShown();
void SetExperimentalToolsShown(bool shown);

// The environment of every child process: the system's plus FONTCONFIG_FILE.
// Built once and shared by all children: QProcessEnvironment is implicitly
// shared, so each copy handed out costs a reference, not an environment.
QProcessEnvironment ChildProcessEnvironment();
