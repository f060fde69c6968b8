#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// Fixtures shared by the tests: the application directory of the build,
// generated audio, stand-in executables.
class VoiceData;

namespace TestSupport {

// Points g_appDir at the build's application directory (with its ffmpeg link)
// and names the log like the application does.
void useBuildAppDir();

// Runs the real ffmpeg with the given arguments; true when it exits with 0.
bool runFfmpeg(const QStringList &arguments);

// Writes `seconds` of a stereo 44100 Hz sine tone (lavfi) to `path`; the extension picks the format.
bool makeTone(const QString &path, double seconds, int frequency = 440);

// Writes an executable file (a stand-in program, usually a shell script).
bool writeExecutable(const QString &path, const QString &content);

// Writes a file of exactly `size` bytes.
bool writeFileOfSize(const QString &path, qint64 size);

// Writes a stand-in "ffmpeg" (a shell script) into `dir`; point g_appDir at
// `dir` to have jobs run it. The body runs with $out set to the last argument,
// which is the output path of every ffmpeg command line the tools build.
bool writeStandInFfmpeg(const QString &dir, const QString &body);

// Processes still alive (zombies count as ended) whose environment holds
// name=value: a test marks a process tree by exporting a unique variable.
QList<qint64> livingProcessesWithEnvironment(const QString &name, const QString &value);

// Probes a file with the real ffmpeg, as the panels do, into `record`;
// false when the probe produced no record.
bool probeFile(const QString &path, VoiceData &record);

// MD5 of a file's bytes, to show that an input was left untouched.
QByteArray fileDigest(const QString &path);

} // namespace TestSupport
