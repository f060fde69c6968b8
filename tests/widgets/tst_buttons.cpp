#include <QLabel>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

#include "widgets/bgiconbutton.h"
#include "widgets/bgicontextbutton.h"
#include "widgets/labelbutton.h"
#include "widgets/mypushbutton.h"
#include "widgets/skinhelper_qsetting.h"

using MyQtCustom::BgIconButton;
using MyQtCustom::BgIconTextButton;
using MyQtCustom::LabelButton;
using MyQtCustom::MyPushButton;

namespace {

// A window that counts the mouse presses and releases reaching it.
class RecordingParent : public QWidget
{
public:
    int presses = 0;
    int releases = 0;

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        ++presses;
        QWidget::mousePressEvent(event);
    }
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        ++releases;
        QWidget::mouseReleaseEvent(event);
    }
};

QPixmap Filled(const QColor &colour, const QSize &size = QSize(8, 8))
{
    QPixmap pixmap(size);
    pixmap.fill(colour);
    return pixmap;
}

QColor BrushColour(const QWidget *widget, int x = 1, int y = 1)
{
    return widget->palette().brush(QPalette::Window).texture().toImage().pixelColor(x, y);
}

void Enter(QWidget *widget)
{
    QEvent event(QEvent::Enter);
    QCoreApplication::sendEvent(widget, &event);
}

void Leave(QWidget *widget)
{
    QEvent event(QEvent::Leave);
    QCoreApplication::sendEvent(widget, &event);
}

// Plays a comma-separated script of actions on any button of the family.
template<class Button> void Play(Button *button, const QString &script)
{
    for (const QString &step : script.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        if (step == QLatin1String("enter"))
            Enter(button);
        else if (step == QLatin1String("leave"))
            Leave(button);
        else if (step == QLatin1String("press"))
            QTest::mousePress(button, Qt::LeftButton);
        else if (step == QLatin1String("release"))
            QTest::mouseRelease(button, Qt::LeftButton);
        else if (step == QLatin1String("check"))
            button->setChecked(true);
        else if (step == QLatin1String("uncheck"))
            button->setChecked(false);
        else if (step == QLatin1String("disable"))
            button->setEnabled(false);
        else if (step == QLatin1String("enable"))
            button->setEnabled(true);
        else
            QFAIL(qPrintable(QStringLiteral("unknown step ") + step));
    }
}

} // namespace

class TestButtons : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void stateRules_data();
    void stateRules();
    void skinConfigAppliesTheStateSheets();
    void signalOrderOnPressAndRelease();
    void disabledButtonIgnoresTheMouse();
    void checkedWhileDisabledShowsCheckedWhenEnabled();
    void nullLightImageKeepsNormalBrush();
    void checkedWithoutImageShowsNormal();
    void iconFollowsItsGeometry();
    void rotationAppliesAtNextStateAndSparesChecked();
    void textAdjustSizeAddsTen();
    void pressesDoNotReachTheParent();
    void labelButtonSheetsAndSignals();
    void iconButtonSkipsEmptySheets();
    void pushButtonCutsStatesFromSprite();
    void pushButtonPicturesFromFiles();
};

void TestButtons::initTestCase()
{
    SkinHelper_QSetting::GetInstance()->SetSkinConfigFile(QStringLiteral(":/skin/default.ini"));
}

void TestButtons::stateRules_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<int>("expected");     // text-and-icon and label buttons
    QTest::addColumn<int>("expectedIcon"); // icon-only button: a press shows the light look
    QTest::addRow("initially normal") << "" << 0 << 0;
    QTest::addRow("hover") << "enter" << 1 << 1;
    QTest::addRow("hover ends") << "enter,leave" << 0 << 0;
    QTest::addRow("pressed") << "enter,press" << 2 << 1;
    QTest::addRow("released") << "enter,press,release" << 0 << 0;
    QTest::addRow("checked") << "check" << 4 << 4;
    QTest::addRow("checked hover ends") << "check,enter,leave" << 4 << 4;
    QTest::addRow("checked released") << "check,press,release" << 4 << 4;
    QTest::addRow("unchecked") << "check,uncheck" << 0 << 0;
    QTest::addRow("disabled") << "disable" << 3 << 3;
    QTest::addRow("disabled ignores hover") << "disable,enter" << 3 << 3;
    QTest::addRow("enabled again") << "disable,enable" << 0 << 0;
}

void TestButtons::stateRules()
{
    QFETCH(QString, script);
    QFETCH(int, expected);
    QFETCH(int, expectedIcon);

    BgIconTextButton textButton;
    Play(&textButton, script);
    QCOMPARE(textButton.state(), expected);

    LabelButton labelButton;
    Play(&labelButton, script);
    QCOMPARE(labelButton.state(), expected);

    BgIconButton iconButton;
    Play(&iconButton, script);
    QCOMPARE(iconButton.state(), expectedIcon);
}

void TestButtons::skinConfigAppliesTheStateSheets()
{
    const SkinHelper_QSetting *skin = SkinHelper_QSetting::GetInstance();
    BgIconTextButton button;
    button.setSkinConfig(QStringLiteral("Button2"), 14, 0, 0, 1, true, true, true, true);
    // The caption carries the state's colours but no border of its own.
    auto sheet = [&](int kind, int state) {
        const bool edges = kind == 0;
        return skin->GetButtonSheet(kind, QStringLiteral("Button2"), state, 14, 0, 0, 1, edges, edges, edges,
                                    edges);
    };
    QCOMPARE(button.background()->styleSheet(), sheet(0, 0));
    QCOMPARE(button.label()->styleSheet(), sheet(1, 0));
    Enter(&button);
    QCOMPARE(button.background()->styleSheet(), sheet(0, 1));
    QCOMPARE(button.label()->styleSheet(), sheet(1, 1));
    QVERIFY(button.label()->styleSheet().contains(QStringLiteral("color:#3573de;")));
    QTest::mousePress(&button, Qt::LeftButton);
    QCOMPARE(button.label()->styleSheet(), sheet(1, 2));
}

void TestButtons::signalOrderOnPressAndRelease()
{
    BgIconTextButton button;
    QStringList order;
    BgIconTextButton *reported = nullptr;
    connect(&button, &BgIconTextButton::Pressclicked, this, [&] { order << QStringLiteral("Pressclicked"); });
    connect(&button, QOverload<>::of(&BgIconTextButton::clicked), this,
            [&] { order << QStringLiteral("clicked()"); });
    connect(&button, QOverload<BgIconTextButton *>::of(&BgIconTextButton::clicked), this,
            [&](BgIconTextButton *ins) {
                order << QStringLiteral("clicked(ins)");
                reported = ins;
            });
    connect(&button, &BgIconTextButton::mouseEnter, this, [&] { order << QStringLiteral("mouseEnter"); });
    connect(&button, &BgIconTextButton::mouseLeave, this, [&] { order << QStringLiteral("mouseLeave"); });

    Enter(&button);
    QTest::mousePress(&button, Qt::LeftButton);
    QCOMPARE(order, QStringList({QStringLiteral("mouseEnter"), QStringLiteral("Pressclicked")}));
    // The release fires wherever the pointer is: the press grabbed the mouse.
    QTest::mouseRelease(&button, Qt::LeftButton, Qt::NoModifier, QPoint(-5, -5));
    Leave(&button);
    QCOMPARE(order, QStringList({QStringLiteral("mouseEnter"), QStringLiteral("Pressclicked"),
                                 QStringLiteral("clicked()"), QStringLiteral("clicked(ins)"),
                                 QStringLiteral("mouseLeave")}));
    QCOMPARE(reported, &button);
}

void TestButtons::disabledButtonIgnoresTheMouse()
{
    BgIconTextButton button;
    button.setTextStyeSheet(QStringLiteral("N"), QStringLiteral("L"), QStringLiteral("C"),
                            QStringLiteral("D"), QStringLiteral("K"));
    button.setEnabled(false);
    QSignalSpy enters(&button, &BgIconTextButton::mouseEnter);
    QSignalSpy presses(&button, &BgIconTextButton::Pressclicked);
    QSignalSpy clicks(&button, QOverload<>::of(&BgIconTextButton::clicked));
    Enter(&button);
    QTest::mousePress(&button, Qt::LeftButton);
    QTest::mouseRelease(&button, Qt::LeftButton);
    Leave(&button);
    QCOMPARE(enters.count(), 0);
    QCOMPARE(presses.count(), 0);
    QCOMPARE(clicks.count(), 0);
    QCOMPARE(button.label()->styleSheet(), QStringLiteral("D"));
    QVERIFY(!button.isEnabled());
}

void TestButtons::checkedWhileDisabledShowsCheckedWhenEnabled()
{
    BgIconTextButton button;
    button.setBgStyeSheet(QStringLiteral("n"), QStringLiteral("l"), QStringLiteral("c"), QStringLiteral("d"),
                          QStringLiteral("k"));
    button.setIconPixmap(Filled(Qt::red), Filled(Qt::green), Filled(Qt::gray), Filled(Qt::yellow));
    button.setIconGeometry(0, 0, 8, 8);
    button.setEnabled(false);
    button.setChecked(true);
    QVERIFY(button.isChecked());
    QCOMPARE(button.background()->styleSheet(), QStringLiteral("d"));
    QCOMPARE(BrushColour(button.icon()), QColor(Qt::gray));
    button.setEnabled(true);
    QCOMPARE(button.background()->styleSheet(), QStringLiteral("k"));
    QCOMPARE(BrushColour(button.icon()), QColor(Qt::yellow));
}

void TestButtons::nullLightImageKeepsNormalBrush()
{
    BgIconTextButton button;
    button.setIconGeometry(0, 0, 8, 8);
    button.setIconPixmap(Filled(Qt::red), QPixmap(), QPixmap(), QPixmap());
    QCOMPARE(BrushColour(button.icon()), QColor(Qt::red));
    Enter(&button);
    QCOMPARE(button.state(), 1);
    QCOMPARE(BrushColour(button.icon()), QColor(Qt::red));
    // A light image does replace it.
    button.setIconPixmap(Filled(Qt::red), Filled(Qt::blue), QPixmap(), QPixmap());
    Enter(&button);
    QCOMPARE(BrushColour(button.icon()), QColor(Qt::blue));
    QTest::mousePress(&button, Qt::LeftButton);
    QCOMPARE(BrushColour(button.icon()), QColor(Qt::blue));
}

void TestButtons::checkedWithoutImageShowsNormal()
{
    BgIconTextButton button;
    button.setIconGeometry(0, 0, 8, 8);
    button.setIconPixmap(Filled(Qt::red), Filled(Qt::blue), QPixmap(), QPixmap());
    Enter(&button);
    button.setChecked(true);
    QCOMPARE(BrushColour(button.icon()), QColor(Qt::red));
}

void TestButtons::iconFollowsItsGeometry()
{
    BgIconTextButton button;
    button.resize(200, 60);
    button.setIconPixmap(Filled(Qt::red, QSize(40, 40)), QPixmap(), QPixmap(), QPixmap());
    button.setIconGeometry(1, 10, 24, 24);
    QCOMPARE(button.icon()->geometry(), QRect(1, 10, 24, 24));
    QCOMPARE(button.icon()->palette().brush(QPalette::Window).texture().size(), QSize(24, 24));
    QCOMPARE(button.background()->geometry(), QRect(0, 0, 200, 60));
    button.setTextGeometry(41, 10, 155, 40);
    QCOMPARE(button.label()->geometry(), QRect(41, 10, 155, 40));
}

void TestButtons::rotationAppliesAtNextStateAndSparesChecked()
{
    // Red left half, blue right half; a quarter turn clockwise puts red on top.
    QPixmap halves(20, 20);
    halves.fill(Qt::blue);
    QPainter(&halves).fillRect(0, 0, 10, 20, Qt::red);

    BgIconTextButton button;
    button.setIconGeometry(0, 0, 20, 20);
    button.setIconPixmap(halves, halves, halves, halves);
    button.setIconRotate(90);
    QCOMPARE(BrushColour(button.icon(), 2, 10), QColor(Qt::red)); // not yet
    Enter(&button);
    QCOMPARE(BrushColour(button.icon(), 10, 2), QColor(Qt::red));
    QCOMPARE(BrushColour(button.icon(), 10, 17), QColor(Qt::blue));
    Leave(&button);
    button.setChecked(true);
    QCOMPARE(BrushColour(button.icon(), 2, 10), QColor(Qt::red));
    QCOMPARE(BrushColour(button.icon(), 17, 10), QColor(Qt::blue));
}

void TestButtons::textAdjustSizeAddsTen()
{
    BgIconTextButton button;
    button.setText(QStringLiteral("Format Convert"));
    const int width = button.setTextadjustSize();
    QCOMPARE(width, button.label()->width() + 10);
    QCOMPARE(button.label()->width(), button.label()->sizeHint().width());
}

void TestButtons::pressesDoNotReachTheParent()
{
    RecordingParent window;
    window.resize(300, 100);
    auto *button = new BgIconTextButton(&window);
    button->setGeometry(10, 10, 100, 30);
    auto *label = new LabelButton(&window);
    label->setGeometry(120, 10, 100, 30);
    auto *icon = new BgIconButton(&window);
    icon->setGeometry(230, 10, 30, 30);
    auto *picture = new MyPushButton(&window);
    picture->setGeometry(270, 10, 16, 16);
    auto *plain = new QWidget(&window);
    plain->setGeometry(10, 50, 100, 30);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    for (QWidget *target : {static_cast<QWidget *>(button), static_cast<QWidget *>(label),
                            static_cast<QWidget *>(icon), static_cast<QWidget *>(picture)}) {
        QTest::mousePress(target, Qt::LeftButton);
        QTest::mouseRelease(target, Qt::LeftButton);
    }
    QCOMPARE(window.presses, 0);
    QCOMPARE(window.releases, 0);
    // A widget that does not consume them passes them up: the count above means something.
    QTest::mousePress(plain, Qt::LeftButton);
    QCOMPARE(window.presses, 1);
}

void TestButtons::labelButtonSheetsAndSignals()
{
    const SkinHelper_QSetting *skin = SkinHelper_QSetting::GetInstance();
    LabelButton button;
    button.setSkinConfig(QStringLiteral("Button1"), 14, 0, 4, 1, false, false, false, false);
    QCOMPARE(button.styleSheet(),
             skin->GetButtonSheet(1, QStringLiteral("Button1"), 0, 14, 0, 4, 1, false, false, false, false));
    button.setEnabled(false);
    QCOMPARE(button.styleSheet(),
             skin->GetButtonSheet(1, QStringLiteral("Button1"), 3, 14, 0, 4, 1, false, false, false, false));
    button.setEnabled(true);

    QStringList order;
    LabelButton *reported = nullptr;
    connect(&button, &LabelButton::Pressclicked, this, [&] { order << QStringLiteral("Pressclicked"); });
    connect(&button, QOverload<>::of(&LabelButton::clicked), this,
            [&] { order << QStringLiteral("clicked()"); });
    connect(&button, QOverload<LabelButton *>::of(&LabelButton::clicked), this, [&](LabelButton *ins) {
        order << QStringLiteral("clicked(ins)");
        reported = ins;
    });
    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(order, QStringList({QStringLiteral("Pressclicked"), QStringLiteral("clicked()"),
                                 QStringLiteral("clicked(ins)")}));
    QCOMPARE(reported, &button);
}

void TestButtons::iconButtonSkipsEmptySheets()
{
    // Children follow resize events, which a hidden widget only gets when shown.
    BgIconButton button;
    button.resize(24, 24);
    button.show();
    QCOMPARE(button.background()->geometry(), QRect(0, 0, 24, 24));
    QCOMPARE(button.icon()->geometry(), QRect(0, 0, 24, 24));
    button.setBgStyeSheet(QStringLiteral("QWidget{color:red;}"), QString(), QStringLiteral("QWidget{}"),
                          QString());
    Enter(&button);
    QCOMPARE(button.background()->styleSheet(), QStringLiteral("QWidget{color:red;}"));
    button.setEnabled(false);
    QCOMPARE(button.background()->styleSheet(), QStringLiteral("QWidget{}"));

    BgIconButton *reported = nullptr;
    BgIconButton other;
    connect(&other, QOverload<BgIconButton *>::of(&BgIconButton::clicked), this,
            [&](BgIconButton *ins) { reported = ins; });
    other.setIconPixmap(Filled(Qt::red), Filled(Qt::blue), QPixmap(), QPixmap());
    other.resize(30, 30);
    other.show();
    QCOMPARE(other.icon()->palette().brush(QPalette::Window).texture().size(), QSize(30, 30));
    QTest::mousePress(&other, Qt::LeftButton);
    QCOMPARE(BrushColour(other.icon()), QColor(Qt::blue));
    QTest::mouseRelease(&other, Qt::LeftButton);
    QCOMPARE(BrushColour(other.icon()), QColor(Qt::red));
    QCOMPARE(reported, &other);
}

void TestButtons::pushButtonCutsStatesFromSprite()
{
    // One sprite, four 32x32 cells in a column, as the title bar uses it.
    QPixmap sprite(128, 128);
    sprite.fill(Qt::black);
    {
        QPainter painter(&sprite);
        painter.fillRect(96, 0, 32, 32, Qt::red);
        painter.fillRect(96, 32, 32, 32, Qt::green);
        painter.fillRect(96, 64, 32, 32, Qt::blue);
        painter.fillRect(96, 96, 32, 32, Qt::yellow);
    }
    MyPushButton button;
    button.resize(16, 16);
    button.SetPicture(sprite, sprite, sprite, sprite);
    button.SetnormalPicRect(QRect(96, 0, 32, 32));
    button.SethighlightPicRect(QRect(96, 32, 32, 32));
    button.SetclickPicRect(QRect(96, 64, 32, 32));
    button.SetdisablePicRect(QRect(96, 96, 32, 32));
    button.SetPicAlignFlags(3);

    QCOMPARE(button.palette().brush(QPalette::Window).texture().size(), QSize(16, 16));
    QCOMPARE(BrushColour(&button), QColor(Qt::red));

    QStringList order;
    connect(&button, &MyPushButton::enterButton, this, [&] { order << QStringLiteral("enterButton"); });
    connect(&button, &MyPushButton::Pressclicked, this, [&] { order << QStringLiteral("Pressclicked"); });
    connect(&button, &MyPushButton::clicked, this, [&] { order << QStringLiteral("clicked"); });
    connect(&button, &MyPushButton::leaveButton, this, [&] { order << QStringLiteral("leaveButton"); });
    Enter(&button);
    QCOMPARE(BrushColour(&button), QColor(Qt::green));
    QTest::mousePress(&button, Qt::LeftButton);
    QCOMPARE(BrushColour(&button), QColor(Qt::blue));
    QTest::mouseRelease(&button, Qt::LeftButton);
    Leave(&button);
    QCOMPARE(BrushColour(&button), QColor(Qt::red));
    QCOMPARE(order, QStringList({QStringLiteral("enterButton"), QStringLiteral("Pressclicked"),
                                 QStringLiteral("clicked"), QStringLiteral("leaveButton")}));

    button.setEnabled(false);
    QCOMPARE(button.state(), int(MyPushButton::Disable));
    QCOMPARE(BrushColour(&button), QColor(Qt::yellow));
    button.setEnabled(true);
    button.OtherMouseEnter();
    QCOMPARE(BrushColour(&button), QColor(Qt::green));
    button.OtherMouseLeave();
    QCOMPARE(BrushColour(&button), QColor(Qt::red));
}

void TestButtons::pushButtonPicturesFromFiles()
{
    QTemporaryDir dir;
    const QString normal = dir.filePath(QStringLiteral("normal.png"));
    const QString light = dir.filePath(QStringLiteral("light.png"));
    QVERIFY(Filled(Qt::red).save(normal));
    QVERIFY(Filled(Qt::green).save(light));

    MyPushButton button;
    QCOMPARE(button.palette().color(QPalette::Window), QColor(174, 174, 174));
    QCOMPARE(button.alignment(), Qt::Alignment(Qt::AlignCenter));
    button.resize(10, 10);
    button.SetPicture(normal, light, QString(), QString());
    QCOMPARE(BrushColour(&button), QColor(Qt::red));
    Enter(&button);
    QCOMPARE(BrushColour(&button), QColor(Qt::green));
    // No click picture: the brush stays.
    QTest::mousePress(&button, Qt::LeftButton);
    QCOMPARE(BrushColour(&button), QColor(Qt::green));

    button.setText(QStringLiteral("Go"));
    QCOMPARE(button.QLabel::text(), QStringLiteral("Go"));
    button.SetPicAlignFlags(2);
    QCOMPARE(button.QLabel::text(), QString());
    QCOMPARE(button.text(), QStringLiteral("Go"));
}

QTEST_MAIN(TestButtons)
#include "tst_buttons.moc"
