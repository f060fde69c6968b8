#pragma once

#include <QString>
#include <QStringList>

// Fixtures shared by the tests: the application directory of the build,
// generated audio, stand-in executables.
namespace TestSupport {

// Points g_appDir at the build's application directory (with its ffmpeg link)
// and names the log like the application does.
void useBuildAppDir();

// Runs the real ffmpeg with the given arguments; true when it exits with 0.
bool runFfmpeg(const QStringList &arguments, QString *output = nullptr);

// Writes `seconds` of a sine tone (lavfi) to `path`; the extension picks the format.
bool makeTone(const QString &path, double seconds, int frequency = 440, int sampleRate = 44100,
              int channels = 2, const QStringList &extraOutputArgs = QStringList());

// Writes an executable file (a stand-in program, usually a shell script).
bool writeExecutable(const QString &path, const QString &content);

// Writes a file of exactly `size` bytes.
bool writeFileOfSize(const QString &path, qint64 size);

} // namespace TestSupport
