// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef PAUSECONTROL_H
#define PAUSECONTROL_H

#include <QObject>
#include <QTimer>

class MainWindow;
class QShortcut;

// Holds a run still, for a teacher to explain it: P pauses the run and
// resumes it, and while it is paused the Right arrow runs one step and the
// Left arrow takes one back, each heard in a short sound. Nothing else of
// the run changes: the step timer keeps its step and its interval, and the
// counter shows the exchanges so far while the run stands still.
//
// Only a run of an algorithm pauses; the reshuffle and the end sweep go on.
// A start or a reset while paused does what it does during a run.
class PauseControl : public QObject
{
public:
    explicit PauseControl(MainWindow *window);

    static constexpr int stepSoundMs = 150;

    bool isPaused() const { return paused; }
    // Whether a step is being heard while the run stands paused.
    bool stepSounding() const { return stepSound.isActive(); }
    void togglePause();
    void stepOnce();
    void stepBack();
    // The run was cut off (start or reset): nothing is paused any more.
    void forget();

private:
    void setPaused(bool on);
    void soundStep();

    MainWindow *window;
    QShortcut *stepKey;
    QShortcut *backKey;
    QTimer stepSound;
    bool paused = false;
};

#endif // PAUSECONTROL_H
