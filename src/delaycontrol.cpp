// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "delaycontrol.h"
#include "mainwindow.h"
#include "pausecontrol.h"
#include "ui_mainwindow.h"

#include <QLineEdit>
#include <QShortcut>
#include <QTimer>

#include <algorithm>
#include <climits>
#include <cmath>

DelayControl::DelayControl(MainWindow *window)
    : QObject(window)
    , window(window)
{
    // The main keys and the keypad's. In a number field they type, as P does.
    auto *fasterKey = new QShortcut(window);
    auto *slowerKey = new QShortcut(window);
    fasterKey->setKeys({QKeySequence(Qt::Key_Plus), QKeySequence(Qt::KeypadModifier | Qt::Key_Plus)});
    slowerKey->setKeys({QKeySequence(Qt::Key_Minus), QKeySequence(Qt::KeypadModifier | Qt::Key_Minus)});
    connect(fasterKey, &QShortcut::activated, this, &DelayControl::faster);
    connect(slowerKey, &QShortcut::activated, this, &DelayControl::slower);
}

int DelayControl::shorter(double delay)
{
    const auto next = std::lower_bound(notches.begin(), notches.end(), delay);
    return next == notches.begin() ? -1 : *(next - 1);
}

int DelayControl::longer(double delay)
{
    const auto next = std::upper_bound(notches.begin(), notches.end(), delay);
    return next == notches.end() ? -1 : *next;
}

void DelayControl::faster()
{
    moveTo(shorter(fieldDelay()));
}

void DelayControl::slower()
{
    moveTo(longer(fieldDelay()));
}

double DelayControl::fieldDelay() const
{
    // Read as a run reads it: what is no number, or negative, is no delay.
    const double delay = window->ui->delayLineEdit->text().toFloat();
    return std::isnan(delay) ? 0.0 : std::max(delay, 0.0);
}

void DelayControl::moveTo(int notch)
{
    if (notch < 0) {
        // At the end of the ladder nothing changes; the listener hears where.
        const int delay = int(std::min(fieldDelay(), double(INT_MAX)));
        window->announcer.announce(QString("Délai : %1 ms").arg(delay));
        return;
    }
    window->ui->delayLineEdit->setText(QString::number(notch));
    const bool running = window->sortTimer->isActive() && !window->shuffling;
    if (running || window->pauseControl->isPaused())
        window->sortTimer->setInterval(notch); // a running timer starts over with it
    window->announcer.announce(QString("Délai : %1 ms").arg(notch));
}
