// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#pragma once

#include <QString>

class QSettings;

// The skin: one INI file of colours, images and metrics, read through a
// process-wide instance. A key missing from a group is taken from group
// "main", so a group only carries what differs from the main window's look.
//
// The Get...Sheet/QSS builders turn one skin group and a few sizes into the
// complete style sheet of one kind of control. They keep nothing: every call
// reads the skin anew. Sizes passed as "font size", "item width" and the like
// are design pixels and are scaled; radii and border widths are not.
class SkinHelper_QSetting
{
public:
    static SkinHelper_QSetting *GetInstance();

    void SetSkinConfigFile(const QString &fileName);
    QString GetValue(const QString &group, const QString &key) const;
    QString GetValue(const QString &path) const;

    // kind: 0 a "QWidget{" rule, 1 a "QLabel{" rule, anything else no selector.
    // state: 0 normal, 1 light, 2 clicked, 3 disabled, 4 checked.
    QString GetButtonSheet(int kind, const QString &group, int state, int fontSize, int fontWeight,
                           int borderRadius, int borderWidth, bool leftBorder, bool topBorder,
                           bool rightBorder, bool bottomBorder) const;
    // The same with the group chosen by number: 0..3 are "Button1".."Button4", others "Button1".
    QString GetButtonSheet(int kind, int styleNumber, int state, int fontSize, int fontWeight,
                           int borderRadius, int borderWidth, bool leftBorder, bool topBorder,
                           bool rightBorder, bool bottomBorder) const;

    QString GetQMenuQSS(int itemWidth, int itemHeight, int fontSize, const QString &group) const;
    QString GetQComboBoxQSS(int fontSize, int itemHeight, int borderRadius, int paddingLeft, int paddingRight,
                            int paddingTop, int paddingBottom, const QString &group) const;
    QString GetQCheckBoxQSS(int fontSize, int indicatorSize, const QString &group) const;
    QString GetQRadioButtonQSS(int fontSize, int indicatorSize, const QString &group) const;
    QString GetQLineEditQSS(int fontSize, int borderWidth, int borderRadius, const QString &group) const;
    QString GetQProgressBarQSS(const QString &textAlign, int borderRadius, int chunkWidth, float chunkMargin,
                               const QString &group) const;
    // orientation "vertical" sizes the bar's width, any other word its height.
    QString GetQScrollBarQSS(const QString &orientation, int thickness, const QString &group) const;
    QString GetQSpinBoxQSS(int fontSize, int borderWidth, int borderRadius, const QString &group) const;
    QString GetQDoubleSpinBoxQSS(int fontSize, int borderWidth, int borderRadius, const QString &group) const;
    QString GetQTimeEditQSS(int fontSize, int borderWidth, int borderRadius, const QString &group) const;
    QString GetQSliderQSS(const QString &orientation, int grooveThickness, int handleSize,
                          const QString &group) const;

private:
    SkinHelper_QSetting() = default;

    // One template for check box and radio button, and one for the three
    // spin-box-like controls: they differ only in the class name.
    QString IndicatorSheet(const QString &className, int fontSize, int indicatorSize,
                           const QString &group) const;
    QString SpinSheet(const QString &className, int fontSize, int borderWidth, int borderRadius,
                      const QString &group) const;
    // A skin metric read as an integer (0 when it is not one), at the display scale.
    QString ScaledMetric(const QString &group, const QString &key) const;

    QSettings *reader = nullptr;
    static SkinHelper_QSetting *g_SkinHelper_QSettingManager_Instance;
};
