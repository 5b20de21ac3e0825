// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "pausecontrol.h"
#include "announcer.h"
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include <QLabel>
#include <QShortcut>

#include <functional>

PauseControl::PauseControl(MainWindow *window)
    : QObject(window)
    , window(window)
{
    // Window shortcuts work wherever the focus is, except in a number field,
    // which keeps the keys it types with. The Right arrow is only taken from
    // the controls while a run is paused.
    auto *pauseKey = new QShortcut(QKeySequence(Qt::Key_P), window);
    stepKey = new QShortcut(QKeySequence(Qt::Key_Right), window);
    stepKey->setEnabled(false);
    connect(pauseKey, &QShortcut::activated, this, &PauseControl::togglePause);
    connect(stepKey, &QShortcut::activated, this, &PauseControl::stepOnce);

    stepSound.setSingleShot(true);
    stepSound.setInterval(stepSoundMs);
    connect(&stepSound, &QTimer::timeout, this, [this] {
        if (paused)
            this->window->tone.stop();
    });
}

void PauseControl::togglePause()
{
    if (paused) {
        setPaused(false);
        window->ui->stepNumberLabel->setText("Nombre d'échanges : \n...");
        if (window->tone.getStatus() != sf::Sound::Playing)
            window->tone.play();
        window->sortTimer->start(); // with the interval the run started with
        window->announcer.announce("Reprise");
    } else if (window->sortTimer->isActive() && !window->shuffling) {
        setPaused(true);
        window->sortTimer->stop();
        window->tone.stop();
        window->showSwapCount();
        window->announcer.announce("Pause");
    }
}

void PauseControl::stepOnce()
{
    if (!paused)
        return;
    std::invoke(window->runningStep, window);
    if (window->tone.getStatus() != sf::Sound::Playing)
        window->tone.play();
    if (window->finishTimer->isActive()) {
        // That was the last step: the run has ended, and its sweep sounds.
        setPaused(false);
        return;
    }
    window->showSwapCount();
    stepSound.start();
}

void PauseControl::forget()
{
    setPaused(false);
}

void PauseControl::setPaused(bool on)
{
    paused = on;
    stepKey->setEnabled(on);
    stepSound.stop();
}
