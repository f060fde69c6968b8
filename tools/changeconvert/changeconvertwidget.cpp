#include "tools/changeconvert/changeconvertwidget.h"

#include "tools/changeconvert/voicechangedata.h"

QString ChangeConvertWidget::SpeakerModel(int index)
{
    switch (index) {
    case 1:
        return QStringLiteral("lumoV1.pth");
    case 2:
        return QStringLiteral("tavielV1.pth");
    case 3:
        return QStringLiteral("orsindav2-xi.pth");
    default:
        return QStringLiteral("pellimorV2.pth");
    }
}

QString ChangeConvertWidget::captionText() const
{
    return tr("Speaker:");
}

QStringList ChangeConvertWidget::entryTexts() const
{
    return {tr("arvo-pellimor"), tr("lumo"), tr("taviel"), tr("orsinda")};
}

void ChangeConvertWidget::choose(int index)
{
    g_changeModel = SpeakerModel(index);
}

void ChangeConvertWidget::AddVoiceData(VoiceData *record)
{
    ToolsBaseWidget::AddVoiceData(record);
    adoptJob(new VoiceChangeData, record);
}
