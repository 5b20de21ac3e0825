// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "framelimiter.h"
#include "mainwindow.h"
#include "startup.h"
#include "testhelpers.h"
#include "ui_mainwindow.h"

#include <QComboBox>
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

} // namespace

// What reaches the screen while a run goes at full speed: frames made of a
// few rectangles, each showing the row as it stands.
class TestFrames : public QObject
{
    Q_OBJECT

private slots:
    void fullSpeed_data();
    void fullSpeed();
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
    const QPoint origin = viewport->mapTo(&window, QPoint(0, 0));
    const auto onScreen = [&] {
        return window.screen()
            ->grabWindow(window.winId(), origin.x(), origin.y(), viewport->width(), viewport->height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    };
    QTRY_COMPARE_WITH_TIMEOUT(onScreen(), expected, 10000);
}

QTEST_MAIN(TestFrames)
#include "tst_frames.moc"
