// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mainwindow.h"
#include "startup.h"
#include "testhelpers.h"
#include "ui_mainwindow.h"

#include <QApplication>
#include <QDesktopServices>
#include <QHash>
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

// Return presses the push button that has the keyboard focus, and starts a
// run from any other control; the keypad's Enter does neither.
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

    void returnKey_data()
    {
        QTest::addColumn<QString>("focus"); // object name of the focused widget
        QTest::addColumn<QString>("delivery");
        QTest::addColumn<QString>("outcome"); // the run state, or "link" for the logo's page

        const QHash<QString, QString> outcomes = {
            {"itemNumberLineEdit", "Sorting"}, {"delayLineEdit", "Sorting"},
            {"startSortingButton", "Sorting"}, {"resetButton", "Reshuffling"},
            {"velmoButton", "link"},           {"sortingMethodsComboBox", "Sorting"},
            {"sortGraphicView", "Sorting"},    {"Ordavex", "Sorting"}};
        for (const QString &delivery : QStringList{"to the widget", "to the window", "X server"})
            for (auto focus = outcomes.cbegin(); focus != outcomes.cend(); ++focus)
                QTest::newRow(qPrintable(focus.key() + ", " + delivery))
                    << focus.key() << delivery << focus.value();
    }

    void returnKey()
    {
        QFETCH(QString, focus);
        QFETCH(QString, delivery);
        QFETCH(QString, outcome);

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
        if (outcome == "link") {
            QTRY_COMPARE(catcher.urls.size(), 1);
            QCOMPARE(runState(window), QString("Fresh"));
            return;
        }
        if (outcome == "Reshuffling") {
            QTRY_COMPARE(runState(window), QString("Reshuffling"));
            QCOMPARE(window.ui->stepNumberLabel->text(), QString("Nombre d'échanges : \n0"));
            QTRY_COMPARE(runState(window), QString("Fresh"));
            QVERIFY(catcher.urls.isEmpty());
            return;
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
