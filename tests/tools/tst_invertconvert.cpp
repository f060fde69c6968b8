#include <algorithm>

#include <QTemporaryDir>
#include <QtTest>

#include "app/globals.h"
#include "app/mainwidget.h"
#include "app/toolsselectwidget.h"
#include "support/testsupport.h"
#include "tools/invertconvert/invertconvertwidget.h"
#include "tools/invertconvert/voiceinvertdata.h"

class TestInvertConvert : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();
    void arguments();
    void reversesTheSamples();
    void chirpRunsBackwardsBesideItsInput();

private:
    InvertConvertWidget *openPanel();
    QTemporaryDir outputs;
    MainWidget *window = nullptr;
};

void TestInvertConvert::initTestCase()
{
    TestSupport::useBuildAppDir();
    SetSettingValue(QLatin1String(SettingsKey::OutFolder), outputs.path());
    window = new MainWidget;
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
}

void TestInvertConvert::cleanupTestCase()
{
    delete window;
}

void TestInvertConvert::cleanup()
{
    // Back to the selector: the panel's list is emptied even after a failed check.
    window->toolsSelectWidget->ShowSelector();
}

InvertConvertWidget *TestInvertConvert::openPanel()
{
    return qobject_cast<InvertConvertWidget *>(window->toolsSelectWidget->OpenTool(3));
}

void TestInvertConvert::arguments()
{
    QCOMPARE(VoiceInvertData::Arguments("/in/talk.m4a", "/out/talk.m4a"),
             QStringList(
                 {"-i", "/in/talk.m4a", "-vn", "-af", "areverse", "-threads", "1", "-y", "/out/talk.m4a"}));
}

void TestInvertConvert::reversesTheSamples()
{
    QTemporaryDir inputs;
    const QString input = inputs.filePath(QStringLiteral("noise.wav"));
    QVERIFY(TestSupport::runFfmpeg({"-y", "-f", "lavfi", "-i", "anoisesrc=duration=1:sample_rate=8000:seed=7",
                                    "-ac", "1", "-c:a", "pcm_s16le", input}));
    InvertConvertWidget *panel = openPanel();
    QVERIFY(panel);
    panel->AddFiles({input});
    QTRY_COMPARE(panel->jobs().size(), 1);
    panel->convertButton_slots();
    VoiceData *job = panel->jobs().first();
    QVERIFY(TestSupport::waitForJobsToEnd({job}));
    QCOMPARE(job->status, int(VoiceData::Succeeded));
    QCOMPARE(job->outputPath, outputs.filePath(QStringLiteral("noise.wav")));

    QVector<qint16> expected = TestSupport::decodeMono(input, 8000);
    QCOMPARE(expected.size(), 8000);
    std::reverse(expected.begin(), expected.end());
    QCOMPARE(TestSupport::decodeMono(job->outputPath, 8000), expected);
}

void TestInvertConvert::chirpRunsBackwardsBesideItsInput()
{
    // A rising chirp, 200 Hz to 1000 Hz over 1.5 s, in the output folder itself.
    const QString input = outputs.filePath(QStringLiteral("talk.m4a"));
    QVERIFY(TestSupport::runFfmpeg({"-y", "-f", "lavfi", "-i",
                                    "aevalsrc=0.5*sin(2*PI*(200*t+800/3*t*t)):s=44100:d=1.5", "-c:a", "aac",
                                    input}));
    const QByteArray digest = TestSupport::fileDigest(input);
    InvertConvertWidget *panel = openPanel();
    panel->AddFiles({input});
    QTRY_COMPARE(panel->jobs().size(), 1);
    VoiceData *job = panel->jobs().first();
    for (const QString name : {"talk (0).m4a", "talk (1).m4a"}) {
        panel->convertButton_slots();
        QVERIFY(TestSupport::waitForJobsToEnd({job}));
        QCOMPARE(job->status, int(VoiceData::Succeeded));
        QCOMPARE(job->outputPath, outputs.filePath(name));
    }
    QCOMPARE(TestSupport::fileDigest(input), digest);

    const int rate = 44100;
    const QVector<qint16> in = TestSupport::decodeMono(input, rate);
    const QVector<qint16> out = TestSupport::decodeMono(job->outputPath, rate);
    const int window = rate / 5;
    const double inStart = TestSupport::toneFrequency(in, rate, rate / 10, window);
    const double inEnd = TestSupport::toneFrequency(in, rate, in.size() - rate / 10 - window, window);
    const double outStart = TestSupport::toneFrequency(out, rate, rate / 10, window);
    const double outEnd = TestSupport::toneFrequency(out, rate, out.size() - rate / 10 - window, window);
    QVERIFY2(inStart < 400 && inEnd > 800, qPrintable(QStringLiteral("%1 %2").arg(inStart).arg(inEnd)));
    QVERIFY2(qAbs(outStart - inEnd) < inEnd * 0.05,
             qPrintable(QStringLiteral("%1 %2").arg(outStart).arg(inEnd)));
    QVERIFY2(qAbs(outEnd - inStart) < inStart * 0.05,
             qPrintable(QStringLiteral("%1 %2").arg(outEnd).arg(inStart)));
}

QTEST_MAIN(TestInvertConvert)
#include "tst_invertconvert.moc"
