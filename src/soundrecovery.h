// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef SOUNDRECOVERY_H
#define SOUNDRECOVERY_H

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>

class MainWindow;

// Brings the tone back when the audio device goes away and comes back: the
// desktop's sound server restarted, crashed, or started after the program.
//
// Once a second it asks the audio library whether the device is still
// there and still plays, never on a tick: whether it is connected, and
// whether its clock went on since the last time (OpenAL's PipeWire backend
// never says a device is lost; its clock only stops). A device lost, or
// never opened, is opened again:
// the tone and its buffer, the last objects of the audio library, are made
// afresh in place, which closes the old device and opens the default one,
// and the tone takes up its pitch, volume and loop, and plays if the
// program has it play: during a reshuffle, a run, a step heard while
// paused, or the end sweep. A try when no server answers takes well under
// a millisecond, so one is made each second until the device opens.
//
// The loss and the return are said once each, on the standard error and
// to screen readers. A server that has just come back may take the device
// away once more as it sets its outputs up: a loss within settleMs of the
// return is mended without a word.
class SoundRecovery : public QObject
{
public:
    explicit SoundRecovery(MainWindow *window);

    static constexpr int checkMs = 1000;
    static constexpr int settleMs = 5000;

    // Whether the audio library has a device that works (a test may stand
    // in for it). A device it had not asked about yet works if connected.
    std::function<bool()> deviceWorks;
    // Opens the device again under the tone (a test may count it).
    std::function<void()> reopenDevice;

    bool soundLost() const { return lost; }
    int checks() const { return checkCount; }

    // Checks the device now, and opens it again if it is lost.
    void check();

private:
    bool currentDeviceWorks();
    void reopenTone();
    bool toneWanted() const;

    MainWindow *window;
    QTimer checkTimer;
    QElapsedTimer sinceBack; // since the device came back
    bool lost = false;
    const void *lastDevice = nullptr; // asked about last, and its clock then
    qint64 lastClockNs = -1;
    int checkCount = 0;
};

#endif // SOUNDRECOVERY_H
