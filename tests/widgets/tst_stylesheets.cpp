#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "app/globals.h"
#include "widgets/skinhelper_qsetting.h"

// The builders' texts are pasted into setStyleSheet as they are, so they are
// compared character for character.
class TestStyleSheets : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void comboBoxFirstRuleAndDropDownWidth();
    void buttonSheet_data();
    void buttonSheet();
    void buttonSheetByStyleNumber_data();
    void buttonSheetByStyleNumber();
    void scrollBarThickness_data();
    void scrollBarThickness();
    void menuOfTheTitleBar();
    void progressBarMargin_data();
    void progressBarMargin();
    void spinFamilyDiffersOnlyInClassName();
    void radioIsCheckBoxWithItsClassName();
    void missingKeyFallsBackToMainInsideBuilder();
    void designSizesFollowTheScale();

private:
    SkinHelper_QSetting *skin = nullptr;
};

void TestStyleSheets::init()
{
    skin = SkinHelper_QSetting::GetInstance();
    skin->SetSkinConfigFile(QStringLiteral(":/skin/default.ini"));
    g_scale = 1.0f;
}

void TestStyleSheets::cleanup()
{
    g_scale = 1.0f;
}

void TestStyleSheets::comboBoxFirstRuleAndDropDownWidth()
{
    const QString sheet = skin->GetQComboBoxQSS(12, 30, 3, 1, 1, 1, 1, QStringLiteral("QComboBox"));
    QVERIFY2(sheet.startsWith(QStringLiteral(
                 "QComboBox{combobox-popup:0;border: 1px solid #393b3e;border-radius: 3px;padding-left: 1px;"
                 "padding-right: 1px;padding-top: 1px;padding-bottom: 1px;color:#ffffff;font-size:12px;"
                 "background-color: #2e3033;}QComboBox:hover{")),
             qPrintable(sheet.left(300)));
    QVERIFY(
        sheet.contains(QStringLiteral("QComboBox::drop-down{subcontrol-origin: padding; subcontrol-position: "
                                      "top right;width: 24px;border-left-width: 0px;")));
    QVERIFY(sheet.contains(QStringLiteral("QComboBox::down-arrow {width:24px;height:24px;"
                                          "image: url(:/images/arrowDown.png);padding-right:6px;}")));
    QVERIFY(sheet.endsWith(QStringLiteral("QComboBox QAbstractScrollArea QScrollBar::add-page:horizontal, "
                                          "QScrollBar::sub-page:horizontal {background: transparent;}")));
}

void TestStyleSheets::buttonSheet_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("group");
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("fontSize");
    QTest::addColumn<int>("fontWeight");
    QTest::addColumn<bool>("edges");
    QTest::addColumn<QString>("expected");

    QTest::addRow("label, Button1, light, no edges") << 1 << "Button1" << 1 << 0 << 0 << false
                                                     << "QLabel{border-radius:4px;color:#ffffff;background-"
                                                        "color:#2559b2;border-left: none;border-top: none;"
                                                        "border-right: none;border-bottom: none;}";
    QTest::addRow("disabled state draws every edge in its border colour")
        << 0 << "Button2" << 3 << 14 << 600 << true
        << "QWidget{font-size:14px;font-weight:600;border-radius:4px;color:#525353;background-color:#202124;"
           "border-left:1px solid #28292d;border-top:1px solid #28292d;border-right:1px solid #28292d;"
           "border-bottom:1px solid #28292d;}";
    QTest::addRow("unknown kind has no selector but still closes")
        << 7 << "Button1" << 0 << 0 << 0 << false
        << "border-radius:4px;color:#ffffff;background-color:#3573de;border-left: none;border-top: none;"
           "border-right: none;border-bottom: none;}";
    QTest::addRow("unknown state uses normal")
        << 1 << "Button3" << 9 << 0 << 0 << true
        << "QLabel{border-radius:4px;color:#3573de;background-color:#2e3033;border-left:1px solid #3573de;"
           "border-top:1px solid #3573de;border-right:1px solid #3573de;border-bottom:1px solid #3573de;}";
    QTest::addRow("checked state") << 1 << "Button2" << 4 << 0 << 0 << false
                                   << "QLabel{border-radius:4px;color:#ffffff;background-color:#202124;"
                                      "border-left: none;border-top: none;"
                                      "border-right: none;border-bottom: none;}";
}

void TestStyleSheets::buttonSheet()
{
    QFETCH(int, kind);
    QFETCH(QString, group);
    QFETCH(int, state);
    QFETCH(int, fontSize);
    QFETCH(int, fontWeight);
    QFETCH(bool, edges);
    QFETCH(QString, expected);
    QCOMPARE(skin->GetButtonSheet(kind, group, state, fontSize, fontWeight, 4, 1, edges, edges, edges, edges),
             expected);
}

void TestStyleSheets::buttonSheetByStyleNumber_data()
{
    QTest::addColumn<int>("styleNumber");
    QTest::addColumn<QString>("group");
    QTest::addRow("0 is Button1") << 0 << "Button1";
    QTest::addRow("1 is Button2") << 1 << "Button2";
    QTest::addRow("2 is Button3") << 2 << "Button3";
    QTest::addRow("3 is Button4") << 3 << "Button4";
    QTest::addRow("out of range is Button1") << 8 << "Button1";
}

void TestStyleSheets::buttonSheetByStyleNumber()
{
    QFETCH(int, styleNumber);
    QFETCH(QString, group);
    QCOMPARE(skin->GetButtonSheet(0, styleNumber, 2, 12, 0, 0, 1, true, false, true, false),
             skin->GetButtonSheet(0, group, 2, 12, 0, 0, 1, true, false, true, false));
}

void TestStyleSheets::scrollBarThickness_data()
{
    QTest::addColumn<QString>("orientation");
    QTest::addColumn<QString>("start");
    QTest::addRow("vertical sets the width")
        << "vertical"
        << "QScrollBar:vertical{border:0px;background:transparent;width:8px;margin-top:0px;";
    QTest::addRow("horizontal sets the height")
        << "horizontal"
        << "QScrollBar:horizontal{border:0px;background:transparent;height:8px;margin-top:0px;";
    QTest::addRow("the word is case-sensitive")
        << "Vertical"
        << "QScrollBar:Vertical{border:0px;background:transparent;height:8px;";
}

void TestStyleSheets::scrollBarThickness()
{
    QFETCH(QString, orientation);
    QFETCH(QString, start);
    const QString sheet = skin->GetQScrollBarQSS(orientation, 8, QStringLiteral("QScrollBar"));
    QVERIFY2(sheet.startsWith(start), qPrintable(sheet));
    QVERIFY(sheet.contains(QStringLiteral("QScrollBar::handle:") + orientation +
                           QStringLiteral(" {background: #00a2ea; min-height: 50px;border-radius:5px;}")));
}

void TestStyleSheets::menuOfTheTitleBar()
{
    QCOMPARE(
        skin->GetQMenuQSS(90, 30, 12, QStringLiteral("QMenu")),
        QStringLiteral("QMenu{border:1px solid #040405;background-color:#2e3033;padding-top: 6px;"
                       "padding-bottom: 6px;}QMenu::item{min-width:90px;height:30px;background-color:#2e3033 "
                       ";color:#ffffff;font: 12px; padding-left: 6px;padding-right: 6px;}"
                       "QMenu::item:selected{border-color:#040405;color:#ffffff;background:#3f4042;}"
                       "QMenu::item:!enabled{color:#555555;}QMenu::separator{height: 1px;"
                       "background-color:#040405;margin-left: 10px;margin-right: 10px;margin-top: 5px;"
                       "margin-bottom: 5px;}"));
}

void TestStyleSheets::progressBarMargin_data()
{
    QTest::addColumn<float>("margin");
    QTest::addColumn<QString>("written");
    QTest::addRow("zero") << 0.0f << "0";
    QTest::addRow("half") << 0.5f << "0.5";
    QTest::addRow("whole number without decimals") << 2.0f << "2";
}

void TestStyleSheets::progressBarMargin()
{
    QFETCH(float, margin);
    QFETCH(QString, written);
    QCOMPARE(skin->GetQProgressBarQSS(QStringLiteral("right"), 2, 10, margin, QStringLiteral("QProgressBar")),
             QStringLiteral(
                 "QProgressBar {background-color:#cccccc;border: 1px solid #cccccc;border-radius: 2px;"
                 "text-align:right;}QProgressBar::chunk {background-color: #00a2ea;width: 10px;margin:") +
                 written + QStringLiteral("px;}"));
}

void TestStyleSheets::spinFamilyDiffersOnlyInClassName()
{
    // The three groups carry the same values in the shipped skin.
    const QString spin = skin->GetQSpinBoxQSS(12, 1, 3, QStringLiteral("QSpinBox"));
    QVERIFY(spin.startsWith(QStringLiteral("QSpinBox{font-size:12px;color:#ffffff;border: 1px solid #393b3e;"
                                           "border-radius: 3px;background-color:#17171a;}")));
    QVERIFY(spin.contains(QStringLiteral("QSpinBox::up-arrow:disabled, QSpinBox::up-arrow:off {image: "
                                         "url(:/images/public/up_arrow.png);width: 7px;height: 7px;}")));
    QVERIFY(spin.contains(QStringLiteral("width: 16px;background-color: transparent;}QSpinBox::up-arrow{")));
    QVERIFY(spin.contains(QStringLiteral("width: 16px;background-color:transparent;}QSpinBox::down-arrow{")));
    QString asTime = spin;
    QCOMPARE(skin->GetQTimeEditQSS(12, 1, 3, QStringLiteral("QTimeEdit")),
             asTime.replace(QStringLiteral("QSpinBox"), QStringLiteral("QTimeEdit")));
    QString asDouble = spin;
    QCOMPARE(skin->GetQDoubleSpinBoxQSS(12, 1, 3, QStringLiteral("QDoubleSpinBox")),
             asDouble.replace(QStringLiteral("QSpinBox"), QStringLiteral("QDoubleSpinBox")));
}

void TestStyleSheets::radioIsCheckBoxWithItsClassName()
{
    const QString check = skin->GetQCheckBoxQSS(12, 16, QStringLiteral("QCheckBox"));
    QVERIFY(
        check.contains(QStringLiteral("QCheckBox::indicator:unchecked:pressed {image: "
                                      "url(:/images/check/uncheck3.png);} QCheckBox::indicator:checked {")));
    // Read from the check-box group, only the class name differs.
    QString expected = check;
    QCOMPARE(skin->GetQRadioButtonQSS(12, 16, QStringLiteral("QCheckBox")),
             expected.replace(QStringLiteral("QCheckBox"), QStringLiteral("QRadioButton")));
    QVERIFY(skin->GetQRadioButtonQSS(12, 16, QStringLiteral("QRadioButton"))
                .contains(QStringLiteral("url(:/images/radio/checked1.png)")));
}

void TestStyleSheets::missingKeyFallsBackToMainInsideBuilder()
{
    // Group Item has its own bgcolor, takes txtcolor from main, and neither
    // group has bordercolor: the fragment is still written, empty.
    QCOMPARE(skin->GetQLineEditQSS(12, 1, 2, QStringLiteral("Item")).section(QLatin1Char('}'), 0, 0),
             QStringLiteral("QLineEdit{color:#ffffff;border:1px solid ;border-radius: 2px;font-size:12px;"
                            "background-color: #202124;"));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("partial.ini"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[main]\ntxtcolor_light = #0a0b0c\nbordercolor_light=#111111\n"
               "[Thin]\nbgcolor_light=#222222 ; only the background\n");
    file.close();
    skin->SetSkinConfigFile(path);
    QCOMPARE(skin->GetButtonSheet(1, QStringLiteral("Thin"), 1, 0, 0, 0, 2, false, true, false, false),
             QStringLiteral("QLabel{color:#0a0b0c;background-color:#222222;border-left: none;"
                            "border-top:2px solid #111111;border-right: none;border-bottom: none;}"));
}

void TestStyleSheets::designSizesFollowTheScale()
{
    g_scale = 1.5f;
    const QString combo = skin->GetQComboBoxQSS(13, 30, 3, 1, 1, 1, 1, QStringLiteral("QComboBox"));
    // 13 x 1.5 = 19.5 is truncated; radius and paddings are not scaled.
    QVERIFY(combo.contains(QStringLiteral("border-radius: 3px;padding-left: 1px;")));
    QVERIFY(combo.contains(QStringLiteral("font-size:19px;")));
    QVERIFY(combo.contains(QStringLiteral("top right;width: 36px;")));
    QVERIFY(combo.contains(QStringLiteral("QComboBox QAbstractItemView::item{height:45px;}")));
    QVERIFY(skin->GetQSliderQSS(QStringLiteral("horizontal"), 5, 11, QStringLiteral("QSlider"))
                .startsWith(QStringLiteral("QSlider::groove:horizontal {border: 0px;height: 7px;"
                                           "background:#17171a;border-radius:3px;}QSlider::handle:horizontal"
                                           "{border: 1px solid #0e0e11;width: 16px;height: 16px;"
                                           "background:#0e0e11;border-radius: 7px;margin-top:-7px;")));
    // Button sheets take their sizes as they are.
    QVERIFY(skin->GetButtonSheet(1, QStringLiteral("Button1"), 0, 14, 0, 4, 1, false, false, false, false)
                .startsWith(QStringLiteral("QLabel{font-size:14px;border-radius:4px;")));
}

QTEST_GUILESS_MAIN(TestStyleSheets)
#include "tst_stylesheets.moc"
