// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "cli/clicommand.h"

#include <QCommandLineParser>
#include <QRegularExpression>

#include "common/globals.h"
#include "engine/namepattern.h"

namespace {
constexpr qint64 Second = 1000000;
const QString Program = QStringLiteral("quillvane-cli");

struct ToolEntry
{
    CliCommand::Tool tool;
    const char *name;
    const char *summary;
};

const ToolEntry Tools[] = {
    {CliCommand::Convert, "convert", "Format Convert: each file into another format"},
    {CliCommand::Speed, "speed", "Speed Adjust: faster or slower at the same pitch"},
    {CliCommand::Volume, "volume", "Volume Adjust: standard loudness, or 5 dB up or down"},
    {CliCommand::Reverse, "reverse", "Voice Reverse: each file played backwards"},
    {CliCommand::Mix, "mix", "Voice Mix: all files into one; the first is the reference"},
    {CliCommand::Split, "split", "Voice Split: each file into pieces"},
    {CliCommand::Concat, "concat", "Voice Concat: all files joined in argument order"},
    {CliCommand::Trim, "trim", "Voice Trim: keeps a time range of each file"},
    {CliCommand::Separate, "separate", "Voice separation: the voice and the rest into two files"},
    {CliCommand::Voice, "voice", "Voice Changer: the voice turned into a speaker's"},
};

QString TopHelp()
{
    QString text = QStringLiteral("Usage: %1 COMMAND [options] FILE|FOLDER...\n"
                                  "       %1 [COMMAND] --help\n\n"
                                  "Every Quillvane tool without a window.\n\nCommands:\n")
                       .arg(Program);
    for (const ToolEntry &entry : Tools)
        text +=
            QStringLiteral("  %1%2\n").arg(QLatin1String(entry.name), -10).arg(QLatin1String(entry.summary));
    text += QStringLiteral("\nOptions:\n"
                           "  -h, --help  This text, or with a command its options.\n"
                           "  --version   The version.\n\n"
                           "Exit status: 0 every job succeeded, 1 a job failed, 2 a usage error.\n");
    return text;
}

// The distinct values a list-index lookup gives: unknown indices repeat the first.
QStringList Distinct(QString (*at)(int))
{
    QStringList names;
    for (int i = 0; i < 16; ++i) {
        if (!names.contains(at(i)))
            names.append(at(i));
    }
    return names;
}

QString SpeakerName(const QString &model)
{
    return model.endsWith(QLatin1String(".pth")) ? model.chopped(4) : model;
}

// The entry of `choices` that `text` names regardless of case, or empty.
QString Choose(const QString &text, const QStringList &choices)
{
    for (const QString &choice : choices) {
        if (choice.compare(text, Qt::CaseInsensitive) == 0)
            return choice;
    }
    return QString();
}

CliCommand::Parsed Usage(const QString &name, const QString &problem)
{
    CliCommand::Parsed parsed;
    parsed.exitCode = CliCommand::UsageError;
    const QString command = name.isEmpty() ? Program : Program + QLatin1Char(' ') + name;
    parsed.err = QStringLiteral("%1: %2\nTry '%3 --help'.\n").arg(Program, problem, command);
    return parsed;
}

// "keep" as 0, a whole number as itself, anything else as -1 (never a valid choice).
int KeepOrNumber(const QString &text)
{
    if (text.compare(QLatin1String("keep"), Qt::CaseInsensitive) == 0)
        return 0;
    bool number = false;
    const int value = text.toInt(&number);
    return number && value > 0 ? value : -1;
}

QString RateList()
{
    QStringList rates;
    for (int rate : OutputOptions::SampleRates())
        rates << QString::number(rate);
    return rates.join(QLatin1String(", "));
}

QString ChoiceList(const QStringList &choices)
{
    return choices.join(QLatin1Char('|'));
}
} // namespace

qint64 CliCommand::ParseTime(const QString &text)
{
    static const QRegularExpression form(
        QStringLiteral("^(?:(?:(\\d+):)?(\\d+):)?(\\d+)(?:\\.(\\d{1,6}))?$"));
    const QRegularExpressionMatch match = form.match(text.trimmed());
    if (!match.hasMatch())
        return -1;
    const qint64 hours = match.captured(1).toLongLong();
    const qint64 minutes = match.captured(2).toLongLong();
    const qint64 seconds = match.captured(3).toLongLong();
    const QString fraction = match.captured(4);
    if (hours > 99 || (!match.captured(1).isEmpty() && minutes > 59) ||
        (!match.captured(2).isEmpty() && seconds > 59))
        return -1;
    const qint64 micros = fraction.isEmpty() ? 0 : fraction.leftJustified(6, QLatin1Char('0')).toLongLong();
    return ((hours * 60 + minutes) * 60 + seconds) * Second + micros;
}

CliCommand::Parsed CliCommand::Parse(const QStringList &arguments, CliCommand &command)
{
    Parsed parsed;
    const QString first = arguments.value(0);
    if (first == QLatin1String("-h") || first == QLatin1String("--help")) {
        parsed.exitCode = Succeeded;
        parsed.out = TopHelp();
        return parsed;
    }
    if (first == QLatin1String("--version")) {
        parsed.exitCode = Succeeded;
        parsed.out = QStringLiteral("%1 %2\n").arg(Program, QLatin1String(AppIdentity::Version));
        return parsed;
    }
    if (first.isEmpty())
        return Usage(QString(), QStringLiteral("no command given"));
    const ToolEntry *entry = nullptr;
    for (const ToolEntry &each : Tools) {
        if (first == QLatin1String(each.name))
            entry = &each;
    }
    if (!entry)
        return Usage(QString(), QStringLiteral("unknown command '%1'").arg(first));
    command.tool = entry->tool;
    command.name = first;

    const QStringList formats = FormatOptions::Extensions();
    const QStringList factors = SpeedOptions::Factors();
    const QStringList modes{QStringLiteral("standardize"), QStringLiteral("+5dB"), QStringLiteral("-5dB")};
    const QStringList models = Distinct(&SeparationOptions::ModelName);
    const QStringList speakerModels = Distinct(&SpeakerOptions::SpeakerModel);
    QStringList speakers;
    for (const QString &model : speakerModels)
        speakers << SpeakerName(model);

    QCommandLineParser parser;
    parser.setApplicationDescription(QLatin1String(entry->summary) + QLatin1Char('.'));
    QList<QCommandLineOption> toolOptions;
    QString toolUsage;
    switch (command.tool) {
    case Convert:
        toolOptions << QCommandLineOption(QStringLiteral("to"),
                                          QStringLiteral("The format: %1 (default: the window's choice).")
                                              .arg(formats.join(QLatin1String(", "))),
                                          QStringLiteral("FORMAT"));
        toolUsage = QStringLiteral(" --to ") + ChoiceList(formats);
        break;
    case Speed:
        toolOptions << QCommandLineOption(
            QStringLiteral("factor"),
            QStringLiteral("The tempo factor: %1 (default: the window's choice).")
                .arg(factors.join(QLatin1String(", "))),
            QStringLiteral("F"));
        toolUsage = QStringLiteral(" --factor F");
        break;
    case Volume:
        toolOptions << QCommandLineOption(
            QStringLiteral("mode"),
            QStringLiteral(
                "standardize (loudness normalisation), +5dB or -5dB (default: the window's choice)."),
            QStringLiteral("MODE"));
        toolUsage = QStringLiteral(" --mode ") + ChoiceList(modes);
        break;
    case Split:
        toolOptions
            << QCommandLineOption(QStringLiteral("every"),
                                  QStringLiteral("Pieces of this length: seconds or H:M:S, 2 s to 4 h."),
                                  QStringLiteral("SECONDS"))
            << QCommandLineOption(QStringLiteral("parts"),
                                  QStringLiteral("This many pieces of equal length, 2 to 100."),
                                  QStringLiteral("N"))
            << QCommandLineOption(QStringLiteral("silence"),
                                  QStringLiteral("Cut where the audio stays quiet."))
            << QCommandLineOption(QStringLiteral("threshold"),
                                  QStringLiteral("With --silence: quieter than this is silence, -90 to 0 dB "
                                                 "(default -35)."),
                                  QStringLiteral("DB"))
            << QCommandLineOption(
                   QStringLiteral("min-silence"),
                   QStringLiteral("With --silence: a silence lasts at least this many seconds, "
                                  "0.1 to 60 (default 0.5)."),
                   QStringLiteral("S"));
        toolUsage = QStringLiteral(" --every SECONDS | --parts N | --silence [--threshold DB] "
                                   "[--min-silence S]");
        break;
    case Trim:
        toolOptions
            << QCommandLineOption(QStringLiteral("start"),
                                  QStringLiteral("Start of the range kept: H:M:S or seconds (default 0)."),
                                  QStringLiteral("T"))
            << QCommandLineOption(QStringLiteral("end"),
                                  QStringLiteral("End of the range, after its start (default 1:00:00)."),
                                  QStringLiteral("T"));
        toolUsage = QStringLiteral(" --start T --end T");
        break;
    case Separate:
        toolOptions << QCommandLineOption(QStringLiteral("model"),
                                          QStringLiteral("The separation model: %1 (default: the first).")
                                              .arg(models.join(QLatin1String(", "))),
                                          QStringLiteral("NAME"));
        toolUsage = QStringLiteral(" --model NAME");
        break;
    case Voice:
        toolOptions << QCommandLineOption(
            QStringLiteral("speaker"),
            QStringLiteral("The speaker: %1 (default: the first).").arg(speakers.join(QLatin1String(", "))),
            QStringLiteral("NAME"));
        toolUsage = QStringLiteral(" --speaker NAME");
        break;
    case Reverse:
    case Mix:
    case Concat:
        break;
    }
    if (command.encodes()) {
        QStringList families;
        for (OutputFamily family : OutputOptions::QualityFamilies())
            families << OutputOptions::FamilyName(family);
        toolOptions << QCommandLineOption(
                           QStringLiteral("quality"),
                           QStringLiteral("A format's quality, FORMAT=VALUE (%1), e.g. mp3=V2, mp3=320k, "
                                          "aac=192k, opus=128k, vorbis=q6, flac=8, wav=24; repeatable "
                                          "(default: the window's Output settings, else keep).")
                               .arg(families.join(QLatin1String(", "))),
                           QStringLiteral("FORMAT=VALUE"))
                    << QCommandLineOption(QStringLiteral("rate"),
                                          QStringLiteral("Sample rate in Hz or keep (the input's)."),
                                          QStringLiteral("HZ"))
                    << QCommandLineOption(QStringLiteral("channels"),
                                          QStringLiteral("1, 2 or keep (the input's)."), QStringLiteral("N"));
    }
    const QCommandLineOption namePattern(
        QStringLiteral("name"),
        QStringLiteral("How results are named: {name} {tool} {ext} {artist} {title} {n}, e.g. "
                       "\"{artist} - {title}{n}.{ext}\" (default: the window's setting, else "
                       "%1).")
            .arg(NamePattern::Default()),
        QStringLiteral("PATTERN"));
    const QCommandLineOption onCollision(
        QStringLiteral("on-collision"),
        QStringLiteral("What a taken name does: number (name (0).mp3 ...) or skip the file (default: the "
                       "window's setting, else number)."),
        QStringLiteral("RULE"));
    const QCommandLineOption keepTree(
        QStringLiteral("keep-tree"),
        QStringLiteral("With -r: the results keep the folders' sub-folders under the output folder."));
    const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("The output folder (default: the window's setting)."),
                                    QStringLiteral("DIR"));
    const QCommandLineOption jobs({QStringLiteral("j"), QStringLiteral("jobs")},
                                  QStringLiteral("Jobs at once (default: the window's stored limit)."),
                                  QStringLiteral("N"));
    const QCommandLineOption recursive(
        {QStringLiteral("r"), QStringLiteral("recursive")},
        QStringLiteral("A folder adds the media files of its sub-folders too."));
    const QCommandLineOption json(
        QStringLiteral("json"),
        QStringLiteral("One JSON object per line: each job's start, progress and end."));
    const QCommandLineOption quiet({QStringLiteral("q"), QStringLiteral("quiet")},
                                   QStringLiteral("No progress and no summary; failures still show."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("These options."));
    parser.addOptions(toolOptions);
    parser.addOptions({output, namePattern, onCollision, keepTree, jobs, recursive, json, quiet, help});
    parser.addPositionalArgument(QStringLiteral("files"),
                                 command.wholeList()
                                     ? QStringLiteral("Audio or video files, in order, or folders of them.")
                                     : QStringLiteral("Audio or video files, or folders of them."),
                                 QStringLiteral("FILE|FOLDER..."));

    if (!parser.parse(QStringList{Program} + arguments.mid(1)))
        return Usage(command.name, parser.errorText());
    if (parser.isSet(help)) {
        QString text = parser.helpText();
        text =
            QStringLiteral("Usage: %1 %2%3 [options] FILE|FOLDER...").arg(Program, command.name, toolUsage) +
            text.mid(text.indexOf(QLatin1Char('\n')));
        parsed.exitCode = Succeeded;
        parsed.out = text;
        return parsed;
    }

    command.outputFolder = parser.value(output);
    if (parser.isSet(output) && command.outputFolder.isEmpty())
        return Usage(command.name, QStringLiteral("--output needs a folder"));
    if (parser.isSet(jobs)) {
        bool number = false;
        command.jobs = parser.value(jobs).toInt(&number);
        if (!number || command.jobs < 1)
            return Usage(command.name, QStringLiteral("--jobs needs a number of 1 or more"));
        // Held within the window's bounds.
        command.jobs = qMin(command.jobs, MaxJobLimit());
    }
    command.recursive = parser.isSet(recursive);
    command.json = parser.isSet(json);
    command.quiet = parser.isSet(quiet);
    command.paths = parser.positionalArguments();

    const auto value = [&parser](const char *name) {
        return parser.value(QLatin1String(name));
    };
    const auto isSet = [&parser](const char *name) {
        return parser.isSet(QLatin1String(name));
    };
    switch (command.tool) {
    case Convert:
        command.format = FormatOptions::Load();
        if (isSet("to")) {
            command.format.format = Choose(value("to"), formats);
            if (command.format.format.isEmpty())
                return Usage(command.name, QStringLiteral("--to takes %1").arg(ChoiceList(formats)));
        }
        break;
    case Speed:
        command.speed = SpeedOptions::Load();
        if (isSet("factor")) {
            bool number = false;
            const double wanted = value("factor").toDouble(&number);
            command.speed.factor.clear();
            for (const QString &factor : factors) {
                if (number && qFuzzyCompare(factor.toDouble(), wanted))
                    command.speed.factor = factor;
            }
            if (command.speed.factor.isEmpty())
                return Usage(
                    command.name,
                    QStringLiteral("--factor takes one of %1").arg(factors.join(QLatin1String(", "))));
        }
        break;
    case Volume:
        command.volume = VolumeOptions::Load();
        if (isSet("mode")) {
            const int mode = modes.indexOf(Choose(value("mode"), modes));
            if (mode < 0)
                return Usage(command.name, QStringLiteral("--mode takes %1").arg(ChoiceList(modes)));
            command.volume.mode = mode;
        }
        break;
    case Split: {
        if (int(isSet("every")) + int(isSet("parts")) + int(isSet("silence")) != 1)
            return Usage(command.name, QStringLiteral("split takes one of --every, --parts and --silence"));
        if ((isSet("threshold") || isSet("min-silence")) && !isSet("silence"))
            return Usage(command.name, QStringLiteral("--threshold and --min-silence go with --silence"));
        command.split.bySilence = isSet("silence");
        command.split.byNumber = isSet("parts");
        if (command.split.bySilence) {
            bool number = true;
            if (isSet("threshold"))
                command.split.silence.thresholdDb = value("threshold").toDouble(&number);
            if (!number || command.split.silence.thresholdDb < -90 || command.split.silence.thresholdDb > 0)
                return Usage(command.name, QStringLiteral("--threshold takes -90 to 0 dB"));
            if (isSet("min-silence")) {
                const double seconds = value("min-silence").toDouble(&number);
                if (!number || seconds < 0.1 || seconds > 60)
                    return Usage(command.name, QStringLiteral("--min-silence takes 0.1 to 60 seconds"));
                command.split.silence.minSilence = qRound64(seconds * Second);
            }
        } else if (command.split.byNumber) {
            bool number = false;
            command.split.number = value("parts").toInt(&number);
            if (!number || command.split.number < 2 || command.split.number > 100)
                return Usage(command.name, QStringLiteral("--parts takes a number from 2 to 100"));
        } else {
            command.split.time = ParseTime(value("every"));
            if (command.split.time < 2 * Second || command.split.time > 4 * 3600 * Second)
                return Usage(command.name,
                             QStringLiteral("--every takes a length from 2 seconds to 4:00:00"));
        }
        break;
    }
    case Trim:
        if (isSet("start"))
            command.trim.start = ParseTime(value("start"));
        if (isSet("end"))
            command.trim.end = ParseTime(value("end"));
        if (command.trim.start < 0 || command.trim.end < 0 || command.trim.start > 23 * 3600 * Second ||
            command.trim.end >= 24 * 3600 * Second)
            return Usage(command.name, QStringLiteral("--start and --end take a time up to 23:59:59"));
        // Whole seconds, as the cut takes them.
        if (command.trim.end / Second <= command.trim.start / Second)
            return Usage(command.name, QStringLiteral("the end time must be after the start time"));
        break;
    case Separate:
        if (isSet("model")) {
            command.separation.model = Choose(value("model"), models);
            if (command.separation.model.isEmpty())
                return Usage(command.name, QStringLiteral("--model takes %1").arg(ChoiceList(models)));
        }
        break;
    case Voice:
        if (isSet("speaker")) {
            const QString speaker = Choose(SpeakerName(value("speaker")), speakers);
            if (speaker.isEmpty())
                return Usage(command.name, QStringLiteral("--speaker takes %1").arg(ChoiceList(speakers)));
            command.speaker.model = speakerModels.at(speakers.indexOf(speaker));
        }
        break;
    case Reverse:
    case Mix:
    case Concat:
        break;
    }
    command.output = OutputOptions::Load();
    if (parser.isSet(namePattern) && !command.output.setNamePattern(parser.value(namePattern))) {
        QString problem;
        NamePattern::IsValid(parser.value(namePattern), &problem);
        return Usage(command.name, QStringLiteral("--name: ") + problem);
    }
    if (parser.isSet(onCollision) && !command.output.setOnCollision(parser.value(onCollision)))
        return Usage(command.name, QStringLiteral("--on-collision takes number|skip"));
    command.output.keepTree = parser.isSet(keepTree);
    if (command.output.keepTree && !command.recursive)
        return Usage(command.name, QStringLiteral("--keep-tree goes with --recursive"));
    if (command.encodes()) {
        for (const QString &quality : parser.values(QStringLiteral("quality"))) {
            if (!command.output.setQuality(quality))
                return Usage(command.name, QStringLiteral("--quality takes FORMAT=VALUE, e.g. mp3=V2 "
                                                          "(see quillvane-cli(1) for the values)"));
        }
        if (isSet("rate") && !command.output.setSampleRate(KeepOrNumber(value("rate"))))
            return Usage(command.name, QStringLiteral("--rate takes keep or one of %1 (Hz)").arg(RateList()));
        if (isSet("channels") && !command.output.setChannels(KeepOrNumber(value("channels"))))
            return Usage(command.name, QStringLiteral("--channels takes keep, 1 or 2"));
    }
    if (command.paths.isEmpty())
        return Usage(command.name, QStringLiteral("no files given"));
    return parsed;
}
