// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef MUTECONTROL_H
#define MUTECONTROL_H

#include <QObject>

class MainWindow;

// M silences the tone and brings it back, for as long as the program runs.
// Everything else goes on as before: the tone plays and stops when it would,
// at no volume, so that bringing it back in the middle of a run is heard at
// once. Which of the two it is, is spoken to screen readers.
class MuteControl : public QObject
{
public:
    explicit MuteControl(MainWindow *window);

    bool isMuted() const { return muted; }
    void toggle();

private:
    MainWindow *window;
    bool muted = false;
};

#endif // MUTECONTROL_H
