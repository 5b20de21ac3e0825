// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "accessibleform.h"
#include "mainwindow.h"
#include "pausecontrol.h"
#include "ui_mainwindow.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>

void MainWindow::startSorting()
{
    if (shuffling)
        return;
    if (needsReshuffle) {
        reset();
        startPending = true;
    }
    if (2 * pitchOffset >= itemCount)
        pitchOffset = 0;
    tone.play();
    ui->stepNumberLabel->setText("Nombre d'échanges : \n...");
    if (!needsReshuffle)
        algorithms[selectedAlgorithm]();
    needsReshuffle = true;
}

void MainWindow::reset()
{
    if (shuffling)
        return;
    pauseControl->forget();
    stepHistory.clear();
    resetSmoothEndSound();
    sortTimer->stop();
    showSwapCount();
    initializeData();
    startPending = false;
}

void MainWindow::onComboBoxIndexChanged(int index)
{
    selectedAlgorithm = index;
}

void MainWindow::startStepping(void (MainWindow::*step)())
{
    QObject::disconnect(sortTimer, nullptr, nullptr, nullptr);
    connect(sortTimer, &QTimer::timeout, this, step);
    runningStep = step;
    stepHistory.clear();
    startTimer();
}

void MainWindow::runStep()
{
    stepHistory.beginStep();
    std::invoke(runningStep, this);
    stepHistory.endStep();
}

void MainWindow::startTimer()
{
    // NaN reads as no delay; a delay beyond what a millisecond count holds
    // is the longest one the timer takes.
    const double delay = ui->delayLineEdit->text().toFloat();
    const double interval = std::isnan(delay) ? 0.0 : std::min(std::max(delay, 0.0), double(INT_MAX));
    sortTimer->start(int(interval));
}

void MainWindow::stopTimer()
{
    sortTimer->stop();
    showSwapCount();
    announcer.announce(ui->stepNumberLabel->text().simplified());
    // With no bars there is nothing to sweep: the first tick ends the sweep.
    const int bars = barCount();
    finishTimer->start(bars > 0 ? std::max(smoothEndDuration / bars, 1) : 1);
}

void MainWindow::showSwapCount()
{
    ui->stepNumberLabel->setText(QString("Nombre d'échanges : \n%1").arg(swapCount));
}

void MainWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        QCoreApplication::quit();
    if (event->key() == Qt::Key_Return) {
        // A push button outside a dialog leaves Return to its window; on a
        // button reached with Tab, the key means that button.
        if (auto *button = qobject_cast<QPushButton *>(focusWidget()))
            button->click();
        else
            startSorting();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool MainWindow::focusNextPrevChild(bool next)
{
    const bool moved = QMainWindow::focusNextPrevChild(next);
    if (moved)
        accessibleForm->focusMovedByTab(focusWidget());
    return moved;
}

void MainWindow::openLink()
{
    QDesktopServices::openUrl(QUrl(ORDAVEX_HOMEPAGE_URL, QUrl::TolerantMode));
}
