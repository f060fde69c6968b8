// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Quillvane authors
#include "widgets/skinhelper_qsetting.h"

#include <QSettings>

#include "widgets/displayscale.h"

SkinHelper_QSetting *SkinHelper_QSetting::g_SkinHelper_QSettingManager_Instance = nullptr;

namespace {

QString StateName(int state)
{
    switch (state) {
    case 1:
        return QStringLiteral("light");
    case 2:
        return QStringLiteral("clicked");
    case 3:
        return QStringLiteral("disabled");
    case 4:
        return QStringLiteral("checked");
    default:
        return QStringLiteral("normal");
    }
}

QString Number(int value)
{
    return QString::number(value);
}

QString Scaled(int designPixels)
{
    return QString::number(ScaledPx(designPixels));
}

} // namespace

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

QString SkinHelper_QSetting::ScaledMetric(const QString &group, const QString &key) const
{
    return Scaled(GetValue(group, key).toInt(nullptr, 10));
}

QString SkinHelper_QSetting::GetButtonSheet(int kind, const QString &group, int state, int fontSize,
                                            int fontWeight, int borderRadius, int borderWidth,
                                            bool leftBorder, bool topBorder, bool rightBorder,
                                            bool bottomBorder) const
{
    const QString name = StateName(state);
    const QString border = GetValue(group, QStringLiteral("bordercolor_") + name);

    QString sheet;
    if (kind == 1)
        sheet += QStringLiteral("QLabel{");
    else if (kind == 0)
        sheet += QStringLiteral("QWidget{");
    if (fontSize > 0)
        sheet += QStringLiteral("font-size:") + Number(fontSize) + QStringLiteral("px;");
    if (fontWeight > 0)
        sheet += QStringLiteral("font-weight:") + Number(fontWeight) + QStringLiteral(";");
    if (borderRadius > 0)
        sheet += QStringLiteral("border-radius:") + Number(borderRadius) + QStringLiteral("px;");
    sheet +=
        QStringLiteral("color:") + GetValue(group, QStringLiteral("txtcolor_") + name) + QStringLiteral(";");
    sheet += QStringLiteral("background-color:") + GetValue(group, QStringLiteral("bgcolor_") + name) +
             QStringLiteral(";");

    const struct
    {
        const char *edge;
        bool present;
    } edges[] = {{"left", leftBorder}, {"top", topBorder}, {"right", rightBorder}, {"bottom", bottomBorder}};
    for (const auto &e : edges) {
        sheet += QStringLiteral("border-") + QLatin1String(e.edge);
        if (e.present)
            sheet += QStringLiteral(":") + Number(borderWidth) + QStringLiteral("px solid ") + border +
                     QStringLiteral(";");
        else
            sheet += QStringLiteral(": none;");
    }
    sheet += QStringLiteral("}");
    return sheet;
}

QString SkinHelper_QSetting::GetButtonSheet(int kind, int styleNumber, int state, int fontSize,
                                            int fontWeight, int borderRadius, int borderWidth,
                                            bool leftBorder, bool topBorder, bool rightBorder,
                                            bool bottomBorder) const
{
    const int number = (styleNumber >= 0 && styleNumber <= 3) ? styleNumber + 1 : 1;
    return GetButtonSheet(kind, QStringLiteral("Button") + Number(number), state, fontSize, fontWeight,
                          borderRadius, borderWidth, leftBorder, topBorder, rightBorder, bottomBorder);
}

QString SkinHelper_QSetting::GetQMenuQSS(int itemWidth, int itemHeight, int fontSize,
                                         const QString &group) const
{
    const QString bordercolor = GetValue(group, QStringLiteral("bordercolor"));
    const QString bgcolor = GetValue(group, QStringLiteral("bgcolor"));

    return QStringLiteral("QMenu{border:1px solid ") + bordercolor + QStringLiteral(";background-color:") +
           bgcolor + QStringLiteral(";padding-top: 6px;padding-bottom: 6px;}") +

           QStringLiteral("QMenu::item{min-width:") + Scaled(itemWidth) + QStringLiteral("px;height:") +
           Scaled(itemHeight) + QStringLiteral("px;background-color:") + bgcolor +
           QStringLiteral(" ;color:") + GetValue(group, QStringLiteral("txtcolor")) +
           QStringLiteral(";font: ") + Scaled(fontSize) +
           QStringLiteral("px; padding-left: 6px;padding-right: 6px;}") +

           QStringLiteral("QMenu::item:selected{border-color:") + bordercolor + QStringLiteral(";color:") +
           GetValue(group, QStringLiteral("selecttxtcolor")) + QStringLiteral(";background:") +
           GetValue(group, QStringLiteral("selectbgcolor")) + QStringLiteral(";}") +

           QStringLiteral("QMenu::item:!enabled{color:") +
           GetValue(group, QStringLiteral("disabledtxtcolor")) + QStringLiteral(";}") +

           QStringLiteral("QMenu::separator{height: 1px;background-color:") + bordercolor +
           QStringLiteral(";margin-left: 10px;margin-right: 10px;margin-top: 5px;margin-bottom: 5px;}");
}

QString SkinHelper_QSetting::GetQComboBoxQSS(int fontSize, int itemHeight, int borderRadius, int paddingLeft,
                                             int paddingRight, int paddingTop, int paddingBottom,
                                             const QString &group) const
{
    const QString bordercolor = GetValue(group, QStringLiteral("bordercolor"));
    const QString txtcolor = GetValue(group, QStringLiteral("txtcolor"));
    const QString bgcolor = GetValue(group, QStringLiteral("bgcolor"));
    const QString selectbgcolor = GetValue(group, QStringLiteral("selectbgcolor"));
    const QString selecttxtcolor = GetValue(group, QStringLiteral("selecttxtcolor"));
    const QString handlecolor = GetValue(group, QStringLiteral("handlecolor"));
    const QString arrowWidth = ScaledMetric(group, QStringLiteral("downarrow_width"));
    const QString radius = Number(borderRadius);

    return QStringLiteral("QComboBox{combobox-popup:0;border: 1px solid ") + bordercolor +
           QStringLiteral(";border-radius: ") + radius + QStringLiteral("px;padding-left: ") +
           Number(paddingLeft) + QStringLiteral("px;padding-right: ") + Number(paddingRight) +
           QStringLiteral("px;padding-top: ") + Number(paddingTop) + QStringLiteral("px;padding-bottom: ") +
           Number(paddingBottom) + QStringLiteral("px;color:") + txtcolor + QStringLiteral(";font-size:") +
           Scaled(fontSize) + QStringLiteral("px;background-color: ") + bgcolor + QStringLiteral(";}") +

           QStringLiteral("QComboBox:hover{border:1px solid ") +
           GetValue(group, QStringLiteral("selectbordercolor")) + QStringLiteral(";}") +

           QStringLiteral(
               "QComboBox::drop-down{subcontrol-origin: padding; subcontrol-position: top right;width: ") +
           arrowWidth + QStringLiteral("px;border-left-width: 0px;border-left-color: ") + bordercolor +
           QStringLiteral(";border-left-style:solid;border-top-right-radius: ") + radius +
           QStringLiteral("px;border-bottom-right-radius: ") + radius + QStringLiteral("px;}") +

           QStringLiteral("QComboBox::down-arrow {width:") + arrowWidth + QStringLiteral("px;height:") +
           ScaledMetric(group, QStringLiteral("downarrow_height")) + QStringLiteral("px;image: url(") +
           GetValue(group, QStringLiteral("downarrow_image")) + QStringLiteral(");padding-right:6px;}") +

           QStringLiteral("QComboBox QAbstractItemView{border: 1px solid ") + bordercolor +
           QStringLiteral("; color:") + txtcolor + QStringLiteral(";selection-background-color:") +
           selectbgcolor + QStringLiteral(";background-color: ") + bgcolor + QStringLiteral(";}") +

           QStringLiteral("QComboBox QAbstractItemView::item{height:") + Scaled(itemHeight) +
           QStringLiteral("px;}") +

           QStringLiteral("QComboBox QAbstractItemView::item:hover{color:") + selecttxtcolor +
           QStringLiteral(";background-color:") + selectbgcolor + QStringLiteral(";}") +

           QStringLiteral("QComboBox QAbstractItemView::item:selected{color:") + selecttxtcolor +
           QStringLiteral(";background-color:") + selectbgcolor + QStringLiteral(";}") +

           QStringLiteral(
               "QComboBox QAbstractScrollArea QScrollBar:vertical{background:transparent;width:10px;}") +
           QStringLiteral("QComboBox QAbstractScrollArea QScrollBar::handle:vertical{background:") +
           handlecolor + QStringLiteral(";min-height: 30px;border-radius:5px;}") +
           QStringLiteral("QComboBox QAbstractScrollArea QScrollBar::add-line:vertical {border: 0px;"
                          "background:transparent;height: 0px;subcontrol-position: bottom;"
                          "subcontrol-origin: margin;}") +
           QStringLiteral(
               "QComboBox QAbstractScrollArea QScrollBar::sub-line:vertical {border: 0px;"
               "background:transparent;height: 0px;subcontrol-position: top;subcontrol-origin: margin;}") +
           QStringLiteral("QComboBox QAbstractScrollArea QScrollBar::up-arrow:vertical, "
                          "QScrollBar::down-arrow:vertical {border: 0px;width: 0px;height: 0px;"
                          "background: transparent;}") +
           QStringLiteral("QComboBox QAbstractScrollArea QScrollBar::add-page:vertical, "
                          "QScrollBar::sub-page:vertical {background: transparent;}") +

           QStringLiteral(
               "QComboBox QAbstractScrollArea QScrollBar:horizontal{background:transparent;height:10px;}") +
           QStringLiteral("QComboBox QAbstractScrollArea QScrollBar::handle:horizontal{background:") +
           handlecolor + QStringLiteral(";min-width: 30px;border-radius:5px;}") +
           QStringLiteral("QComboBox QAbstractScrollArea QScrollBar::add-line:horizontal {border: 0px;"
                          "background:transparent;height: 0px;subcontrol-position: bottom;"
                          "subcontrol-origin: margin;}") +
           QStringLiteral(
               "QComboBox QAbstractScrollArea QScrollBar::sub-line:horizontal {border: 0px;"
               "background:transparent;height: 0px;subcontrol-position: top;subcontrol-origin: margin;}") +
           QStringLiteral("QComboBox QAbstractScrollArea QScrollBar::up-arrow:horizontal, "
                          "QScrollBar::down-arrow:horizontal {border: 0px;width: 0px;height: 0px;"
                          "background: transparent;}") +
           QStringLiteral("QComboBox QAbstractScrollArea QScrollBar::add-page:horizontal, "
                          "QScrollBar::sub-page:horizontal {background: transparent;}");
}

QString SkinHelper_QSetting::IndicatorSheet(const QString &className, int fontSize, int indicatorSize,
                                            const QString &group) const
{
    const QString size = Scaled(indicatorSize);
    auto rule = [&](const QString &selector, const QString &body) {
        return className + selector + body;
    };
    auto image = [&](const char *key) {
        return QStringLiteral("{image: url(") + GetValue(group, QLatin1String(key)) + QStringLiteral(");}");
    };

    return rule(QStringLiteral(" {border:none;color: "), GetValue(group, QStringLiteral("txtcolor")) +
                                                             QStringLiteral(";font: ") + Scaled(fontSize) +
                                                             QStringLiteral("px;}")) +
           rule(QStringLiteral("::enabled:checked {color: "),
                GetValue(group, QStringLiteral("checked_txtcolor")) + QStringLiteral(";}")) +
           rule(QStringLiteral("::enabled:!checked {color: "),
                GetValue(group, QStringLiteral("uncheck_txtcolor")) + QStringLiteral(";}")) +
           rule(QStringLiteral("::enabled:hover {color: "),
                GetValue(group, QStringLiteral("hover_txtcolor")) + QStringLiteral(";}")) +
           rule(QStringLiteral("::!enabled {color: "),
                GetValue(group, QStringLiteral("disabled_txtcolor")) + QStringLiteral(";}")) +
           rule(QStringLiteral("::indicator {width: "),
                size + QStringLiteral("px;height: ") + size + QStringLiteral("px;}")) +
           rule(QStringLiteral("::indicator:unchecked "), image("icon_uncheck")) +
           rule(QStringLiteral("::indicator:unchecked:hover "), image("icon_uncheck_hover")) +
           // The pressed-unchecked rule is followed by a blank in the shipped sheets.
           rule(QStringLiteral("::indicator:unchecked:pressed "), image("icon_uncheck_press")) +
           QStringLiteral(" ") + rule(QStringLiteral("::indicator:checked "), image("icon_checked")) +
           rule(QStringLiteral("::indicator:checked:hover "), image("icon_checked_hover")) +
           rule(QStringLiteral("::indicator:checked:pressed "), image("icon_checked_press"));
}

QString SkinHelper_QSetting::GetQCheckBoxQSS(int fontSize, int indicatorSize, const QString &group) const
{
    return IndicatorSheet(QStringLiteral("QCheckBox"), fontSize, indicatorSize, group);
}

QString SkinHelper_QSetting::GetQRadioButtonQSS(int fontSize, int indicatorSize, const QString &group) const
{
    return IndicatorSheet(QStringLiteral("QRadioButton"), fontSize, indicatorSize, group);
}

QString SkinHelper_QSetting::GetQLineEditQSS(int fontSize, int borderWidth, int borderRadius,
                                             const QString &group) const
{
    const QString txtcolor = GetValue(group, QStringLiteral("txtcolor"));
    const QString disabled = GetValue(group, QStringLiteral("disabledtxtcolor"));

    return QStringLiteral("QLineEdit{color:") + txtcolor + QStringLiteral(";border:") + Number(borderWidth) +
           QStringLiteral("px solid ") + GetValue(group, QStringLiteral("bordercolor")) +
           QStringLiteral(";border-radius: ") + Number(borderRadius) + QStringLiteral("px;font-size:") +
           Scaled(fontSize) + QStringLiteral("px;background-color: ") +
           GetValue(group, QStringLiteral("bgcolor")) + QStringLiteral(";}") +

           QStringLiteral("QLineEdit:enabled{color:") + txtcolor + QStringLiteral(";}") +

           QStringLiteral("QLineEdit:enabled:hover,QLineEdit:enabled:focus{border-color:") +
           GetValue(group, QStringLiteral("selectbordercolor")) + QStringLiteral(";}") +

           QStringLiteral("QLineEdit:!enabled{border-color:") + disabled + QStringLiteral(";color:") +
           disabled + QStringLiteral(";}");
}

QString SkinHelper_QSetting::GetQProgressBarQSS(const QString &textAlign, int borderRadius, int chunkWidth,
                                                float chunkMargin, const QString &group) const
{
    return QStringLiteral("QProgressBar {background-color:") + GetValue(group, QStringLiteral("bgcolor")) +
           QStringLiteral(";border: 1px solid ") + GetValue(group, QStringLiteral("bordercolor")) +
           QStringLiteral(";border-radius: ") + Number(borderRadius) + QStringLiteral("px;text-align:") +
           textAlign + QStringLiteral(";}") +

           QStringLiteral("QProgressBar::chunk {background-color: ") +
           GetValue(group, QStringLiteral("chunkcolor")) + QStringLiteral(";width: ") + Number(chunkWidth) +
           QStringLiteral("px;margin:") + QString::number(static_cast<double>(chunkMargin), 'g', 6) +
           QStringLiteral("px;}");
}

QString SkinHelper_QSetting::GetQScrollBarQSS(const QString &orientation, int thickness,
                                              const QString &group) const
{
    const QString &o = orientation;
    const QString dimension =
        orientation == QLatin1String("vertical") ? QStringLiteral("width") : QStringLiteral("height");

    return QStringLiteral("QScrollBar:") + o + QStringLiteral("{border:0px;background:transparent;") +
           dimension + QStringLiteral(":") + Number(thickness) +
           QStringLiteral("px;margin-top:0px; margin-bottom:0px;margin-left:0px;margin-right:0px;}") +

           QStringLiteral("QScrollBar::handle:") + o + QStringLiteral(" {background: ") +
           GetValue(group, QStringLiteral("handlecolor")) +
           QStringLiteral("; min-height: 50px;border-radius:5px;}") +

           QStringLiteral("QScrollBar::add-line:") + o +
           QStringLiteral(" {border: 0px;background:transparent;height: 0px;subcontrol-position: bottom;"
                          "subcontrol-origin: margin;}") +

           QStringLiteral("QScrollBar::sub-line:") + o +
           QStringLiteral(" {border: 0px;background:transparent;height: 0px;subcontrol-position: top;"
                          "subcontrol-origin: margin;}") +

           QStringLiteral("QScrollBar::up-arrow:") + o + QStringLiteral(", QScrollBar::down-arrow:") + o +
           QStringLiteral(" {border: 0px;width: 0px;height: 0px;background: transparent;}") +

           QStringLiteral("QScrollBar::add-page:") + o + QStringLiteral(", QScrollBar::sub-page:") + o +
           QStringLiteral(" {background: transparent;}");
}

QString SkinHelper_QSetting::SpinSheet(const QString &className, int fontSize, int borderWidth,
                                       int borderRadius, const QString &group) const
{
    const QString &c = className;
    const QString buttonWidth = ScaledMetric(group, QStringLiteral("arrowbuttonwidth"));
    const QString arrowSize = QStringLiteral(");width: ") +
                              ScaledMetric(group, QStringLiteral("arrow_width")) +
                              QStringLiteral("px;height: ") +
                              ScaledMetric(group, QStringLiteral("arrow_height")) + QStringLiteral("px;}");
    auto arrow = [&](const QString &selector, const char *key) {
        return selector + QStringLiteral("{image: url(") + GetValue(group, QLatin1String(key)) + arrowSize;
    };

    return c + QStringLiteral("{font-size:") + Scaled(fontSize) + QStringLiteral("px;color:") +
           GetValue(group, QStringLiteral("txtcolor")) + QStringLiteral(";border: ") + Number(borderWidth) +
           QStringLiteral("px solid ") + GetValue(group, QStringLiteral("bordercolor")) +
           QStringLiteral(";border-radius: ") + Number(borderRadius) +
           QStringLiteral("px;background-color:") + GetValue(group, QStringLiteral("bgcolor")) +
           QStringLiteral(";}") +

           c +
           QStringLiteral("::up-button{subcontrol-origin: border;subcontrol-position: top right;width: ") +
           buttonWidth + QStringLiteral("px;background-color: transparent;}") +
           arrow(c + QStringLiteral("::up-arrow"), "up_arrow") +
           arrow(c + QStringLiteral("::up-arrow:hover"), "up_arrow_hover") +
           arrow(c + QStringLiteral("::up-arrow:disabled, ") + c + QStringLiteral("::up-arrow:off "),
                 "up_arrow_disabled") +

           c +
           QStringLiteral(
               "::down-button{subcontrol-origin: border;subcontrol-position: bottom right;width: ") +
           buttonWidth + QStringLiteral("px;background-color:transparent;}") +
           arrow(c + QStringLiteral("::down-arrow"), "down_arrow") +
           arrow(c + QStringLiteral("::down-arrow:hover"), "down_arrow_hover") +
           arrow(c + QStringLiteral("::down-arrow:disabled, ") + c + QStringLiteral("::down-arrow:off "),
                 "down_arrow_disabled");
}

QString SkinHelper_QSetting::GetQSpinBoxQSS(int fontSize, int borderWidth, int borderRadius,
                                            const QString &group) const
{
    return SpinSheet(QStringLiteral("QSpinBox"), fontSize, borderWidth, borderRadius, group);
}

QString SkinHelper_QSetting::GetQDoubleSpinBoxQSS(int fontSize, int borderWidth, int borderRadius,
                                                  const QString &group) const
{
    return SpinSheet(QStringLiteral("QDoubleSpinBox"), fontSize, borderWidth, borderRadius, group);
}

QString SkinHelper_QSetting::GetQTimeEditQSS(int fontSize, int borderWidth, int borderRadius,
                                             const QString &group) const
{
    return SpinSheet(QStringLiteral("QTimeEdit"), fontSize, borderWidth, borderRadius, group);
}

QString SkinHelper_QSetting::GetQSliderQSS(const QString &orientation, int grooveThickness, int handleSize,
                                           const QString &group) const
{
    const QString &o = orientation;
    const QString dimension =
        orientation == QLatin1String("vertical") ? QStringLiteral("width") : QStringLiteral("height");
    const QString handlecolor = GetValue(group, QStringLiteral("handlecolor"));
    const QString handle = Scaled(handleSize);
    const QString halfHandle = Scaled(handleSize / 2);
    auto colour = [&](const char *key) {
        return GetValue(group, QLatin1String(key));
    };

    return QStringLiteral("QSlider::groove:") + o + QStringLiteral(" {border: 0px;") + dimension +
           QStringLiteral(": ") + Scaled(grooveThickness) + QStringLiteral("px;background:") +
           colour("bglinecolor") + QStringLiteral(";border-radius:") + Scaled(grooveThickness / 2) +
           QStringLiteral("px;}") +

           QStringLiteral("QSlider::handle:") + o + QStringLiteral("{border: 1px solid ") + handlecolor +
           QStringLiteral(";width: ") + handle + QStringLiteral("px;height: ") + handle +
           QStringLiteral("px;background:") + handlecolor + QStringLiteral(";border-radius: ") + halfHandle +
           QStringLiteral("px;margin-top:-") + halfHandle + QStringLiteral("px;margin-bottom:-") +
           halfHandle + QStringLiteral("px;}") +

           QStringLiteral("QSlider::add-page:") + o +
           QStringLiteral("{background:qlineargradient(spread:pad, x1:0,y1:1,x2:0,y2:0,stop:0 ") +
           colour("addpagecolor1") + QStringLiteral(",stop:0.25 ") + colour("addpagecolor2") +
           QStringLiteral(",stop:0.5 ") + colour("addpagecolor3") + QStringLiteral(",stop:1 ") +
           colour("addpagecolor4") + QStringLiteral(");}") +

           QStringLiteral("QSlider::sub-page:") + o +
           QStringLiteral("{background:qlineargradient(spread:pad, x1:0,y1:1,x2:0,y2:0,stop:0 ") +
           colour("subpagecolor1") + QStringLiteral(",stop:0.25 ") + colour("subpagecolor2") +
           QStringLiteral(", stop:0.5 ") + colour("subpagecolor3") + QStringLiteral(", stop:1 ") +
           colour("subpagecolor4") + QStringLiteral(");}");
}
