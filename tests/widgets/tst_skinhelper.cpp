#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "widgets/skinhelper_qsetting.h"

class TestSkinHelper : public QObject
{
    Q_OBJECT
private slots:
    void emptyBeforeLoading();
    void lookup_data();
    void lookup();
    void everyShippedGroupIsReadable_data();
    void everyShippedGroupIsReadable();
    void missingFileGivesEmptyValues();
    void laterFileReplacesEarlier();
};

void TestSkinHelper::emptyBeforeLoading()
{
    // Must run first: the instance is process-wide and has no reader yet.
    QCOMPARE(SkinHelper_QSetting::GetInstance()->GetValue(QStringLiteral("main"), QStringLiteral("bgcolor")),
             QString());
}

void TestSkinHelper::lookup_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");
    QTest::addRow("own value") << "Item"
                               << "bgcolor"
                               << "#202124";
    QTest::addRow("falls back to main") << "Item"
                                        << "txtcolor"
                                        << "#ffffff";
    QTest::addRow("in neither group") << "Item"
                                      << "nosuchkey"
                                      << "";
    QTest::addRow("group value wins over main") << "QMenu"
                                                << "bgcolor"
                                                << "#2e3033";
    QTest::addRow("blanks around equals and comment") << "QSpinBox"
                                                      << "arrowbuttonwidth"
                                                      << "16";
    QTest::addRow("main with blank before equals") << "main"
                                                   << "txtcolor"
                                                   << "#ffffff";
    QTest::addRow("disabled text of menu") << "QMenu"
                                           << "disabledtxtcolor"
                                           << "#555555";
    QTest::addRow("resource path value") << "QComboBox"
                                         << "downarrow_image"
                                         << ":/images/arrowDown.png";
    QTest::addRow("unknown group falls back") << "NoGroup"
                                              << "linecolor"
                                              << "#393b3e";
    QTest::addRow("button state colour") << "Button2"
                                         << "txtcolor_light"
                                         << "#3573de";
}

void TestSkinHelper::lookup()
{
    QFETCH(QString, group);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    SkinHelper_QSetting *skin = SkinHelper_QSetting::GetInstance();
    skin->SetSkinConfigFile(QStringLiteral(":/skin/default.ini"));
    QCOMPARE(skin->GetValue(group, key), expected);
    QCOMPARE(skin->GetValue(group + QLatin1Char('/') + key), expected);
}

void TestSkinHelper::everyShippedGroupIsReadable_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");
    QTest::addRow("main/topbgcolor") << "main"
                                     << "topbgcolor"
                                     << "#17171a";
    QTest::addRow("main/linecolorselect") << "main"
                                          << "linecolorselect"
                                          << "#272a2e";
    QTest::addRow("Item/selectbgcolor") << "Item"
                                        << "selectbgcolor"
                                        << "#2e3033";
    QTest::addRow("Button1/bgcolor_clicked") << "Button1"
                                             << "bgcolor_clicked"
                                             << "#aec2e5";
    QTest::addRow("Button3/bordercolor_disabled") << "Button3"
                                                  << "bordercolor_disabled"
                                                  << "#3e4145";
    QTest::addRow("Dialog/bgbordercolor") << "Dialog"
                                          << "bgbordercolor"
                                          << "#040405";
    QTest::addRow("QCheckBox/icon_checked_press") << "QCheckBox"
                                                  << "icon_checked_press"
                                                  << ":/images/check/checked3.png";
    QTest::addRow("QRadioButton/icon_uncheck") << "QRadioButton"
                                               << "icon_uncheck"
                                               << ":/images/radio/uncheck1.png";
    QTest::addRow("QLineEdit/selectbordercolor") << "QLineEdit"
                                                 << "selectbordercolor"
                                                 << "#3c3e42";
    QTest::addRow("QProgressBar/chunkcolor") << "QProgressBar"
                                             << "chunkcolor"
                                             << "#00a2ea";
    QTest::addRow("QScrollBar/handlecolor") << "QScrollBar"
                                            << "handlecolor"
                                            << "#00a2ea";
    QTest::addRow("QDoubleSpinBox/down_arrow_hover") << "QDoubleSpinBox"
                                                     << "down_arrow_hover"
                                                     << ":/images/public/down_arrow_hover.png";
    QTest::addRow("QTimeEdit/arrow_height") << "QTimeEdit"
                                            << "arrow_height"
                                            << "7";
    QTest::addRow("QSlider/subpagecolor4") << "QSlider"
                                           << "subpagecolor4"
                                           << "#00a2ea";
}

void TestSkinHelper::everyShippedGroupIsReadable()
{
    lookup();
}

void TestSkinHelper::missingFileGivesEmptyValues()
{
    SkinHelper_QSetting *skin = SkinHelper_QSetting::GetInstance();
    skin->SetSkinConfigFile(QStringLiteral("/nonexistent/skin.ini"));
    QCOMPARE(skin->GetValue(QStringLiteral("main"), QStringLiteral("bgcolor")), QString());
    QCOMPARE(skin->GetValue(QStringLiteral("Item"), QStringLiteral("bgcolor")), QString());
}

void TestSkinHelper::laterFileReplacesEarlier()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("other.ini"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[main]   ; fallback\nbgcolor = #010203 ; changed\n[Item]\nkeyonly=x\n");
    file.close();
    SkinHelper_QSetting *skin = SkinHelper_QSetting::GetInstance();
    skin->SetSkinConfigFile(QStringLiteral(":/skin/default.ini"));
    skin->SetSkinConfigFile(path);
    QCOMPARE(skin->GetValue(QStringLiteral("Item"), QStringLiteral("bgcolor")), QStringLiteral("#010203"));
    QCOMPARE(skin->GetValue(QStringLiteral("Item/keyonly")), QStringLiteral("x"));
    // A path without a group falls back to "main" + path, which matches nothing.
    QCOMPARE(skin->GetValue(QStringLiteral("bgcolor")), QString());
}

QTEST_GUILESS_MAIN(TestSkinHelper)
#include "tst_skinhelper.moc"
