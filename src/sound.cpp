// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mainwindow.h"

#include <SFML/System/Err.hpp>

#include <QTimer>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <sstream>

namespace {

// Where the audio library's messages go while the window sets up its tone.
std::stringbuf &audioSetupMessages()
{
    static std::stringbuf messages;
    return messages;
}

// Swallows what the audio library writes once the tone is set up: without
// an audio device it would write a line for every pitch change.
class DiscardBuffer : public std::streambuf
{
protected:
    int overflow(int c) override { return c; }
};

} // namespace

bool MainWindow::quietAudioLibrary()
{
    // OpenAL writes its own complaints to the standard error, at any time:
    // when a sound server goes away, from a thread of its own. The program
    // says it in one line of its own (soundrecovery.cpp).
    if (!qEnvironmentVariableIsSet("ALSOFT_LOGLEVEL"))
        qputenv("ALSOFT_LOGLEVEL", "0");
    audioSetupMessages().str(std::string());
    sf::err().rdbuf(&audioSetupMessages());
    return true;
}

void MainWindow::reportSoundState()
{
    static DiscardBuffer discard;
    static bool reported = false;
    sf::err().rdbuf(&discard);

    // The audio library only writes here when it could not open the device.
    soundAvailable = audioSetupMessages().str().empty();
    if (!soundAvailable && !reported) {
        reported = true;
        std::cerr << "ordavex: aucun périphérique audio utilisable, le son est coupé" << std::endl;
    }
}

std::vector<sf::Int16> MainWindow::generateSineWaveSound(float frequency, float amplitude)
{
    std::vector<sf::Int16> samples(44100, 0);
    for (int i = 0; i < 44100; ++i) {
        const float t = float(i) / 44100.0f;
        const double s = std::sin(double(t) * (double(frequency) * 6.283185307179586));
        const float scaled = float(s * double(amplitude));
        samples[i] = sf::Int16(scaled * 32767.0f);
    }
    return samples;
}

void MainWindow::updateFrequency(int value, int count)
{
    // A count below one bar (a typed fraction such as 0.5) would divide by zero.
    const float step = maxFrequency / float(std::max(count, 1));
    const float p = (float(value) + pitchOffset) * step;
    tone.setPitch(p / (maxFrequency * 0.5f));
}

void MainWindow::playSmoothEndSound()
{
    if (smoothEndIndex >= barCount()) {
        finishTimer->stop();
        tone.stop();
        smoothEndIndex = 0;
        return;
    }
    updateFrequency(values[smoothEndIndex], int(itemCount));
    smoothEndIndex += 1;
}

void MainWindow::resetSmoothEndSound()
{
    finishTimer->stop();
    tone.stop();
    smoothEndIndex = 0;
}
