// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mutecontrol.h"
#include "soundrecovery.h"
#include "testhelpers.h"
#include "ui_mainwindow.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>

#include <algorithm>
#include <cmath>

// The tone: its synthesis, its set-up, the pitch of a bar, the end sweep
// that sounds every bar once more, and the tone brought back when the audio
// device was lost.
class TestSound : public QObject
{
    Q_OBJECT

private slots:
    void sineWave_data();
    void sineWave();
    void toneSetUp();
    void pitch_data();
    void pitch();
    void pitchWithoutBars_data();
    void pitchWithoutBars();
    void sweepInterval_data();
    void sweepInterval();
    void sweepSteps_data();
    void sweepSteps();
    void sweepAfterRemovals();
    void sweepWithoutBars();
    void resetDuringSweep();
    void resetButtonDuringSweep();
    void deviceLost_data();
    void deviceLost();
    void deviceBackLater();
    void noCheckPerTick();
};

void TestSound::sineWave_data()
{
    QTest::addColumn<float>("frequency");
    QTest::addColumn<float>("amplitude");
    QTest::addColumn<int>("peak");

    // At 500 Hz the sample nearest a crest is 0.05 samples off it; at 2205 Hz
    // every crest falls on a sample.
    QTest::newRow("the tone: 500 Hz, full scale") << 500.0f << 1.0f << 32766;
    QTest::newRow("2205 Hz, full scale") << 2205.0f << 1.0f << 32767;
    QTest::newRow("500 Hz, half scale") << 500.0f << 0.5f << 16383;
}

void TestSound::sineWave()
{
    QFETCH(float, frequency);
    QFETCH(float, amplitude);
    QFETCH(int, peak);

    const std::vector<sf::Int16> samples = MainWindow::generateSineWaveSound(frequency, amplitude);
    QCOMPARE(samples.size(), size_t(44100));
    QCOMPARE(samples[0], sf::Int16(0));
    QCOMPARE(int(*std::max_element(samples.begin(), samples.end())), peak);
    QCOMPARE(int(*std::min_element(samples.begin(), samples.end())), -peak);

    // A whole number of periods, one every 44100 / frequency samples, so the
    // looped buffer joins without a step: the sine rises through zero at the
    // start of each period and falls through it halfway.
    const double period = 44100.0 / frequency;
    int rises = 0;
    int changes = 0;
    sf::Int16 last = samples[0];
    for (size_t i = 1; i < samples.size(); ++i) {
        if (samples[i] == 0)
            continue;
        if (last != 0 && (last < 0) != (samples[i] < 0)) {
            ++changes;
            if (samples[i] > 0) {
                ++rises;
                QVERIFY2(std::abs(double(i) - rises * period) <= 1.0,
                         qPrintable(QString("rise %1 at sample %2").arg(rises).arg(i)));
            }
        }
        last = samples[i];
    }
    QCOMPARE(changes, 2 * int(frequency) - 1);
    QCOMPARE(rises, int(frequency) - 1);
    QVERIFY(samples.back() < 0);
}

void TestSound::toneSetUp()
{
    MainWindow window;
    QVERIFY(window.soundAvailable);
    QCOMPARE(window.tone.getBuffer(), &window.toneBuffer);
    QCOMPARE(window.tone.getVolume(), 10.0f);
    QVERIFY(window.tone.getLoop());
    QCOMPARE(window.tone.getStatus(), sf::Sound::Stopped);
    QCOMPARE(window.toneBuffer.getSampleCount(), sf::Uint64(44100));
    QCOMPARE(window.toneBuffer.getChannelCount(), 1u);
    QCOMPARE(window.toneBuffer.getSampleRate(), 44100u);
    const std::vector<sf::Int16> expected = MainWindow::generateSineWaveSound(500.0f, 1.0f);
    QVERIFY(std::equal(expected.begin(), expected.end(), window.toneBuffer.getSamples()));
    QCOMPARE(window.maxFrequency, 1000.0f);
    QCOMPARE(window.pitchOffset, 30.0f);
}

void TestSound::pitch_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("count");
    QTest::addColumn<float>("offset");
    QTest::addColumn<float>("hertz"); // heard: 500 Hz times the pitch

    QTest::newRow("lowest of 1500") << 1 << 1500 << 30.0f << 31000.0f / 1500.0f;
    QTest::newRow("tallest of 1500") << 1500 << 1500 << 30.0f << 1020.0f;
    QTest::newRow("tallest of 1500, no offset") << 1500 << 1500 << 0.0f << 1000.0f;
    QTest::newRow("tallest of 40, no offset") << 40 << 40 << 0.0f << 1000.0f;
    QTest::newRow("lowest of 40, no offset") << 1 << 40 << 0.0f << 25.0f;
    QTest::newRow("middle of 100") << 50 << 100 << 30.0f << 800.0f;
    QTest::newRow("one bar") << 1 << 1 << 30.0f << 31000.0f;
}

void TestSound::pitch()
{
    QFETCH(int, value);
    QFETCH(int, count);
    QFETCH(float, offset);
    QFETCH(float, hertz);

    MainWindow window;
    window.pitchOffset = offset;
    window.updateFrequency(value, count);
    QCOMPARE(window.tone.getPitch(), hertz / 500.0f);
    QCOMPARE(window.tone.getStatus(), sf::Sound::Stopped);
}

void TestSound::pitchWithoutBars_data()
{
    QTest::addColumn<int>("count");
    QTest::newRow("no bars") << 0;
    QTest::newRow("negative") << -3;
}

// A count below one (a typed fraction such as 0.5) maps as one bar.
void TestSound::pitchWithoutBars()
{
    QFETCH(int, count);

    MainWindow window;
    window.updateFrequency(5, count);
    QCOMPARE(window.tone.getPitch(), 2.0f * 35.0f);
}

void TestSound::sweepInterval_data()
{
    QTest::addColumn<int>("bars");
    QTest::addColumn<int>("interval");

    QTest::newRow("1") << 1 << 1000;
    QTest::newRow("7") << 7 << 142;
    QTest::newRow("100") << 100 << 10;
    QTest::newRow("300") << 300 << 3;
    QTest::newRow("600") << 600 << 1;
    QTest::newRow("1000") << 1000 << 1;
    QTest::newRow("1500") << 1500 << 1;
    QTest::newRow("none") << 0 << 1;
}

void TestSound::sweepInterval()
{
    QFETCH(int, bars);
    QFETCH(int, interval);

    MainWindow window;
    window.values.clear();
    for (int v = 1; v <= bars; ++v)
        window.values.append(v);
    window.stopTimer();
    QVERIFY(window.finishTimer->isActive());
    QCOMPARE(window.finishTimer->interval(), interval);
    QCOMPARE(window.smoothEndIndex, 0);
}

void TestSound::sweepSteps_data()
{
    QTest::addColumn<float>("count");
    QTest::newRow("1 bar") << 1.0f;
    QTest::newRow("2 bars") << 2.0f;
    QTest::newRow("7 bars") << 7.0f;
    QTest::newRow("100 bars") << 100.0f;
}

// N steps that sound the bars from left to right, then one that stops.
void TestSound::sweepSteps()
{
    QFETCH(float, count);

    MainWindow window;
    showWithBars(window, count);
    QList<int> sorted = window.values;
    std::sort(sorted.begin(), sorted.end());
    arrange(window, sorted);
    const QList<QRectF> before = [&] {
        QList<QRectF> r;
        for (auto *item : window.items)
            r.append(item->rect());
        return r;
    }();
    window.tone.play();
    window.stopTimer();
    window.sortTimer->stop();

    const int n = int(count);
    for (int k = 0; k < n; ++k) {
        window.playSmoothEndSound();
        QCOMPARE(window.tone.getPitch(), pitchFor(window, k + 1));
        QCOMPARE(window.smoothEndIndex, k + 1);
        QVERIFY(window.finishTimer->isActive());
        QCOMPARE(window.tone.getStatus(), sf::Sound::Playing);
    }
    window.playSmoothEndSound();
    QVERIFY(!window.finishTimer->isActive());
    QCOMPARE(window.tone.getStatus(), sf::Sound::Stopped);
    QCOMPARE(window.smoothEndIndex, 0);
    QCOMPARE(window.values, sorted);
    for (int k = 0; k < n; ++k)
        QCOMPARE(window.items[k]->rect(), before[k]);
}

// After a Stalin sort the remaining bars keep the pitches they had among
// all the bars of the field.
void TestSound::sweepAfterRemovals()
{
    MainWindow window;
    showWithBars(window, 10);
    arrange(window, {2, 5, 9, 1, 3, 4, 6, 7, 8, 10});
    for (int k = 0; k < 7; ++k)
        window.destroyItem(3);
    QCOMPARE(window.values, QList<int>({2, 5, 9}));
    window.stopTimer();
    QCOMPARE(window.finishTimer->interval(), 333);

    for (int value : {2, 5, 9}) {
        window.playSmoothEndSound();
        QCOMPARE(window.tone.getPitch(), 2.0f * float(value + 30) / 10.0f);
    }
    QVERIFY(window.finishTimer->isActive());
    window.playSmoothEndSound();
    QVERIFY(!window.finishTimer->isActive());
}

void TestSound::sweepWithoutBars()
{
    MainWindow window;
    showWithBars(window, 0);
    QVERIFY(window.values.isEmpty());
    window.tone.play();
    window.updateFrequency(3, 10);
    window.stopTimer();
    QCOMPARE(window.finishTimer->interval(), 1);

    window.playSmoothEndSound();
    QVERIFY(!window.finishTimer->isActive());
    QCOMPARE(window.tone.getStatus(), sf::Sound::Stopped);
    QCOMPARE(window.tone.getPitch(), 2.0f * 33.0f / 10.0f);
    QCOMPARE(window.smoothEndIndex, 0);
}

// Shows 20 bars and sounds the first five of their end sweep.
static void sweepFiveBarsOfTwenty(MainWindow &window)
{
    showWithBars(window, 20);
    window.tone.play();
    window.stopTimer();
    for (int k = 0; k < 5; ++k)
        window.playSmoothEndSound();
}

void TestSound::resetDuringSweep()
{
    MainWindow window;
    sweepFiveBarsOfTwenty(window);
    QCOMPARE(window.smoothEndIndex, 5);

    window.resetSmoothEndSound();
    QVERIFY(!window.finishTimer->isActive());
    QCOMPARE(window.tone.getStatus(), sf::Sound::Stopped);
    QCOMPARE(window.smoothEndIndex, 0);

    // The next sweep starts again at the first bar.
    window.tone.play();
    window.stopTimer();
    window.playSmoothEndSound();
    QCOMPARE(window.smoothEndIndex, 1);
    QCOMPARE(window.tone.getPitch(), pitchFor(window, window.values[0]));
}

// The reset button silences the sweep before it reshuffles (and plays the
// shuffle's tone).
void TestSound::resetButtonDuringSweep()
{
    MainWindow window;
    sweepFiveBarsOfTwenty(window);

    window.reset();
    QVERIFY(!window.finishTimer->isActive());
    QCOMPARE(window.smoothEndIndex, 0);
    QVERIFY(window.shuffling);
}

namespace {

// Stands in for the audio library's answer on the device, and counts the
// times it is opened again, which then works if worksOnceOpened. It must go
// before the window's recovery is asked anything more.
struct DeviceStandIn
{
    explicit DeviceStandIn(SoundRecovery &recovery)
    {
        const std::function<void()> reopen = recovery.reopenDevice;
        recovery.deviceWorks = [this] { return works; };
        recovery.reopenDevice = [this, reopen] {
            ++reopens;
            reopen();
            works = works || worksOnceOpened;
        };
    }

    bool works = false;
    bool worksOnceOpened = false;
    int reopens = 0;
};

} // namespace

// The device is lost in each state of the program, with a stand-in for the
// audio library's answer: the tone is made again on a new device, with its
// pitch, volume and loop, and plays if and only if the program has it play.
void TestSound::deviceLost_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<bool>("playing");
    QTest::newRow("run") << "run" << true;
    QTest::newRow("reshuffle") << "reshuffle" << true;
    QTest::newRow("end sweep") << "sweep" << true;
    QTest::newRow("paused") << "paused" << false;
    QTest::newRow("step heard while paused") << "step" << true;
    QTest::newRow("idle") << "idle" << false;
    QTest::newRow("muted run") << "muted" << true;
}

void TestSound::deviceLost()
{
    QFETCH(QString, state);
    QFETCH(bool, playing);

    MainWindow window;
    showWithBars(window, 40);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    window.ui->delayLineEdit->setText("100000");
    if (state == "muted")
        window.muteControl->toggle();
    if (state != "idle" && state != "reshuffle") {
        window.startSorting();
        for (int k = 0; k < 30; ++k)
            window.runStep();
    }
    if (state == "paused" || state == "step")
        window.pauseControl->togglePause();
    if (state == "step")
        window.pauseControl->stepOnce();
    if (state == "reshuffle")
        window.reset();
    if (state == "sweep") {
        window.sortTimer->stop();
        window.stopTimer();
    }
    const float pitch = window.tone.getPitch();
    const float volume = window.tone.getVolume();

    DeviceStandIn device(*window.soundRecovery);
    device.worksOnceOpened = true;
    SoundRecovery &recovery = *window.soundRecovery;
    recovery.check();
    QCOMPARE(device.reopens, 1);
    QVERIFY(!recovery.soundLost());
    QCOMPARE(window.announcer.lastMessage(), QString("Sortie audio retrouvée"));
    QCOMPARE(tonePlaying(window), playing);
    QCOMPARE(window.tone.getPitch(), pitch);
    QCOMPARE(window.tone.getVolume(), volume);
    QCOMPARE(window.tone.getVolume(), state == "muted" ? 0.0f : MainWindow::toneVolume);
    QVERIFY(window.tone.getLoop());
    QCOMPARE(window.tone.getBuffer(), &window.toneBuffer);
    QCOMPARE(window.toneBuffer.getSampleCount(), sf::Uint64(44100));

    // The run goes on with the tone, and the next check finds nothing amiss.
    recovery.check();
    QCOMPARE(device.reopens, 1);
}

// While no device opens, each check tries again; once one opens, the tone
// is back and that is said once. A loss just after a return is mended
// without a word.
void TestSound::deviceBackLater()
{
    MainWindow window;
    showWithBars(window, 12);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    window.ui->delayLineEdit->setText("100000");
    window.startSorting();

    DeviceStandIn device(*window.soundRecovery);
    SoundRecovery &recovery = *window.soundRecovery;
    for (int k = 1; k <= 3; ++k) {
        recovery.check();
        QCOMPARE(device.reopens, k);
        QVERIFY(recovery.soundLost());
        QCOMPARE(window.announcer.lastMessage(), QString("Sortie audio perdue"));
    }
    device.works = true;
    recovery.check();
    QCOMPARE(device.reopens, 3);
    QVERIFY(!recovery.soundLost());
    QCOMPARE(window.announcer.lastMessage(), QString("Sortie audio retrouvée"));

    window.announcer.announce("");
    device.works = false;
    device.worksOnceOpened = true;
    recovery.check();
    QCOMPARE(device.reopens, 4);
    QVERIFY(!recovery.soundLost());
    QVERIFY(window.announcer.lastMessage().isEmpty());
    QVERIFY(tonePlaying(window));
}

// The device is asked about once a second, never on a tick: thousands of
// ticks at full speed make no more checks than the seconds they take.
void TestSound::noCheckPerTick()
{
    MainWindow window;
    showWithBars(window, 60);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    window.ui->delayLineEdit->setText("0");
    window.ui->sortingMethodsComboBox->setCurrentIndex(6); // Bubble Sort: 1830 ticks
    int ticks = 0;
    const int checksBefore = window.soundRecovery->checks();
    QElapsedTimer clock;
    clock.start();
    window.startSorting();
    connect(window.sortTimer, &QTimer::timeout, &window, [&] { ++ticks; });
    QVERIFY(runUntil([&] { return window.finishTimer->isActive(); }, 60000));
    const int checks = window.soundRecovery->checks() - checksBefore;
    QVERIFY2(checks <= clock.elapsed() / SoundRecovery::checkMs + 1,
             qPrintable(QString("%1 checks in %2 ms").arg(checks).arg(clock.elapsed())));
    QVERIFY(ticks > 1000);
}

QTEST_MAIN(TestSound)
#include "tst_sound.moc"
