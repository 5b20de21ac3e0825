// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mutecontrol.h"
#include "mainwindow.h"

#include <QShortcut>

MuteControl::MuteControl(MainWindow *window)
    : QObject(window)
    , window(window)
{
    auto *muteKey = new QShortcut(QKeySequence(Qt::Key_M), window);
    connect(muteKey, &QShortcut::activated, this, &MuteControl::toggle);
}

void MuteControl::toggle()
{
    muted = !muted;
    window->tone.setVolume(muted ? 0.0f : MainWindow::toneVolume);
    window->announcer.announce(muted ? "Son coupé" : "Son rétabli");
}
