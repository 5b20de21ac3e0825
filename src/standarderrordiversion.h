// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef STANDARDERRORDIVERSION_H
#define STANDARDERRORDIVERSION_H

// Sends the process's standard error to /dev/null from its construction until
// end() or its destruction, whichever comes first. OpenAL and ALSA write their
// complaints about a missing sound card straight to the standard error, past
// the audio library's own error stream; everything else written meanwhile is
// lost too, so the diversion is kept to the calls that open the device.
class StandardErrorDiversion
{
public:
    StandardErrorDiversion();
    ~StandardErrorDiversion();
    StandardErrorDiversion(const StandardErrorDiversion &) = delete;
    StandardErrorDiversion &operator=(const StandardErrorDiversion &) = delete;

    void end();

private:
    // The real standard error while diverted, else -1.
    int savedStandardError = -1;
};

#endif // STANDARDERRORDIVERSION_H
