#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include "app/globals.h"
#include "app/mainwidget.h"
#include "app/toolsselectwidget.h"
#include "app/topwidget.h"
#include "support/testsupport.h"

class TestMainWidget : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void geometryAndTitle();
    void sameMaxCount_data();
    void sameMaxCount();
    void outputFolder_data();
    void outputFolder();
    void dragZone_data();
    void dragZone();
};

void TestMainWidget::initTestCase()
{
    TestSupport::useBuildAppDir();
}

void TestMainWidget::geometryAndTitle()
{
    MainWidget window;
    QCOMPARE(g_mainWidget, &window);
    QCOMPARE(window.size(), QSize(1140, 672));
    QCOMPARE(window.windowTitle(), QStringLiteral("tessarin Quillvane"));
    QCOMPARE(window.background->geometry(), QRect(0, 0, 1140, 672));
    QCOMPARE(window.topWidget->geometry(), QRect(0, 0, 1140, 68));
    QCOMPARE(window.toolsSelectWidget->geometry(), QRect(1, 68, 1138, 603));
    QVERIFY(window.background->styleSheet().contains(QStringLiteral("#2c2d31")));
    QVERIFY(window.panels.isEmpty());
}

void TestMainWidget::sameMaxCount_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("expected");
    QTest::addRow("absent") << QString() << 2;
    QTest::addRow("three") << "3" << 3;
    QTest::addRow("not a number") << "many" << 0;
}

void TestMainWidget::sameMaxCount()
{
    QFETCH(QString, stored);
    QFETCH(int, expected);
    SetSettingValue(QLatin1String(SettingsKey::SameMaxCount), stored);
    if (stored.isNull())
        QSettings(QLatin1String(AppIdentity::Organisation), QLatin1String(AppIdentity::Application))
            .remove(QLatin1String(SettingsKey::SameMaxCount));
    MainWidget window;
    QCOMPARE(window.sameMaxCount, expected);
    QCOMPARE(SameMaxCount(), expected);
}

void TestMainWidget::outputFolder_data()
{
    QTest::addColumn<bool>("storedExists");
    QTest::addRow("stored folder exists") << true;
    QTest::addRow("stored folder was deleted") << false;
}

void TestMainWidget::outputFolder()
{
    QFETCH(bool, storedExists);
    QTemporaryDir dir;
    const QString stored = storedExists ? dir.path() : dir.filePath(QStringLiteral("deleted"));
    SetSettingValue(QLatin1String(SettingsKey::OutFolder), stored);
    MainWidget window;
    const QString expected = storedExists ? stored : QDir::homePath() + QStringLiteral("/Documents/tessarin/Quillvane");
    QCOMPARE(window.outputFolder, expected);
    QCOMPARE(OutputFolder(), expected);
    QVERIFY(QFileInfo(window.outputFolder).isDir());
}

void TestMainWidget::dragZone_data()
{
    QTest::addColumn<int>("pressY");
    QTest::addColumn<bool>("drags");
    QTest::addRow("inside the title bar") << 10 << true;
    QTest::addRow("at the zone's edge") << 72 << true;
    QTest::addRow("just below") << 73 << false;
}

void TestMainWidget::dragZone()
{
    QFETCH(int, pressY);
    QFETCH(bool, drags);
    MainWidget window;
    window.move(100, 100);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // Press on the window itself, not on a child that would take the event.
    const QPoint press(500, pressY);
    QTest::mousePress(&window, Qt::LeftButton, Qt::NoModifier, press);
    QCOMPARE(window.isDragging(), drags);
    const QPoint before = window.pos();
    QMouseEvent move(QEvent::MouseMove, QPointF(press + QPoint(30, 20)), Qt::LeftButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&window, &move);
    QCOMPARE(window.pos(), drags ? before + QPoint(30, 20) : before);
    QTest::mouseRelease(&window, Qt::LeftButton, Qt::NoModifier, press + QPoint(30, 20));
    QVERIFY(!window.isDragging());
}

QTEST_MAIN(TestMainWidget)
#include "tst_mainwidget.moc"
