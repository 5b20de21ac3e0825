#include "mainwindow.h"

#include <SFML/System/Err.hpp>

#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <sstream>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <unistd.h>
#endif

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

#ifdef Q_OS_LINUX
// The standard error while the tone is set up; -1 when not diverted.
int savedStandardError = -1;
#endif

// OpenAL and ALSA write their own complaints about a missing sound card
// straight to the standard error, past sf::err(): divert it while the
// window sets up its tone.
void divertStandardError()
{
#ifdef Q_OS_LINUX
    std::fflush(stderr);
    savedStandardError = dup(STDERR_FILENO);
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0) {
        dup2(null, STDERR_FILENO);
        close(null);
    }
#endif
}

void restoreStandardError()
{
#ifdef Q_OS_LINUX
    if (savedStandardError < 0)
        return;
    std::fflush(stderr);
    dup2(savedStandardError, STDERR_FILENO);
    close(savedStandardError);
    savedStandardError = -1;
#endif
}

} // namespace

bool MainWindow::quietAudioLibrary()
{
    audioSetupMessages().str(std::string());
    sf::err().rdbuf(&audioSetupMessages());
    divertStandardError();
    return true;
}

void MainWindow::reportSoundState()
{
    static DiscardBuffer discard;
    static bool reported = false;
    restoreStandardError();
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
