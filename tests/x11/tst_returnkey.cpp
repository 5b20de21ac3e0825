// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mainwindow.h"
#include "startup.h"
#include "testhelpers.h"
#include "ui_mainwindow.h"

#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QProcess>
#include <QTest>
#include <QUrl>

namespace {

// Presses keys on the X server's keyboard, as a user does.
bool pressOnXServer(const QStringList &keys)
{
    return QProcess::execute("xdotool", QStringList{"key", "--delay", "20"} + keys) == 0;
}

} // namespace

// Return starts a run from whichever control has the keyboard focus; the
// keypad's Enter does not.
class TestReturnKey : public QObject
{
    Q_OBJECT

    UrlCatcher catcher;

private slots:
    void initTestCase()
    {
        QDesktopServices::setUrlHandler("https", &catcher, "open");
        QDesktopServices::setUrlHandler("http", &catcher, "open");
    }

    void cleanupTestCase()
    {
        QDesktopServices::unsetUrlHandler("https");
        QDesktopServices::unsetUrlHandler("http");
    }

    void returnStarts_data()
    {
        QTest::addColumn<QString>("focus"); // object name of the focused widget
        QTest::addColumn<QString>("delivery");

        const QStringList widgets = {"itemNumberLineEdit", "delayLineEdit", "startSortingButton",
                                     "resetButton",        "velmoButton",   "sortingMethodsComboBox",
                                     "sortGraphicView",    "Ordavex"};
        for (const QString &delivery : QStringList{"to the widget", "to the window", "X server"})
            for (const QString &focus : widgets)
                QTest::newRow(qPrintable(focus + ", " + delivery)) << focus << delivery;
    }

    void returnStarts()
    {
        QFETCH(QString, focus);
        QFETCH(QString, delivery);

        MainWindow window;
        window.itemCount = 12;
        showMainWindow(window);
        QVERIFY(QTest::qWaitForWindowActive(&window, 20000));
        QWidget *target = focus == window.objectName() ? &window : window.findChild<QWidget *>(focus);
        QVERIFY(target);
        target->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(QApplication::focusWidget(), target);
        QCOMPARE(runState(window), QString("Fresh"));
        catcher.urls.clear();

        if (delivery == "to the widget") {
            QTest::keyClick(target, Qt::Key_Return);
        } else if (delivery == "to the window") {
            QTest::keyClick(window.windowHandle(), Qt::Key_Return);
        } else {
            // The keypad's Enter first: had it started a run, Return would
            // then reshuffle instead.
            QVERIFY(pressOnXServer({"KP_Enter", "Return"}));
        }
        QTRY_COMPARE(runState(window), QString("Sorting"));
        QCOMPARE(window.ui->stepNumberLabel->text(), QString("Nombre d'échanges : \n..."));
        QVERIFY(!window.startPending);
        QVERIFY(catcher.urls.isEmpty());
        // No second command follows: nothing reshuffles.
        QTest::qWait(100);
        QVERIFY(!window.shuffling && !window.startPending);
    }
};

QTEST_MAIN(TestReturnKey)
#include "tst_returnkey.moc"
