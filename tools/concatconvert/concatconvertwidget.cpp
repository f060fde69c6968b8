#include "tools/concatconvert/concatconvertwidget.h"

#include "engine/jobhelpers.h"
#include "engine/voicedata.h"
#include "tools/concatconvert/voiceconcatitemwidget.h"

void ConcatConvertWidget::CreateItemWidgets()
{
    createItemWidgets<VoiceConcatItemWidget>();
}

void ConcatConvertWidget::AddVoiceData(VoiceData *record)
{
    WholeListToolWidget::AddVoiceData(record);
    // The former last row gains its Down button.
    listWidget->flushTableItemsToUIShow();
}

void ConcatConvertWidget::ItemDeleted_slots(VoiceData *item)
{
    WholeListToolWidget::ItemDeleted_slots(item);
    // The new last row loses its Down button, a new first row its Up.
    listWidget->flushTableItemsToUIShow();
}

QString ConcatConvertWidget::FilterText(int inputCount)
{
    // Stream 0 of every input, audio only, into one output pad.
    QString filter;
    for (int i = 0; i < inputCount; ++i)
        filter += QStringLiteral("[%1:0]").arg(i);
    return filter + QStringLiteral(" concat=n=%1:v=0:a=1 [a]").arg(inputCount);
}

QStringList ConcatConvertWidget::Arguments(const QStringList &inputs, const QString &output)
{
    QStringList args;
    for (const QString &input : inputs)
        args << QStringLiteral("-i") << input;
    args << QStringLiteral("-filter_complex") << FilterText(inputs.size()) << QStringLiteral("-map")
         << QStringLiteral("[a]") << QStringLiteral("-threads") << QStringLiteral("1") << QStringLiteral("-y")
         << OutputFormatArguments(output) << output;
    return args;
}

OutputName ConcatConvertWidget::ResultName(const QString &referencePath)
{
    return OutputNameFor(referencePath, QStringLiteral("-cat"), AudioOutputExtension(referencePath),
                         QStringLiteral("("));
}

WholeListToolWidget::RunPlan ConcatConvertWidget::planRun(const QList<VoiceData *> &entries,
                                                          const QString &output)
{
    totalDuration = 0;
    for (const VoiceData *entry : entries)
        totalDuration += entry->duration;
    RunPlan plan;
    plan.name = ResultName(entries.first()->filePath);
    plan.arguments = Arguments(InputPaths(entries), output);
    plan.referenceDuration = double(totalDuration);
    return plan;
}
