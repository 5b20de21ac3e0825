// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "soundrecovery.h"
#include "mainwindow.h"
#include "mutecontrol.h"
#include "pausecontrol.h"
#include "standarderrordiversion.h"

#include <AL/alc.h>
#include <AL/alext.h>

#include <iostream>
#include <new>
#include <vector>

SoundRecovery::SoundRecovery(MainWindow *window)
    : QObject(window)
    , deviceWorks([this] { return currentDeviceWorks(); })
    , reopenDevice([this] { reopenTone(); })
    , window(window)
{
    // A device that did not open at start-up is lost from the start; the
    // window has said so.
    lost = !window->soundAvailable;
    checkTimer.setInterval(checkMs);
    connect(&checkTimer, &QTimer::timeout, this, &SoundRecovery::check);
    checkTimer.start();
}

bool SoundRecovery::currentDeviceWorks()
{
    ALCcontext *context = alcGetCurrentContext();
    ALCdevice *device = context ? alcGetContextsDevice(context) : nullptr;
    if (!device)
        return false;
    ALCint connected = 1;
    if (alcIsExtensionPresent(device, "ALC_EXT_disconnect"))
        alcGetIntegerv(device, ALC_CONNECTED, 1, &connected);
    ALCint64SOFT clock = -1;
    if (alcIsExtensionPresent(device, "ALC_SOFT_device_clock")) {
        auto getInteger64 =
            reinterpret_cast<LPALCGETINTEGER64VSOFT>(alcGetProcAddress(device, "alcGetInteger64vSOFT"));
        if (getInteger64)
            getInteger64(device, ALC_DEVICE_CLOCK_SOFT, 1, &clock);
    }
    // A device mixes all the time, silence too: a clock that stood still
    // for a second has lost its server.
    const bool stood = device == lastDevice && clock >= 0 && clock == lastClockNs;
    lastDevice = device;
    lastClockNs = clock;
    return connected != 0 && !stood;
}

void SoundRecovery::check()
{
    ++checkCount;
    bool works = deviceWorks();
    if (!works) {
        const bool settling = sinceBack.isValid() && sinceBack.elapsed() < settleMs;
        if (!lost && !settling) {
            lost = true;
            std::cerr << "ordavex: périphérique audio perdu, le son est coupé" << std::endl;
            window->announcer.announce("Sortie audio perdue");
        }
        reopenDevice();
        works = deviceWorks();
    }
    if (lost && works) {
        lost = false;
        sinceBack.start();
        std::cerr << "ordavex: périphérique audio retrouvé, le son est rétabli" << std::endl;
        window->announcer.announce("Sortie audio retrouvée");
    }
}

bool SoundRecovery::toneWanted() const
{
    return window->sortTimer->isActive() || window->finishTimer->isActive()
           || window->pauseControl->stepSounding();
}

void SoundRecovery::reopenTone()
{
    sf::SoundBuffer &buffer = window->toneBuffer;
    sf::Sound &tone = window->tone;
    // Without a device the audio library cannot say what the tone was set to.
    const bool hadDevice = alcGetCurrentContext() != nullptr;
    const float pitch = hadDevice ? tone.getPitch() : 1.0f;
    const float volume = window->muteControl->isMuted() ? 0.0f : MainWindow::toneVolume;
    const std::vector<sf::Int16> samples(buffer.getSamples(), buffer.getSamples() + buffer.getSampleCount());

    // The last objects of the audio library: as they go, the device closes,
    // and the first one made again opens the default device.
    tone.~Sound();
    buffer.~SoundBuffer();
    {
        const StandardErrorDiversion opening;
        new (&buffer) sf::SoundBuffer;
        buffer.loadFromSamples(samples.data(), samples.size(), 1, MainWindow::toneSampleRate);
        new (&tone) sf::Sound(buffer);
    }
    tone.setPitch(pitch);
    tone.setVolume(volume);
    tone.setLoop(true);
    if (toneWanted())
        tone.play();
}
