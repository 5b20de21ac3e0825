// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef DELAYCONTROL_H
#define DELAYCONTROL_H

#include <QObject>

#include <array>

class MainWindow;

// + makes a run faster and - slower, while it runs or stands paused: each
// press moves the delay one notch along a ladder, the run takes it at once,
// and the delay field shows it, so that the next run starts with it too.
// Outside a run only the field changes; the reshuffle and the end sweep
// keep their own pace. The new delay is spoken to screen readers.
class DelayControl : public QObject
{
public:
    explicit DelayControl(MainWindow *window);

    static constexpr std::array<int, 11> notches = {0, 1, 2, 5, 10, 20, 50, 100, 200, 500, 1000};

    // The notch next to `delay` in each direction, or -1 past the end of
    // the ladder.
    static int shorter(double delay);
    static int longer(double delay);

    void faster();
    void slower();

private:
    double fieldDelay() const;
    void moveTo(int notch);

    MainWindow *window;
};

#endif // DELAYCONTROL_H
