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
    , deviceWorks(&SoundRecovery::currentDeviceWorks)
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
    if (!alcIsExtensionPresent(device, "ALC_EXT_disconnect"))
        return true;
    ALCint connected = 0;
    alcGetIntegerv(device, ALC_CONNECTED, 1, &connected);
    return connected != 0;
}

void SoundRecovery::check()
{
    ++checkCount;
    if (!deviceWorks()) {
        const bool settling = sinceBack.isValid() && sinceBack.elapsed() < settleMs;
        if (!lost && !settling) {
            lost = true;
            std::cerr << "ordavex: périphérique audio perdu, le son est coupé" << std::endl;
            window->announcer.announce("Sortie audio perdue");
        }
        reopenDevice();
    }
    if (lost && deviceWorks()) {
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
