// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mainwindow.h"
#include "startup.h"
#include "ui_mainwindow.h"

#include <QFontDatabase>
#include <QGraphicsRectItem>
#include <QGraphicsView>
#include <QLabel>
#include <QScreen>
#include <QTest>

// The window as the program shows it, in a real X11 session on a
// 1920 x 1080 screen with a window manager.
class TestFullScreen : public QObject
{
    Q_OBJECT

private slots:
    void laidOutForTheScreen();
};

void TestFullScreen::laidOutForTheScreen()
{
    QCOMPARE(QGuiApplication::primaryScreen()->size(), QSize(1920, 1080));

    MainWindow window;
    showMainWindow(window);
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_VERIFY(window.isFullScreen());
    QTRY_COMPARE(window.size(), QSize(1920, 1080));

    // The one layout was made for the screen, not for the design size.
    QVERIFY(window.layoutDone);
    QCOMPARE(window.windowWidth, 1920);
    QCOMPARE(window.windowHeight, 1080);
    QGraphicsView *view = window.ui->sortGraphicView;
    QCOMPARE(view->size(), QSize(1910, 955));
    QCOMPARE(view->pos(), QPoint(5, 98));
    QCOMPARE(window.ui->topFrame->geometry(), QRect(0, 0, 1920, 100));
    QCOMPARE(window.ui->leaveLabel->x(), 1785);
    QCOMPARE(window.values.size(), 1500);
    QCOMPARE(window.items.size(), 1500);
    QCOMPARE(window.barWidth, 1905.0f / 1500.0f);
    QCOMPARE(window.barUnitHeight, 950.0f / 1500.0f);

    QVERIFY(!window.windowIcon().isNull());
    QVERIFY(QFontDatabase::families().contains("Renogare"));
    QCOMPARE(window.ui->stepNumberLabel->fontInfo().family(), QString("Renogare"));

    // Leaving full screen changes nothing.
    const QList<QGraphicsRectItem *> items = window.items;
    window.showNormal();
    window.resize(800, 600);
    QTRY_VERIFY(!window.isFullScreen());
    QTRY_COMPARE(window.size(), QSize(800, 600));
    QCOMPARE(window.windowWidth, 1920);
    QCOMPARE(view->size(), QSize(1910, 955));
    QCOMPARE(window.ui->leaveLabel->x(), 1785);
    QCOMPARE(window.items, items);
    QCOMPARE(window.barWidth, 1905.0f / 1500.0f);
}

QTEST_MAIN(TestFullScreen)
#include "tst_fullscreen.moc"
