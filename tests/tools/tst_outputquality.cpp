// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
// Outputs as good as their inputs: bitrate, bit depth, rate, channels, tags
// and cover, the +5 dB ceiling and the standard loudness, measured on the
// results of the real ffmpeg through the panels.
#include <QComboBox>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

#include "app/outputsettingspopup.h"
#include "app/toolsbasewidget.h"
#include "engine/voicedata.h"
#include "support/testsupport.h"
#include "support/toolfixture.h"

class TestOutputQuality : public ToolFixture
{
    Q_OBJECT
private:
    // Facts of a result: codec, rate, ch, bits, kbps, cover, vbr, its tags;
    // tp and lufs (ffmpeg's EBU R128 meter) when `loudness` is set.
    static QMap<QString, QString> measure(const QString &path, bool loudness)
    {
        QMap<QString, QString> facts;
        QProcess probe;
        probe.start(QStringLiteral("ffprobe"),
                    {"-v", "error", "-show_streams", "-show_format", "-of", "json", path});
        probe.waitForFinished(60000);
        const QJsonObject root = QJsonDocument::fromJson(probe.readAllStandardOutput()).object();
        const QJsonObject format = root.value("format").toObject();
        const auto addTags = [&facts](const QJsonObject &tags) {
            for (auto tag = tags.begin(); tag != tags.end(); ++tag)
                facts[tag.key().toLower()] = tag.value().toString();
        };
        addTags(format.value("tags").toObject());
        for (const QJsonValue &each : root.value("streams").toArray()) {
            const QJsonObject stream = each.toObject();
            if (stream.value("disposition").toObject().value("attached_pic").toInt())
                facts["cover"] = "1";
            if (stream.value("codec_type").toString() != QLatin1String("audio"))
                continue;
            addTags(stream.value("tags").toObject());
            facts["codec"] = stream.value("codec_name").toString();
            facts["rate"] = stream.value("sample_rate").toString();
            facts["ch"] = QString::number(stream.value("channels").toInt());
            facts["bits"] = QString::number(qMax(stream.value("bits_per_sample").toInt(),
                                                 stream.value("bits_per_raw_sample").toString().toInt()));
            const QString bitRate = stream.value("bit_rate").toString(format.value("bit_rate").toString());
            facts["kbps"] = QString::number(bitRate.toInt() / 1000);
        }
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        facts["vbr"] = file.read(4096).contains("Xing") ? "1" : "0";
        if (loudness) {
            QProcess meter;
            meter.start(QStringLiteral("ffmpeg"),
                        {"-nostats", "-i", path, "-af", "ebur128=peak=true", "-f", "null", "-"});
            meter.waitForFinished(60000);
            const QString text = QString::fromUtf8(meter.readAllStandardError());
            const auto last = [&text](const char *pattern) {
                QRegularExpressionMatchIterator it =
                    QRegularExpression(QLatin1String(pattern)).globalMatch(text);
                QString value;
                while (it.hasNext())
                    value = it.next().captured(1);
                return value;
            };
            facts["lufs"] = last("I:\\s+(-?[0-9.]+) LUFS");
            facts["tp"] = last("Peak:\\s+(-?[0-9.]+) dBFS");
            facts["lra"] = last("LRA:\\s+([0-9.]+) LU\n");
        }
        return facts;
    }
private slots:
    void results_data()
    {
        QTest::addColumn<int>("tool");
        QTest::addColumn<int>("option");         // entry of the option box; -1 keeps the default
        QTest::addColumn<QStringList>("inputs"); // "file:kind", or "out/file" for an earlier result
        QTest::addColumn<QString>("result");
        // "key=value", "key<=number", "key~number+-tolerance"; "note=1": the row says what changed.
        QTest::addColumn<QStringList>("checks");
        // Choices made in the Output pop-up before converting: "family=quality", "rate=Hz", "channels=n".
        QTest::addColumn<QStringList>("output");
        const QStringList song{"codec=mp3", "kbps=320", "rate=44100", "ch=2", "title=Night Song", "cover=1"};
        const QStringList tags{"title=Night Song", "artist=Quill Band", "album=First",  "track=3",
                               "date=2024",        "genre=Rock",        "comment=kept", "cover=1"};
        // clang-format off
        QTest::addRow("speed keeps 320 kb/s") << int(Speed) << -1 << QStringList{"s.mp3:song"} << "s-1_25.mp3" << song << QStringList();
        QTest::addRow("-5 dB keeps 320 kb/s") << int(Volume) << 2 << QStringList{"v.mp3:song"} << "v.mp3" << song << QStringList();
        QTest::addRow("reverse keeps 320 kb/s") << int(Invert) << -1 << QStringList{"r.mp3:song"} << "r.mp3" << song << QStringList();
        QTest::addRow("mp3 to mp3 keeps 320 kb/s") << int(Format) << 0 << QStringList{"m.mp3:song"} << "m.mp3" << song << QStringList();
        QTest::addRow("+5 dB on loud mp3: -1 dBTP") << int(Volume) << 1 << QStringList{"l.mp3:song"} << "l.mp3" << QStringList{"kbps=320", "tp<=-1.0"} << QStringList();
        QTest::addRow("+5 dB on loud wav: -1 dBTP") << int(Volume) << 1 << QStringList{"l.wav:loud"} << "l.wav" << QStringList{"bits=16", "tp<=-1.0"} << QStringList();
        QTest::addRow("lossless to mp3: V2") << int(Format) << 0 << QStringList{"h.wav:hi24"} << "h.mp3" << QStringList{"codec=mp3", "vbr=1", "kbps~110+-20", "rate=48000"} << QStringList();
        QTest::addRow("lossless to aac: 192k") << int(Format) << 7 << QStringList{"h.wav:hi24"} << "h.m4a" << QStringList{"codec=aac", "kbps~192+-20"} << QStringList();
        QTest::addRow("24-bit wav stays 24-bit") << int(Volume) << 2 << QStringList{"d.wav:hi24"} << "d.wav" << QStringList{"bits=24", "rate=48000", "ch=2"} << QStringList();
        QTest::addRow("24-bit wav to flac") << int(Format) << 2 << QStringList{"d.wav:hi24"} << "d.flac" << QStringList{"bits=24", "rate=48000"} << QStringList();
        QTest::addRow("3gp keeps aac stereo 44.1k") << int(Speed) << -1 << QStringList{"p.3gp:phone"} << "p-1_25.3gp" << QStringList{"codec=aac", "rate=44100", "ch=2"} << QStringList();
        QTest::addRow("amr is 8 kHz mono, said") << int(Format) << 4 << QStringList{"a.wav:tone44"} << "a.amr" << QStringList{"codec=amr_nb", "rate=8000", "ch=1", "note=1"} << QStringList();
        QTest::addRow("opus") << int(Format) << 5 << QStringList{"o.wav:tone44"} << "o.opus" << QStringList{"codec=opus", "ch=2", "note=1"} << QStringList();
        QTest::addRow("concat takes an mp4's audio") << int(Concat) << -1 << QStringList{"c.mp4:clip", "c2.wav:tone44"} << "c-cat.mp4" << QStringList{"codec=aac", "rate=44100", "ch=2"} << QStringList();
        QTest::addRow("mix: highest rate, most channels") << int(Mix) << -1 << QStringList{"x.wav:voice22", "x2.wav:tone44"} << "x-mix.wav" << QStringList{"rate=44100", "ch=2"} << QStringList();
        QTest::addRow("mix: stereo and 5.1 stay stereo") << int(Mix) << -1 << QStringList{"y.wav:tone44", "y2.wav:six"} << "y-mix.wav" << QStringList{"ch=2"} << QStringList();
        // Loud and quiet seconds: one gain keeps their range; one pass alone ends 1.2 LU off.
        QTest::addRow("standardizing: -14 LUFS") << int(Volume) << 0 << QStringList{"n.wav:steps"} << "n.wav" << QStringList{"lufs~-14+-0.5", "lra~2.3+-0.5", "tp<=-1.0", "rate=44100"} << QStringList();
        QTest::addRow("standardizing loud: -14 LUFS") << int(Volume) << 0 << QStringList{"u.wav:loud"} << "u.wav" << QStringList{"lufs~-14+-0.5", "tp<=-1.0"} << QStringList();
        QTest::addRow("tags and cover: mp3 to flac") << int(Format) << 2 << QStringList{"t.mp3:song"} << "t.flac" << tags << QStringList();
        QTest::addRow("... flac to m4a") << int(Format) << 7 << QStringList{"out/t.flac"} << "t.m4a" << tags << QStringList();
        QTest::addRow("... m4a to opus") << int(Format) << 5 << QStringList{"out/t.m4a"} << "t.opus" << tags << QStringList();
        QTest::addRow("... opus to ogg") << int(Format) << 6 << QStringList{"out/t.opus"} << "t.ogg" << tags + QStringList{"codec=vorbis"} << QStringList();
        QTest::addRow("... ogg to mp3") << int(Format) << 0 << QStringList{"out/t.ogg"} << "t.mp3" << tags << QStringList();
        QTest::addRow("output settings: 128k, 22.05 kHz mono") << int(Speed) << -1 << QStringList{"o.mp3:song"} << "o-1_25.mp3" << QStringList{"kbps=128", "rate=22050", "ch=1", "cover=1"} << QStringList{"mp3=128k", "rate=22050", "channels=1"};
        QTest::addRow("a video's picture is no cover") << int(Format) << 0 << QStringList{"w.mp4:clip"} << "w.mp3" << QStringList{"codec=mp3", "cover=", "note="} << QStringList();
        QTest::addRow("wma keeps 320 kb/s") << int(Speed) << -1 << QStringList{"w.wma:lossy320"} << "w-1_25.wma" << QStringList{"codec=wmav2", "kbps~320+-20"} << QStringList();
        QTest::addRow("ac3 keeps 320 kb/s") << int(Volume) << 2 << QStringList{"a.ac3:lossy320"} << "a.ac3" << QStringList{"codec=ac3", "kbps=320"} << QStringList();
        QTest::addRow("24-bit aiff stays 24-bit") << int(Volume) << 2 << QStringList{"f.aiff:aiff24"} << "f.aiff" << QStringList{"codec=pcm_s24be", "bits=24"} << QStringList();
        QTest::addRow("lossless mka stays lossless") << int(Invert) << -1 << QStringList{"k.mka:hi24"} << "k.mka" << QStringList{"codec=flac", "bits=24"} << QStringList();
        // clang-format on
    }

    void results()
    {
        QFETCH(int, tool);
        QFETCH(int, option);
        QFETCH(QStringList, inputs);
        QFETCH(QString, result);
        QFETCH(QStringList, checks);
        QFETCH(QStringList, output);
        const QString loud =
            "aevalsrc=0.6*sin(2*PI*997*t)+0.35*sin(2*PI*3001*t+1)|0.9*sin(2*PI*523*t):s=44100:d=3";
        const QString tags =
            "title=Night Song|artist=Quill Band|album=First|track=3|date=2024|genre=Rock|comment=kept";
        QStringList tagArgs;
        for (const QString &tag : tags.split('|'))
            tagArgs << "-metadata" << tag;
        // What follows "-f lavfi -i" for each kind of input.
        const QMap<QString, QString> kinds{
            {"song", "LOUD -f lavfi -i color=c=red:s=64x64:d=0.1 -map 0:a -map 1:v -frames:v 1 -c:v png "
                     "-disposition:v attached_pic -b:a 320k"},
            {"loud", "LOUD"},
            {"lossy320", "LOUD -b:a 320k"},
            {"aiff24", "anoisesrc=d=2:r=48000:a=0.3:seed=3 -c:a pcm_s24be"},
            {"hi24", "anoisesrc=d=2:r=48000:a=0.3:seed=3 -ac 2 -c:a pcm_s24le"},
            {"phone", "VIDEO -f lavfi -i sine=d=2 -c:v mpeg4 -c:a aac -ac 2"},
            {"clip", "VIDEO -f lavfi -i sine=d=2 -c:v mjpeg -ac 2"},
            {"tone44", "sine=d=2:f=330 -ac 2"},
            {"six", "sine=d=2:f=550 -ac 6"},
            {"voice22", "sine=d=2:f=220:r=22050 -ac 1"},
            {"steps", "aevalsrc=0.02*(1+6*gt(mod(t\\,2)\\,1))*sin(2*PI*440*t):s=44100:d=8 -ac 2"}};
        QStringList paths;
        for (const QString &input : inputs) {
            if (input.startsWith(QLatin1String("out/"))) {
                paths << outputs.filePath(input.mid(4));
                continue;
            }
            paths << this->inputs.filePath(input.section(':', 0, 0));
            const QString kind = input.section(':', 1);
            QString made = kinds.value(kind);
            made.replace("LOUD", loud).replace("VIDEO", "testsrc=size=96x64:rate=10:duration=2");
            QVERIFY(TestSupport::runFfmpeg(QStringList{"-y", "-f", "lavfi", "-i"} + made.split(' ') +
                                           (kind == "song" ? tagArgs : QStringList()) +
                                           QStringList(paths.last())));
        }
        ToolsBaseWidget *panel = open(tool);
        if (option >= 0)
            choose(panel, option);
        auto *popup = panel->findChild<OutputSettingsPopup *>();
        for (const QString &choice : output) {
            const QString name = choice.section('=', 0, 0);
            QComboBox *box = name == "rate"       ? popup->rateBox()
                             : name == "channels" ? popup->channelsBox()
                                                  : nullptr;
            for (OutputFamily family : OutputOptions::QualityFamilies())
                box = OutputOptions::FamilyName(family) == name ? popup->qualityBox(family) : box;
            const QString value = choice.section('=', 1);
            const int index =
                box->findData(name == "rate" || name == "channels" ? QVariant(value.toInt()) : value);
            QVERIFY(index > 0);
            box->setCurrentIndex(index);
            emit box->activated(index);
        }
        const auto keepAll = qScopeGuard([] { OutputOptions().save(); });
        QVERIFY(add(panel, paths));
        QVERIFY(convert(panel));
        const VoiceData *job = panel->jobs().first();
        QCOMPARE(job->status(), int(VoiceData::Succeeded));
        QCOMPARE(QFileInfo(job->outputPath).fileName(), result);

        const bool loudness = checks.filter(QRegularExpression("^(tp|lufs|lra)")).size() > 0;
        QMap<QString, QString> facts = measure(job->outputPath, loudness);
        facts["note"] = job->outputNote.isEmpty() ? "" : "1";
        for (const QString &check : checks) {
            const QRegularExpressionMatch m = QRegularExpression("^(\\w+)(=|<=|~)(.*)$").match(check);
            const QString actual = facts.value(m.captured(1));
            const QString why = QStringLiteral("%1: %2").arg(check, actual);
            if (m.captured(2) == QLatin1String("="))
                QVERIFY2(actual == m.captured(3), qPrintable(why));
            else if (m.captured(2) == QLatin1String("<="))
                QVERIFY2(!actual.isEmpty() && actual.toDouble() <= m.captured(3).toDouble(), qPrintable(why));
            else
                QVERIFY2(!actual.isEmpty() &&
                             qAbs(actual.toDouble() - m.captured(3).section("+-", 0, 0).toDouble()) <=
                                 m.captured(3).section("+-", 1).toDouble(),
                         qPrintable(why));
        }
    }
};

QTEST_MAIN(TestOutputQuality)
#include "tst_outputquality.moc"
