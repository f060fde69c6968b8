#pragma once

#include <QPoint>
#include <QProcessEnvironment>
#include <QRect>
#include <QSize>
#include <QString>

#include "common/version.h"

// Process-wide values and functions of the application shell. The globals are
// written once during start-up and only read afterwards.

// The application's data folder (AppPaths::dataDir): the executable's own in a
// build tree, <prefix>/share/quillvane once installed.
extern QString g_appDir;
extern float g_scale; // display scale; design pixel sizes are multiplied by it and truncated

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
} // namespace SettingsKey

// A design size in pixels at the current display scale.
inline int ScaledPx(int designPixels)
{
    return static_cast<int>(static_cast<float>(designPixels) * g_scale);
}

// The ffmpeg every job runs (AppPaths::findFfmpeg: beside the data or the
// executable, else on PATH); empty when there is none.
QString GetFFmpegPath();
QString GetSettingFolder(const QString &key);
QString GetSettingValue(const QString &key, const QString &defaultValue = QString());
void SetSettingValue(const QString &key, const QString &value);
// The private runtime folder (UserFolders::runtimeFolder); empty when none can be had.
QString GetTempFolder();

// The output folder and the number of simultaneous jobs that all panels share.
// They live in the main window; without one (tests, tools used headless) they
// fall back to what the main window would start with.
QString OutputFolder();
// The stored limit ("Same_MaxCount", kept as written) held within 1 and
// MaxJobLimit(): every job holds a child and its descriptors, and beyond a
// few per core more at once only makes each slower.
int SameMaxCount();
inline constexpr int JobsPerCore = 2;
int MaxJobLimit(); // JobsPerCore per core, at least 2

// The environment of every child process: the system's plus FONTCONFIG_FILE.
// Built once and shared by all children: QProcessEnvironment is implicitly
// shared, so each copy handed out costs a reference, not an environment.
QProcessEnvironment ChildProcessEnvironment();

// Where the main window goes on a screen of the given rectangle.
QPoint MainWindowPosition(const QRect &desk, const QSize &window);
