// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "framelimiter.h"
#include "mainwindow.h"
#include "startup.h"
#include "testhelpers.h"
#include "ui_mainwindow.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QGraphicsView>
#include <QLineEdit>
#include <QPaintEvent>
#include <QScreen>
#include <QTest>
#include <QTimer>

namespace {

// Counts the view's paints and keeps the most complex region one of them
// was given.
class PaintWatcher : public QObject
{
public:
    explicit PaintWatcher(QWidget *viewport) { viewport->installEventFilter(this); }
    int paints = 0;
    int mostRects = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            ++paints;
            mostRects = std::max(mostRects, int(static_cast<QPaintEvent *>(event)->region().rectCount()));
        }
        return false;
    }
};

// What the X server shows of the view.
QImage onScreen(MainWindow &window, QWidget *viewport)
{
    const QPoint origin = viewport->mapTo(&window, QPoint(0, 0));
    return window.screen()
        ->grabWindow(window.winId(), origin.x(), origin.y(), viewport->width(), viewport->height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

} // namespace

// What reaches the screen while a run goes at full speed: frames made of a
// few rectangles, each showing the row as it stands.
class TestFrames : public QObject
{
    Q_OBJECT

private slots:
    void fullSpeed_data();
    void fullSpeed();
    void frameInterval_data();
    void frameInterval();
    void slowFramesComeLater();
};

void TestFrames::fullSpeed_data()
{
    QTest::addColumn<int>("algorithm");
    for (int algorithm = 0; algorithm < 10; ++algorithm)
        QTest::addRow("%d", algorithm) << algorithm;
}

void TestFrames::fullSpeed()
{
    QFETCH(int, algorithm);
    MainWindow window;
    showMainWindow(window);
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_COMPARE(window.size(), QSize(1920, 1080));
    QWidget *viewport = window.ui->sortGraphicView->viewport();

    window.ui->sortingMethodsComboBox->setCurrentIndex(algorithm);
    window.ui->delayLineEdit->setText("0");
    PaintWatcher watcher(viewport);
    window.startSorting();
    QVERIFY(runUntil([&] { return watcher.paints >= 30 || !window.sortTimer->isActive(); }, 30000));
    window.sortTimer->stop();
    // Every bar changed in a frame, however many, is repainted within a
    // handful of whole-height columns.
    QVERIFY2(watcher.mostRects <= FrameLimiter::maxColumns, qPrintable(QString::number(watcher.mostRects)));

    // The frame after the last step shows the row as it stands.
    const QImage expected = viewport->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QTRY_COMPARE_WITH_TIMEOUT(onScreen(window, viewport), expected, 10000);
}

void TestFrames::frameInterval_data()
{
    QTest::addColumn<int>("screenFrameMs");
    QTest::addColumn<qint64>("frameCostNs");
    QTest::addColumn<int>("interval");

    QTest::newRow("cheap frames, 60 Hz") << 16 << qint64(300000) << 16;
    QTest::newRow("a twentieth of a frame") << 16 << qint64(800000) << 16;
    QTest::newRow("dearer frames come later") << 16 << qint64(1200000) << 24;
    QTest::newRow("but at least 30 a second") << 16 << qint64(5000000) << 33;
    QTest::newRow("a slow screen sets its own pace") << 40 << qint64(300000) << 40;
    QTest::newRow("no cost yet") << 6 << qint64(0) << 6;
}

void TestFrames::frameInterval()
{
    QFETCH(int, screenFrameMs);
    QFETCH(qint64, frameCostNs);
    QFETCH(int, interval);
    QCOMPARE(FrameLimiter::frameInterval(screenFrameMs, frameCostNs), interval);
}

namespace {

// Makes every paint of the view take at least `ms` milliseconds.
class SlowPaint : public QObject
{
public:
    SlowPaint(QWidget *viewport, int ms)
        : ms(ms)
    {
        viewport->installEventFilter(this);
    }
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            ++paints;
            QElapsedTimer clock;
            clock.start();
            while (clock.elapsed() < ms) {
            }
        }
        return false;
    }

private:
    int ms;
};

} // namespace

// Frames that cost 5 ms each come no more often than every 33 ms, but they
// keep coming, each showing the row as it stands.
void TestFrames::slowFramesComeLater()
{
    MainWindow window;
    showMainWindow(window);
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_COMPARE(window.size(), QSize(1920, 1080));
    QWidget *viewport = window.ui->sortGraphicView->viewport();

    window.ui->sortingMethodsComboBox->setCurrentIndex(6); // Bubble Sort
    window.ui->delayLineEdit->setText("0");
    SlowPaint slow(viewport, 5);
    window.startSorting();
    QVERIFY(runUntil([&] { return slow.paints >= 20 || !window.sortTimer->isActive(); }, 30000));
    QVERIFY(window.sortTimer->isActive());
    QCOMPARE(window.frameLimiter->currentInterval(), FrameLimiter::slowestFrameMs);
    window.sortTimer->stop();

    const QImage expected = viewport->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QTRY_COMPARE_WITH_TIMEOUT(onScreen(window, viewport), expected, 10000);
}

QTEST_MAIN(TestFrames)
#include "tst_frames.moc"
