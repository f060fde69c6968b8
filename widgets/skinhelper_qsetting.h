#pragma once

#include <QString>

class QSettings;

// The skin: one INI file of colours, images and metrics, read through a
// process-wide instance. A key missing from a group is taken from group
// "main", so a group only carries what differs from the main window's look.
class SkinHelper_QSetting
{
public:
    static SkinHelper_QSetting *GetInstance();

    void SetSkinConfigFile(const QString &fileName);
    QString GetValue(const QString &group, const QString &key) const;
    QString GetValue(const QString &path) const;

private:
    SkinHelper_QSetting() = default;

    QSettings *reader = nullptr;
    static SkinHelper_QSetting *g_SkinHelper_QSettingManager_Instance;
};
