#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "app/globals.h"
#include "widgets/skinhelper_qsetting.h"

namespace {

bool WriteSkin(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

} // namespace

// The skin lookup and the style-sheet builders. The builders' texts are pasted
// into setStyleSheet as they are, so they are compared character for character.
class TestSkinHelper : public QObject
{
    Q_OBJECT
    SkinHelper_QSetting *skin = SkinHelper_QSetting::GetInstance();

private slots:
    void initTestCase()
    {
        // Before any file is loaded, the process-wide instance answers empty.
        QCOMPARE(skin->GetValue(QStringLiteral("main"), QStringLiteral("bgcolor")), QString());
    }

    void init()
    {
        skin->SetSkinConfigFile(QStringLiteral(":/skin/default.ini"));
        g_scale = 1.0f;
    }

    void lookup_data()
    {
        QTest::addColumn<QString>("group");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        // clang-format off
        QTest::addRow("own value") << "Item" << "bgcolor" << "#202124";
        QTest::addRow("falls back to main") << "Item" << "txtcolor" << "#ffffff";
        QTest::addRow("in neither group") << "Item" << "nosuchkey" << "";
        QTest::addRow("group value wins over main") << "QMenu" << "bgcolor" << "#2e3033";
        QTest::addRow("blanks around equals and comment") << "QSpinBox" << "arrowbuttonwidth" << "16";
        QTest::addRow("resource path value") << "QComboBox" << "downarrow_image" << ":/images/arrowDown.png";
        QTest::addRow("unknown group falls back") << "NoGroup" << "linecolor" << "#393b3e";
        // clang-format on
    }
    void lookup()
    {
        QFETCH(QString, group);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        QCOMPARE(skin->GetValue(group, key), expected);
        QCOMPARE(skin->GetValue(group + QLatin1Char('/') + key), expected);
    }

    void otherFiles()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("other.ini"));
        QVERIFY(WriteSkin(path, "[main]   ; fallback\nbgcolor = #010203 ; changed\n[Item]\nkeyonly=x\n"));
        skin->SetSkinConfigFile(path);
        QCOMPARE(skin->GetValue(QStringLiteral("Item"), QStringLiteral("bgcolor")),
                 QStringLiteral("#010203"));
        QCOMPARE(skin->GetValue(QStringLiteral("Item/keyonly")), QStringLiteral("x"));
        // A path without a group falls back to "main" + path, which matches nothing.
        QCOMPARE(skin->GetValue(QStringLiteral("bgcolor")), QString());
        skin->SetSkinConfigFile(QStringLiteral("/nonexistent/skin.ini"));
        QCOMPARE(skin->GetValue(QStringLiteral("Item"), QStringLiteral("bgcolor")), QString());
    }

    void buttonSheet_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("group");
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("fontSize");
        QTest::addColumn<int>("fontWeight");
        QTest::addColumn<bool>("edges");
        QTest::addColumn<QString>("expected");
        // clang-format off
        QTest::addRow("label, Button1, light, no edges") << 1 << "Button1" << 1 << 0 << 0 << false
            << "QLabel{border-radius:4px;color:#ffffff;background-color:#2559b2;"
               "border-left: none;border-top: none;border-right: none;border-bottom: none;}";
        QTest::addRow("disabled: every edge in its border colour") << 0 << "Button2" << 3 << 14 << 600 << true
            << "QWidget{font-size:14px;font-weight:600;border-radius:4px;color:#525353;"
               "background-color:#202124;border-left:1px solid #28292d;border-top:1px solid #28292d;"
               "border-right:1px solid #28292d;border-bottom:1px solid #28292d;}";
        QTest::addRow("unknown kind: no selector, still closes") << 7 << "Button1" << 0 << 0 << 0 << false
            << "border-radius:4px;color:#ffffff;background-color:#3573de;"
               "border-left: none;border-top: none;border-right: none;border-bottom: none;}";
        QTest::addRow("unknown state uses normal") << 1 << "Button3" << 9 << 0 << 0 << true
            << "QLabel{border-radius:4px;color:#3573de;background-color:#2e3033;"
               "border-left:1px solid #3573de;border-top:1px solid #3573de;"
               "border-right:1px solid #3573de;border-bottom:1px solid #3573de;}";
        // clang-format on
    }
    void buttonSheet()
    {
        QFETCH(int, kind);
        QFETCH(QString, group);
        QFETCH(int, state);
        QFETCH(int, fontSize);
        QFETCH(int, fontWeight);
        QFETCH(bool, edges);
        QFETCH(QString, expected);
        QCOMPARE(
            skin->GetButtonSheet(kind, group, state, fontSize, fontWeight, 4, 1, edges, edges, edges, edges),
            expected);
        // The style-number form picks "Button1" to "Button4", and "Button1" out of range.
        const int number = group.right(1).toInt() - 1;
        QCOMPARE(
            skin->GetButtonSheet(kind, number, state, fontSize, fontWeight, 4, 1, edges, edges, edges, edges),
            expected);
        if (number == 0)
            QCOMPARE(
                skin->GetButtonSheet(kind, 8, state, fontSize, fontWeight, 4, 1, edges, edges, edges, edges),
                expected);
    }

    void comboBoxFirstRuleAndDropDownWidth()
    {
        const QString sheet = skin->GetQComboBoxQSS(12, 30, 3, 1, 1, 1, 1, QStringLiteral("QComboBox"));
        QVERIFY2(
            sheet.startsWith(QStringLiteral(
                "QComboBox{combobox-popup:0;border: 1px solid #393b3e;border-radius: 3px;padding-left: 1px;"
                "padding-right: 1px;padding-top: 1px;padding-bottom: 1px;color:#ffffff;font-size:12px;"
                "background-color: #2e3033;}QComboBox:hover{")),
            qPrintable(sheet.left(300)));
        QVERIFY(sheet.contains(
            QStringLiteral("QComboBox::drop-down{subcontrol-origin: padding; "
                           "subcontrol-position: top right;width: 24px;border-left-width: 0px;")));
        QVERIFY(
            sheet.endsWith(QStringLiteral("QComboBox QAbstractScrollArea QScrollBar::add-page:horizontal, "
                                          "QScrollBar::sub-page:horizontal {background: transparent;}")));
    }

    void scrollBarThickness_data()
    {
        QTest::addColumn<QString>("orientation");
        QTest::addColumn<QString>("start");
        // clang-format off
        QTest::addRow("vertical sets the width") << "vertical"
            << "QScrollBar:vertical{border:0px;background:transparent;width:8px;margin-top:0px;";
        QTest::addRow("horizontal sets the height") << "horizontal"
            << "QScrollBar:horizontal{border:0px;background:transparent;height:8px;margin-top:0px;";
        QTest::addRow("the word is case-sensitive") << "Vertical"
            << "QScrollBar:Vertical{border:0px;background:transparent;height:8px;";
        // clang-format on
    }
    void scrollBarThickness()
    {
        QFETCH(QString, orientation);
        QFETCH(QString, start);
        const QString sheet = skin->GetQScrollBarQSS(orientation, 8, QStringLiteral("QScrollBar"));
        QVERIFY2(sheet.startsWith(start), qPrintable(sheet));
        QVERIFY(
            sheet.contains(QStringLiteral("QScrollBar::handle:") + orientation +
                           QStringLiteral(" {background: #00a2ea; min-height: 50px;border-radius:5px;}")));
    }

    void menuOfTheTitleBar()
    {
        QCOMPARE(
            skin->GetQMenuQSS(90, 30, 12, QStringLiteral("QMenu")),
            QStringLiteral("QMenu{border:1px solid #040405;background-color:#2e3033;padding-top: 6px;"
                           "padding-bottom: 6px;}QMenu::item{min-width:90px;height:30px;background-color:"
                           "#2e3033 ;color:#ffffff;font: 12px; padding-left: 6px;padding-right: 6px;}"
                           "QMenu::item:selected{border-color:#040405;color:#ffffff;background:#3f4042;}"
                           "QMenu::item:!enabled{color:#555555;}QMenu::separator{height: 1px;"
                           "background-color:#040405;margin-left: 10px;margin-right: 10px;margin-top: 5px;"
                           "margin-bottom: 5px;}"));
    }

    void progressBarMargin_data()
    {
        QTest::addColumn<float>("margin");
        QTest::addColumn<QString>("written");
        QTest::addRow("zero") << 0.0f << "0";
        QTest::addRow("half") << 0.5f << "0.5";
        QTest::addRow("whole number without decimals") << 2.0f << "2";
    }
    void progressBarMargin()
    {
        QFETCH(float, margin);
        QFETCH(QString, written);
        QCOMPARE(
            skin->GetQProgressBarQSS(QStringLiteral("right"), 2, 10, margin, QStringLiteral("QProgressBar")),
            QStringLiteral("QProgressBar {background-color:#cccccc;border: 1px solid #cccccc;border-radius: "
                           "2px;text-align:right;}QProgressBar::chunk {background-color: #00a2ea;width: "
                           "10px;margin:") +
                written + QStringLiteral("px;}"));
    }

    void missingKeyFallsBackToMainInsideBuilder()
    {
        // Group Item has its own bgcolor, takes txtcolor from main, and neither
        // group has bordercolor: the fragment is still written, empty.
        QCOMPARE(skin->GetQLineEditQSS(12, 1, 2, QStringLiteral("Item")).section(QLatin1Char('}'), 0, 0),
                 QStringLiteral("QLineEdit{color:#ffffff;border:1px solid ;border-radius: 2px;font-size:12px;"
                                "background-color: #202124;"));
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("partial.ini"));
        QVERIFY(WriteSkin(path, "[main]\ntxtcolor_light = #0a0b0c\nbordercolor_light=#111111\n"
                                "[Thin]\nbgcolor_light=#222222 ; only the background\n"));
        skin->SetSkinConfigFile(path);
        QCOMPARE(skin->GetButtonSheet(1, QStringLiteral("Thin"), 1, 0, 0, 0, 2, false, true, false, false),
                 QStringLiteral("QLabel{color:#0a0b0c;background-color:#222222;border-left: none;"
                                "border-top:2px solid #111111;border-right: none;border-bottom: none;}"));
    }

    void designSizesFollowTheScale()
    {
        g_scale = 1.5f; // init() sets it back
        const QString combo = skin->GetQComboBoxQSS(13, 30, 3, 1, 1, 1, 1, QStringLiteral("QComboBox"));
        // 13 x 1.5 = 19.5 is truncated; radius and paddings are not scaled, skin metrics are.
        QVERIFY(combo.contains(QStringLiteral("border-radius: 3px;padding-left: 1px;")));
        QVERIFY(combo.contains(QStringLiteral("font-size:19px;")));
        QVERIFY(combo.contains(QStringLiteral("top right;width: 36px;")));
        QVERIFY(combo.contains(QStringLiteral("QComboBox QAbstractItemView::item{height:45px;}")));
    }
};

QTEST_GUILESS_MAIN(TestSkinHelper)
#include "tst_skinhelper.moc"
