// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "framelimiter.h"
#include "mainwindow.h"
#include "startup.h"
#include "testhelpers.h"
#include "ui_mainwindow.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <random>

// The window as the program shows it, in a native Wayland session (weston,
// headless). Every algorithm, at full speed and at 1 ms, must keep the
// connection to the compositor: a frame that handed it too complex a region
// broke the connection, and the program died.
class TestWayland : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QCOMPARE(QGuiApplication::platformName(), QString("wayland")); }
    void runs_data();
    void fromTheFirstRow_data() { runs_data(); }
    void fromTheFirstRow();
    void afterResetToMoreBars_data() { runs_data(); }
    void afterResetToMoreBars();

    void cleanupTestCase() { resetWindow.reset(); }

private:
    void runAndCheck(MainWindow &window);

    std::unique_ptr<MainWindow> resetWindow;
    std::mt19937 engine{7};
};

void TestWayland::runs_data()
{
    QTest::addColumn<int>("algorithm");
    QTest::addColumn<QString>("delay");
    for (int algorithm = 0; algorithm < 10; ++algorithm)
        for (const char *delay : {"0", "1"})
            QTest::addRow("%d/%sms", algorithm, delay) << algorithm << QString(delay);
}

// Starts the chosen algorithm as the start button does, and checks a while
// later that the program is alive and still stepping, or done.
void TestWayland::runAndCheck(MainWindow &window)
{
    QFETCH(int, algorithm);
    QFETCH(QString, delay);
    window.ui->sortingMethodsComboBox->setCurrentIndex(algorithm);
    window.ui->delayLineEdit->setText(delay);
    window.startSorting();
    QVERIFY(runUntil([&window] { return !window.shuffling; }, 60000));

    int ticks = 0;
    const QMetaObject::Connection counter =
        connect(window.sortTimer, &QTimer::timeout, &window, [&ticks] { ++ticks; });
    runUntil([] { return false; }, 1500);
    const int before = ticks;
    QVERIFY(runUntil([&] { return ticks > before || !window.sortTimer->isActive(); }, 10000));
    disconnect(counter);
    QVERIFY(window.frameLimiter->lastFrame().rectCount() <= FrameLimiter::maxColumns);
}

void TestWayland::fromTheFirstRow()
{
    MainWindow window;
    showMainWindow(window);
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_VERIFY(window.layoutDone);
    runAndCheck(window);
}

void TestWayland::afterResetToMoreBars()
{
    // One window for all rows, reset once to more bars; each row then starts
    // from a new order, put in place at once.
    if (!resetWindow) {
        resetWindow = std::make_unique<MainWindow>();
        showMainWindow(*resetWindow);
    }
    MainWindow *window = resetWindow.get();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    if (window->values.size() != 2000) {
        window->ui->itemNumberLineEdit->setText("2000");
        window->reset();
        QVERIFY(runUntil([window] { return !window->shuffling; }, 60000));
    }
    window->sortTimer->stop();
    window->resetSmoothEndSound();
    QList<int> order = window->values;
    std::shuffle(order.begin(), order.end(), engine);
    arrange(*window, order);
    window->needsReshuffle = false;
    runAndCheck(*window);
}

QTEST_MAIN(TestWayland)
#include "tst_wayland.moc"
