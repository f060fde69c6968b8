#include "widgets/skinhelper_qsetting.h"

#include <QSettings>

SkinHelper_QSetting *SkinHelper_QSetting::g_SkinHelper_QSettingManager_Instance = nullptr;

SkinHelper_QSetting *SkinHelper_QSetting::GetInstance()
{
    if (!g_SkinHelper_QSettingManager_Instance)
        g_SkinHelper_QSettingManager_Instance = new SkinHelper_QSetting;
    return g_SkinHelper_QSettingManager_Instance;
}

void SkinHelper_QSetting::SetSkinConfigFile(const QString &fileName)
{
    if (reader) {
        // Later: a caller may still hold style values read through it in this event.
        reader->deleteLater();
        reader = nullptr;
    }
    reader = new QSettings(fileName, QSettings::IniFormat);
    reader->setIniCodec("UTF-8");
}

QString SkinHelper_QSetting::GetValue(const QString &group, const QString &key) const
{
    return GetValue(group + QLatin1Char('/') + key);
}

QString SkinHelper_QSetting::GetValue(const QString &path) const
{
    if (!reader)
        return QString();
    const QString value = reader->value(path, QString()).toString();
    if (!value.isEmpty())
        return value;
    const int slash = path.indexOf(QLatin1Char('/'));
    const QString fallback = QStringLiteral("main") + (slash >= 0 ? path.mid(slash) : path);
    return reader->value(fallback, QString()).toString();
}
