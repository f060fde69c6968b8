// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
// The tools that convert every file on its own (format, speed, volume, invert,
// split, trim): split plans, stored choices, choices made while a job waits,
// and results on real audio through the panels and the real ffmpeg.
#include <algorithm>

#include <QDir>
#include <QSettings>
#include <QSpinBox>
#include <QTimeEdit>
#include <QtTest>

#include "app/optioncombobox.h"
#include "common/globals.h"
#include "engine/jobqueue.h"
#include "engine/voicedata.h"
#include "support/testsupport.h"
#include "support/toolfixture.h"
#include "tools/formatconvert/voiceconvertdata.h"
#include "tools/invertconvert/voiceinvertdata.h"
#include "tools/speedconvert/voicespeeddata.h"
#include "tools/splitconvert/splitconvertwidget.h"
#include "tools/splitconvert/voicesplitdata.h"
#include "tools/trimconvert/trimconvertwidget.h"
#include "tools/volumeconvert/voicevolumedata.h"

namespace {
constexpr qint64 Second = 1000000;
using Seconds = QList<double>;
} // namespace

class TestFileTools : public ToolFixture
{
    Q_OBJECT
private:
    // A choice in a panel's terms: an entry of its option box ("2"), a trim
    // range in seconds ("1-3"), a split rule ("2 s" or "3 pieces").
    static void setOption(ToolsBaseWidget *panel, const QString &choice)
    {
        const QStringList parts = choice.split(QRegularExpression(QStringLiteral("[- ]")));
        const auto time = [&parts](int i) {
            return QTime(0, 0).addSecs(parts.at(i).toInt());
        };
        if (auto *trim = qobject_cast<TrimConvertWidget *>(panel)) {
            trim->startEdit()->setTime(time(0));
            trim->endEdit()->setTime(time(1));
        } else if (auto *split = qobject_cast<SplitConvertWidget *>(panel)) {
            choose(split, parts.at(1) == QLatin1String("pieces") ? 1 : 0);
            split->timeEdit()->setTime(time(0));
            split->numberBox()->setValue(parts.at(0).toInt());
        } else if (!choice.isEmpty()) {
            choose(panel, choice.toInt());
        }
    }
private slots:
    void splitPlan_data()
    {
        QTest::addColumn<bool>("byNumber");
        QTest::addColumn<double>("duration");
        QTest::addColumn<int>("rule"); // seconds per piece, or pieces
        QTest::addColumn<int>("count");
        QTest::addColumn<qint64>("length");
        // Progress when the child of the second piece (or the only one) is 30 s into it.
        QTest::addColumn<int>("progress");
        // clang-format off
        QTest::addRow("150 s by a minute")          << false << 150.0 << 60  << 3 << 60 * Second << 6000;
        QTest::addRow("a whole number of minutes")  << false << 120.0 << 60  << 2 << 60 * Second << 7500;
        QTest::addRow("longer than the file")       << false << 150.0 << 200 << 1 << 200 * Second << 2000;
        QTest::addRow("unknown duration by time")   << false << 0.0   << 60  << 1 << 60 * Second << 0;
        QTest::addRow("100 s into 4")               << true  << 100.0 << 4   << 4 << 25 * Second << 5500;
        QTest::addRow("10 s into 4: tenths")        << true  << 10.0  << 4   << 4 << 2500000LL << 9999;
        QTest::addRow("10 s into 3: not dividing")  << true  << 10.0  << 3   << 3 << 3333333LL << 9999;
        QTest::addRow("2 s into 4: a piece a second") << true << 2.0  << 4   << 2 << Second << 9999;
        QTest::addRow("1 s into 100")               << true  << 1.0   << 100 << 1 << Second << 9999;
        QTest::addRow("unknown duration by number") << true  << 0.0   << 4   << 1 << qint64(0) << 0;
        // clang-format on
    }

    void splitPlan()
    {
        QFETCH(bool, byNumber);
        QFETCH(double, duration);
        QFETCH(int, rule);
        QFETCH(int, count);
        QFETCH(qint64, length);
        QFETCH(int, progress);
        const auto micro = qint64(duration * Second);
        const VoiceSplitData::Plan plan = VoiceSplitData::PlanSegments(byNumber, micro, rule * Second, rule);
        QCOMPARE(plan.count, count);
        QCOMPARE(plan.length, length);
        QCOMPARE(VoiceSplitData::SegmentProgress(qMin(1, count - 1), length, 30 * Second, micro), progress);
    }

    void storedOption_data()
    {
        QTest::addColumn<int>("tool");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("option");
        const QString format = QLatin1String(SettingsKey::ConvertFormat);
        const QString speed = QLatin1String(SettingsKey::ConvertSpeed);
        const QString volume = QLatin1String(SettingsKey::ConvertVolume);
        // clang-format off
        QTest::addRow("format absent")             << int(Format) << format << QString() << 0 << "mp3";
        QTest::addRow("format flac")               << int(Format) << format << "flac"    << 2 << "flac";
        QTest::addRow("format capitals kept")      << int(Format) << format << "WAV"     << 3 << "WAV";
        QTest::addRow("format ogg, appended")      << int(Format) << format << "ogg"     << 6 << "ogg";
        QTest::addRow("format unknown")            << int(Format) << format << "wma"     << 0 << "mp3";
        QTest::addRow("speed absent")              << int(Speed)  << speed  << QString() << 3 << "1.25";
        QTest::addRow("speed 2.0")                 << int(Speed)  << speed  << "2.0"     << 5 << "2.0";
        QTest::addRow("speed not offered")         << int(Speed)  << speed  << "2"       << 3 << "1.25";
        QTest::addRow("speed not a factor")        << int(Speed)  << speed  << "FAST"    << 3 << "1.25";
        QTest::addRow("volume absent")             << int(Volume) << volume << QString() << 0 << "0";
        QTest::addRow("volume -5 dB")              << int(Volume) << volume << "2"       << 2 << "2";
        QTest::addRow("volume just past the end")  << int(Volume) << volume << "3"       << 0 << "0";
        QTest::addRow("volume entry text no index") << int(Volume) << volume << "-5DB"   << 0 << "0";
        // clang-format on
    }

    void storedOption()
    {
        QFETCH(int, tool);
        QFETCH(QString, key);
        QFETCH(QString, stored);
        QFETCH(int, index);
        QFETCH(QString, option);
        if (stored.isNull())
            QSettings(QLatin1String(AppIdentity::Organisation), QLatin1String(AppIdentity::Application))
                .remove(key);
        else
            SetSettingValue(key, stored);
        ToolsBaseWidget *panel = open(tool);
        QCOMPARE(panel->findChild<OptionComboBox *>()->currentIndex(), index);
        const QString options[] = {FormatOptions::Load().format, SpeedOptions::Load().factor,
                                   QString::number(VolumeOptions::Load().mode)};
        QCOMPARE(options[tool], option);
        // A fallback lives in memory only: the store keeps what it had.
        QCOMPARE(GetSettingValue(key), stored);
    }

    void choiceMadeWhileAJobWaitsApplies_data()
    {
        QTest::addColumn<int>("tool");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("then");
        QTest::addColumn<QString>("evidence"); // in the started child's arguments
        QTest::addColumn<QString>("stored");
        // clang-format off
        QTest::addRow("format") << int(Format) << "2" << "3" << "part.wav" << "wav";
        QTest::addRow("speed")  << int(Speed)  << "1" << "5" << "atempo=2.0" << "2.0";
        QTest::addRow("volume") << int(Volume) << "1" << "2" << "volume=-5dB" << "2";
        QTest::addRow("trim")   << int(Trim)   << "0-1" << "1-3" << "-ss 00:00:01 -to 00:00:03" << QString();
        QTest::addRow("split")  << int(Split)  << "2 s" << "3 pieces" << "-ss 00:00:00 -to 00:00:01" << QString();
        // clang-format on
    }

    void choiceMadeWhileAJobWaitsApplies()
    {
        QFETCH(int, tool);
        QFETCH(QString, first);
        QFETCH(QString, then);
        QFETCH(QString, evidence);
        QFETCH(QString, stored);
        const QString input = inputs.filePath(QStringLiteral("wait.ogg"));
        QVERIFY(QFileInfo::exists(input) || TestSupport::makeTone(input, 3.0));
        ToolsBaseWidget *panel = open(tool);
        setOption(panel, first);
        QVERIFY(add(panel, {input}));
        VoiceData *job = panel->jobs().first();
        QVERIFY(panel->queue()->enqueue(job));
        setOption(panel, then);
        panel->StartWaitingItems();
        QVERIFY2(job->process.arguments().join(QLatin1Char(' ')).contains(evidence),
                 qPrintable(job->process.arguments().join(QLatin1Char(' '))));
        QVERIFY(waitForEnd(panel));
        QCOMPARE(job->status(), int(VoiceData::Succeeded));
        const char *keys[] = {SettingsKey::ConvertFormat, SettingsKey::ConvertSpeed,
                              SettingsKey::ConvertVolume};
        if (!stored.isNull())
            QCOMPARE(GetSettingValue(QLatin1String(keys[tool])), stored);
    }

    void results_data()
    {
        QTest::addColumn<int>("tool");
        QTest::addColumn<QString>("choice");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("source");    // ffmpeg's lavfi
        QTest::addColumn<QStringList>("names"); // the results; none: the job fails
        QTest::addColumn<Seconds>("seconds");
        // "440 Hz": the results' pitch; "-5 dB": their level against the input's;
        // "rate 22050": their sample rate; "reversed": the input's samples backwards;
        // "sum": their lengths add up to the input's.
        QTest::addColumn<QString>("check");
        const QString tone2 = QStringLiteral("sine=f=440:d=2");
        const QString tone1 = QStringLiteral("sine=f=440:d=1");
        const QString steps = QStringLiteral("aevalsrc=0.5*sin(2*PI*t*(300+200*floor(t))):s=44100:d=3");
        // Rows that convert a file again find the results of the rows before them.
        // clang-format off
        QTest::addRow("speed 0.5") << int(Speed) << "0" << "song.wav" << tone2 << QStringList{"song-0_5.wav"} << Seconds{4} << "440 Hz";
        // atempo loses ~12 ms at the end at 4.0: a longer input keeps that within 2 %.
        QTest::addRow("speed 4.0") << int(Speed) << "7" << "long.wav" << "sine=f=440:d=3" << QStringList{"long-4_0.wav"} << Seconds{0.75} << "440 Hz";
        QTest::addRow("volume -5 dB") << int(Volume) << "2" << "music.flac" << tone1 << QStringList{"music.flac"} << Seconds{1} << "-5 dB";
        QTest::addRow("volume +5 dB again") << int(Volume) << "1" << "music.flac" << tone1 << QStringList{"music (0).flac"} << Seconds{1} << "+5 dB";
        // Without the input's rate, loudnorm's 192 kHz reaches WAV as it is and MP3 as 48 kHz.
        QTest::addRow("standardizing mp3") << int(Volume) << "0" << "std.mp3" << tone1 << QStringList{"std.mp3"} << Seconds{1} << "rate 44100";
        QTest::addRow("standardizing 22.05 kHz") << int(Volume) << "0" << "low.wav" << "sine=f=440:d=1:r=22050" << QStringList{"low.wav"} << Seconds{1} << "rate 22050";
        QTest::addRow("invert") << int(Invert) << "" << "noise.wav" << "anoisesrc=d=1:r=8000:seed=7" << QStringList{"noise.wav"} << Seconds{1} << "reversed";
        // 24-bit stereo, two channels apart, read back in many blocks.
        QTest::addRow("invert 24-bit stereo") << int(Invert) << "" << "chirp.flac" << "aevalsrc=0.8*sin(2*PI*t*t*50)|0.5*t/10-0.2:s=44100:d=10" << QStringList{"chirp.flac"} << Seconds{10} << "reversed";
        // A stream copy cuts at packets: 2048 samples for this WAV.
        QTest::addRow("trim the middle second") << int(Trim) << "1-2" << "steps.wav" << steps << QStringList{"steps-trim.wav"} << Seconds{1} << "500 Hz";
        QTest::addRow("trim past the end again") << int(Trim) << "2-9" << "steps.wav" << steps << QStringList{"steps-trim (0).wav"} << Seconds{1} << "700 Hz";
        QTest::addRow("trim everything") << int(Trim) << "0-3600" << "steps.wav" << steps << QStringList{"steps-trim (1).wav"} << Seconds{3} << "";
        // FLAC and Ogg write kilobytes of headers for no audio at all.
        QTest::addRow("trim from past the end") << int(Trim) << "5-9" << "short.flac" << tone2 << QStringList() << Seconds() << "";
        QTest::addRow("trim from the very end") << int(Trim) << "2-9" << "short.ogg" << tone2 << QStringList() << Seconds() << "";
        QTest::addRow("split 5 s by 2 s") << int(Split) << "2 s" << "five.wav" << "sine=d=5" << QStringList{"five-split-1.wav", "five-split-2.wav", "five-split-3.wav"} << Seconds{2, 2, 1} << "sum";
        // The probe drops the half second; the last piece still reaches the end.
        QTest::addRow("split 4.5 s by 2 s") << int(Split) << "2 s" << "half.wav" << "sine=d=4.5" << QStringList{"half-split-1.wav", "half-split-2.wav"} << Seconds{2, 2.5} << "sum";
        QTest::addRow("split 5 s into 3") << int(Split) << "3 pieces" << "five.wav" << "sine=d=5" << QStringList{"five-split-1 (0).wav", "five-split-2 (0).wav", "five-split-3 (0).wav"} << Seconds{1, 2, 2} << "sum";
        QTest::addRow("split 2.5 s into 4") << int(Split) << "4 pieces" << "short.wav" << "sine=d=2.5" << QStringList{"short-split-1.wav", "short-split-2.wav"} << Seconds{1, 1.5} << "sum";
        // clang-format on
    }

    void results()
    {
        QFETCH(int, tool);
        QFETCH(QString, choice);
        QFETCH(QString, input);
        QFETCH(QString, source);
        QFETCH(QStringList, names);
        QFETCH(Seconds, seconds);
        QFETCH(QString, check);
        constexpr int rate = 44100;
        input = inputs.filePath(input);
        QVERIFY(TestSupport::runFfmpeg({"-y", "-f", "lavfi", "-i", source, input}));
        const QByteArray digest = TestSupport::fileDigest(input);
        const QStringList before = outputFiles();

        ToolsBaseWidget *panel = open(tool);
        setOption(panel, choice);
        QVERIFY(add(panel, {input}));
        QVERIFY(convert(panel));
        VoiceData *job = panel->jobs().first();
        QCOMPARE(job->status(), int(names.isEmpty() ? VoiceData::Failed : VoiceData::Succeeded));
        QStringList made = outputFiles();
        made.erase(
            std::remove_if(made.begin(), made.end(), [&](const QString &n) { return before.contains(n); }),
            made.end());
        QCOMPARE(made, names);
        QCOMPARE(TestSupport::fileDigest(input), digest);

        const QVector<qint16> in = TestSupport::decodeMono(input, rate);
        double total = 0;
        for (int i = 0; i < names.size(); ++i) {
            const QString output = outputs.filePath(names.at(i));
            const QVector<qint16> out = TestSupport::decodeMono(output, rate);
            const double length = double(out.size()) / rate;
            total += length;
            const double tolerance = tool == Trim || tool == Split ? 0.05 : 0.02 * seconds.at(i);
            QVERIFY2(qAbs(length - seconds.at(i)) <= tolerance, qPrintable(QString::number(length)));
            const double value = check.section(QLatin1Char(' '), -2, -2).toDouble();
            if (check.endsWith(QLatin1String("Hz"))) {
                const double frequency = TestSupport::toneFrequency(out, rate);
                QVERIFY2(qAbs(frequency - value) <= 0.03 * value, qPrintable(QString::number(frequency)));
            } else if (check.endsWith(QLatin1String("dB"))) {
                const double change = TestSupport::levelDb(out) - TestSupport::levelDb(in);
                QVERIFY2(qAbs(change - value) < 0.1, qPrintable(QString::number(change)));
            } else if (check.startsWith(QLatin1String("rate"))) {
                VoiceData result;
                QVERIFY(TestSupport::probeFile(output, result));
                QCOMPARE(result.sampleRate, check.section(QLatin1Char(' '), 1).toInt());
            } else if (check == QLatin1String("reversed")) {
                // Frames backwards, the channels of each in their order.
                VoiceData facts;
                QVERIFY(TestSupport::probeFile(input, facts));
                QVector<qint32> expected = TestSupport::decodeSamples(input);
                std::reverse(expected.begin(), expected.end());
                for (auto frame = expected.begin(); frame < expected.end(); frame += facts.channels)
                    std::reverse(frame, frame + facts.channels);
                QCOMPARE(TestSupport::decodeSamples(output), expected);
            }
        }
        if (check == QLatin1String("sum"))
            QVERIFY2(qAbs(total - double(in.size()) / rate) < 0.01, qPrintable(QString::number(total)));
        if (names.isEmpty())
            QVERIFY(!job->errorText.isEmpty());
    }

    // At factor 2.0 a 4 s input gives 2 s: ffmpeg at 1 s of output is half way.
    void speedProgressFollowsTheOutput()
    {
        QTemporaryDir standIn;
        QVERIFY(TestSupport::writeStandInFfmpeg(
            standIn.path(),
            QStringLiteral("printf 'size=  1kB time=00:00:01.00 bitrate=1.6kbits/s speed=1x\\n'\n"
                           "while [ ! -e '%1/gate' ]; do sleep 0.02; done\nexec /usr/bin/ffmpeg \"$@\"")
                .arg(standIn.path())));
        const QString input = inputs.filePath(QStringLiteral("four.wav"));
        QVERIFY(TestSupport::makeTone(input, 4.0));
        ToolsBaseWidget *panel = open(Speed);
        choose(panel, 5);
        QVERIFY(add(panel, {input}));
        g_appDir = standIn.path();
        panel->convertButton_slots();
        VoiceData *job = panel->jobs().first();
        QTRY_VERIFY_WITH_TIMEOUT(job->progress > 0, 60000);
        QCOMPARE(job->progress, 5000);
        QVERIFY(TestSupport::writeFileOfSize(standIn.filePath(QStringLiteral("gate")), 0));
        QVERIFY(waitForEnd(panel));
        QCOMPARE(job->status(), int(VoiceData::Succeeded));
    }

    void stoppedSplitResumesAtItsPiece()
    {
        // A stand-in that cuts at once (a second, as far as it got), but hangs on
        // the second piece until it is rewritten.
        QTemporaryDir bin;
        const QString tone = bin.filePath(QStringLiteral("tone.wav"));
        QVERIFY(TestSupport::makeTone(tone, 1.0));
        const QString cut =
            QStringLiteral("printf 'size= 2kB time=00:00:01.00 x\\n'\ncp '%1' \"$out\"").arg(tone);
        QVERIFY(TestSupport::writeStandInFfmpeg(bin.path(),
                                                "case \"$*\" in *'-ss 00:00:10'*) sleep 30;; esac\n" + cut));
        g_appDir = bin.path();
        auto rule = QSharedPointer<SplitOptions>::create();
        VoiceSplitData job(rule);
        job.fileName = QStringLiteral("talk.mp3");
        job.filePath = inputs.filePath(job.fileName);
        job.duration = 30 * Second;
        rule->byNumber = true;
        rule->number = 3;
        QSignalSpy finished(&job, &VoiceData::convertfinished);
        job.startConvert();
        QTRY_COMPARE_WITH_TIMEOUT(job.segmentIndex, 1, 60000);
        QTRY_COMPARE_WITH_TIMEOUT(job.process.state(), QProcess::Running, 60000);
        job.stopConvert();
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 60000);
        QCOMPARE(job.status(), int(VoiceData::Stopped));
        // The finished piece stays; the one in progress leaves nothing.
        QCOMPARE(QDir(outputs.path()).entryList({"talk*", ".quillvane-*"}, QDir::Files | QDir::Hidden),
                 QStringList{"talk-split-1.mp3"});

        // A piece without audio fails the split there; the pieces before it stay.
        QVERIFY(TestSupport::writeStandInFfmpeg(bin.path(),
                                                "case \"$*\" in *'-ss 00:00:10'*) exit 0;; esac\n" + cut));
        job.startConvert();
        QVERIFY(finished.wait(60000));
        QCOMPARE(job.status(), int(VoiceData::Failed));
        QCOMPARE(job.errorText, QStringLiteral("The output holds no audio."));
        QCOMPARE(QDir(outputs.path()).entryList({"talk*", ".quillvane-*"}, QDir::Files | QDir::Hidden),
                 QStringList{"talk-split-1.mp3"});

        // The plan made at the first start holds; the run goes on at the second piece.
        rule->number = 5;
        QVERIFY(TestSupport::writeStandInFfmpeg(bin.path(), cut));
        job.startConvert();
        QCOMPARE(job.progress, 3333);
        QVERIFY(finished.wait(60000));
        QCOMPARE(job.status(), int(VoiceData::Succeeded));
        QCOMPARE(QDir(outputs.path()).entryList({"talk-split-*"}, QDir::Files, QDir::Name),
                 QStringList({"talk-split-1.mp3", "talk-split-2.mp3", "talk-split-3.mp3"}));
    }

    void stoppedInvertLeavesNoFile_data()
    {
        QTest::addColumn<QString>("hangs"); // the output the stand-in hangs on
        QTest::addColumn<int>("progress");  // once it is half way through its second
        QTest::addRow("decoding") << "*.raw" << 2500;
        QTest::addRow("encoding") << "*.part.*" << 7500;
    }

    void stoppedInvertLeavesNoFile()
    {
        QFETCH(QString, hangs);
        QFETCH(int, progress);
        QTemporaryDir bin;
        QVERIFY(TestSupport::writeStandInFfmpeg(
            bin.path(), QStringLiteral("case \"$out\" in %1) echo unfinished >\"$out\"; printf 'size= 1kB "
                                       "time=00:00:01.00 x\\n'; exec sleep 600;;\n"
                                       "*.raw) head -c 40000 /dev/zero >\"$out\";; esac")
                            .arg(hangs)));
        g_appDir = bin.path();
        VoiceInvertData job;
        job.filePath = inputs.filePath(QStringLiteral("talk.wav"));
        job.duration = 2 * Second;
        job.sampleRate = 44100;
        job.channels = 2;
        QSignalSpy finished(&job, &VoiceData::convertfinished);
        job.startConvert();
        const QDir temp(GetTempFolder());
        const QDir out(outputs.path());
        const auto left = [&] {
            return temp.entryList({"invert-*"}, QDir::Files) +
                   out.entryList({".quillvane-*"}, QDir::Files | QDir::Hidden);
        };
        QTRY_VERIFY_WITH_TIMEOUT(job.process.state() == QProcess::Running && job.progress == progress &&
                                     QFileInfo(job.process.arguments().constLast()).size() > 0,
                                 60000);
        QCOMPARE(left().size(), 2);
        job.stopConvert();
        QVERIFY(finished.wait(60000));
        QCOMPARE(job.status(), int(VoiceData::Stopped));
        QCOMPARE(left(), QStringList());
    }

    void invertRemovesRawFilesOfEndedProcesses()
    {
        const QString dead = GetTempFolder() + QStringLiteral("/invert-99999999-a.raw");
        const QString alive =
            GetTempFolder() + QStringLiteral("/invert-%1-a.raw").arg(QCoreApplication::applicationPid());
        QVERIFY(TestSupport::writeFileOfSize(dead, 1) && TestSupport::writeFileOfSize(alive, 1));
        VoiceInvertData::RemoveStaleRawFiles();
        QVERIFY(!QFileInfo::exists(dead));
        QVERIFY(QFile::remove(alive));
    }

    void trimRefusesAnEmptyRange_data()
    {
        QTest::addColumn<QString>("range");
        QTest::addColumn<bool>("fromRow"); // the row's Convert, else the panel's
        QTest::addRow("end before start") << "1-0" << false;
        QTest::addRow("end at start") << "1-1" << false;
        QTest::addRow("end before start, the row's Convert") << "1-0" << true;
    }

    void trimRefusesAnEmptyRange()
    {
        QFETCH(QString, range);
        QFETCH(bool, fromRow);
        const QString input = inputs.filePath(QStringLiteral("range.wav"));
        QVERIFY(TestSupport::makeTone(input, 2));
        ToolsBaseWidget *panel = open(Trim);
        QVERIFY(add(panel, {input}));
        setOption(panel, range);
        QVERIFY(!panel->notice().isEmpty());
        VoiceData *job = panel->jobs().first();
        if (fromRow)
            panel->Convertitem_slots(job);
        else
            panel->convertButton_slots();
        // Refused with its reason: nothing starts, nothing is written.
        QCOMPARE(job->status(), int(VoiceData::Idle));
        QCOMPARE(panel->notice(), panel->OptionProblem());
        QVERIFY(!job->process.processId());

        setOption(panel, QStringLiteral("0-1"));
        QVERIFY(panel->notice().isEmpty());
        QVERIFY(convert(panel));
        QCOMPARE(job->status(), int(VoiceData::Succeeded));
    }

    void cutHeadersTellTheTruth_data()
    {
        QTest::addColumn<int>("tool");
        QTest::addColumn<QString>("choice");
        QTest::addColumn<QString>("extension");
        // A stream copy keeps FLAC's length of the whole input and, for an MP3
        // piece that holds the input's end, a wrong encoder delay.
        // clang-format off
        QTest::addRow("trim flac") << int(Trim) << "6-99" << "flac";
        QTest::addRow("trim mp3 to the end") << int(Trim) << "6-99" << "mp3";
        QTest::addRow("split flac") << int(Split) << "5 s" << "flac";
        QTest::addRow("split mp3") << int(Split) << "5 s" << "mp3";
        QTest::addRow("split m4a") << int(Split) << "5 s" << "m4a";
        QTest::addRow("split ogg") << int(Split) << "5 s" << "ogg";
        // clang-format on
    }

    void cutHeadersTellTheTruth()
    {
        QFETCH(int, tool);
        QFETCH(QString, choice);
        QFETCH(QString, extension);
        const QString input = inputs.filePath(QStringLiteral("cut.") + extension);
        QVERIFY(QFileInfo::exists(input) || TestSupport::makeTone(input, 12.15));
        const QStringList before = outputFiles();
        ToolsBaseWidget *panel = open(tool);
        setOption(panel, choice);
        QVERIFY(add(panel, {input}));
        QVERIFY(convert(panel));
        QCOMPARE(panel->jobs().first()->status(), int(VoiceData::Succeeded));
        int checked = 0;
        for (const QString &name : outputFiles()) {
            if (before.contains(name))
                continue;
            VoiceData header;
            QVERIFY(TestSupport::probeFile(outputs.filePath(name), header));
            const double decoded = TestSupport::decodeMono(outputs.filePath(name), 44100).size() / 44100.0;
            QVERIFY2(
                qAbs(double(header.duration) / 1e6 - decoded) <= 0.05,
                qPrintable(QStringLiteral("%1: %2 us, %3 s").arg(name).arg(header.duration).arg(decoded)));
            ++checked;
        }
        QCOMPARE(checked, tool == Trim ? 1 : 3);
    }
};

QTEST_MAIN(TestFileTools)
#include "tst_filetools.moc"
