#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "widgets/skinhelper_qsetting.h"

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
    void init() { skin->SetSkinConfigFile(QStringLiteral(":/skin/default.ini")); }

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

    void buttonSheet_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("group");
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("edges");
        QTest::addColumn<QString>("expected");
        // clang-format off
        QTest::addRow("label, Button1, light, no edges") << 1 << "Button1" << 1 << false
            << "QLabel{border-radius:4px;color:#ffffff;background-color:#2559b2;"
               "border-left: none;border-top: none;border-right: none;border-bottom: none;}";
        QTest::addRow("disabled: every edge in its border colour") << 0 << "Button2" << 3 << true
            << "QWidget{font-size:14px;font-weight:600;border-radius:4px;color:#525353;"
               "background-color:#202124;border-left:1px solid #28292d;border-top:1px solid #28292d;"
               "border-right:1px solid #28292d;border-bottom:1px solid #28292d;}";
        QTest::addRow("unknown state uses normal") << 1 << "Button3" << 9 << true
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
        QFETCH(bool, edges);
        QFETCH(QString, expected);
        // Only the widget kind carries the font.
        const int size = kind == 0 ? 14 : 0, weight = kind == 0 ? 600 : 0;
        QCOMPARE(skin->GetButtonSheet(kind, group, state, size, weight, 4, 1, edges, edges, edges, edges),
                 expected);
        // The style-number form picks "Button1" to "Button4".
        const int number = group.right(1).toInt() - 1;
        QCOMPARE(skin->GetButtonSheet(kind, number, state, size, weight, 4, 1, edges, edges, edges, edges),
                 expected);
    }

    void builtSheets()
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
        QCOMPARE(
            skin->GetQProgressBarQSS(QStringLiteral("right"), 2, 10, 0.5f, QStringLiteral("QProgressBar")),
            QStringLiteral("QProgressBar {background-color:#cccccc;border: 1px solid #cccccc;border-radius: "
                           "2px;text-align:right;}QProgressBar::chunk {background-color: #00a2ea;width: "
                           "10px;margin:0.5px;}"));
    }

    void missingKeyFallsBackToMainInsideBuilder()
    {
        // Group Item has its own bgcolor, takes txtcolor from main, and neither
        // group has bordercolor: the fragment is still written, empty.
        QCOMPARE(skin->GetQLineEditQSS(12, 1, 2, QStringLiteral("Item")).section(QLatin1Char('}'), 0, 0),
                 QStringLiteral("QLineEdit{color:#ffffff;border:1px solid ;border-radius: 2px;font-size:12px;"
                                "background-color: #202124;"));
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("partial.ini")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[main]\ntxtcolor_light = #0a0b0c\nbordercolor_light=#111111\n"
                   "[Thin]\nbgcolor_light=#222222 ; only the background\n");
        file.close();
        skin->SetSkinConfigFile(file.fileName());
        QCOMPARE(skin->GetButtonSheet(1, QStringLiteral("Thin"), 1, 0, 0, 0, 2, false, true, false, false),
                 QStringLiteral("QLabel{color:#0a0b0c;background-color:#222222;border-left: none;"
                                "border-top:2px solid #111111;border-right: none;border-bottom: none;}"));
    }
};

QTEST_GUILESS_MAIN(TestSkinHelper)
#include "tst_skinhelper.moc"
