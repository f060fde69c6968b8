#include "tools/mixconvert/mixconvertwidget.h"

#include "engine/jobhelpers.h"
#include "engine/voicedata.h"
#include "tools/mixconvert/voicemixitemwidget.h"

void MixConvertWidget::CreateItemWidgets()
{
    createItemWidgets<VoiceMixItemWidget>();
}

QString MixConvertWidget::FilterText(int inputCount)
{
    return QStringLiteral("amix=inputs=%1:duration=first").arg(inputCount);
}

QStringList MixConvertWidget::Arguments(const QStringList &inputs, const QString &output)
{
    QStringList args;
    for (const QString &input : inputs)
        args << QStringLiteral("-i") << input;
    args << QStringLiteral("-vn") << QStringLiteral("-filter_complex") << FilterText(inputs.size())
         << QStringLiteral("-threads") << QStringLiteral("1") << QStringLiteral("-y")
         << OutputFormatArguments(output) << output;
    return args;
}

OutputName MixConvertWidget::ResultName(const QString &referencePath)
{
    return OutputNameFor(referencePath, QStringLiteral("-mix"), AudioOutputExtension(referencePath));
}

WholeListToolWidget::RunPlan MixConvertWidget::planRun(const QList<VoiceData *> &entries,
                                                       const QString &output)
{
    const VoiceData *reference = entries.first();
    RunPlan plan;
    plan.name = ResultName(reference->filePath);
    plan.arguments = Arguments(InputPaths(entries), output);
    // The mix stops with the first input.
    plan.referenceDuration = double(reference->duration);
    return plan;
}
