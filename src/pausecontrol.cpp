// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "pausecontrol.h"
#include "announcer.h"
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include <QLabel>
#include <QShortcut>

PauseControl::PauseControl(MainWindow *window)
    : QObject(window)
    , window(window)
{
    // Window shortcuts work wherever the focus is, except in a number field,
    // which keeps the keys it types with. The arrows are only taken from the
    // controls while a run is paused.
    auto *pauseKey = new QShortcut(QKeySequence(Qt::Key_P), window);
    stepKey = new QShortcut(QKeySequence(Qt::Key_Right), window);
    backKey = new QShortcut(QKeySequence(Qt::Key_Left), window);
    stepKey->setEnabled(false);
    backKey->setEnabled(false);
    connect(pauseKey, &QShortcut::activated, this, &PauseControl::togglePause);
    connect(stepKey, &QShortcut::activated, this, &PauseControl::stepOnce);
    connect(backKey, &QShortcut::activated, this, &PauseControl::stepBack);

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
    window->runStep();
    if (window->finishTimer->isActive()) {
        // That was the last step: the run has ended, and its sweep sounds.
        setPaused(false);
        if (window->tone.getStatus() != sf::Sound::Playing)
            window->tone.play();
        return;
    }
    soundStep();
}

void PauseControl::stepBack()
{
    if (!paused)
        return;
    if (!window->stepHistory.undoStep()) {
        window->announcer.announce(window->stepHistory.reachesRunStart() ? "Début" : "Limite");
        return;
    }
    soundStep();
}

void PauseControl::soundStep()
{
    if (window->tone.getStatus() != sf::Sound::Playing)
        window->tone.play();
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
    backKey->setEnabled(on);
    stepSound.stop();
}
