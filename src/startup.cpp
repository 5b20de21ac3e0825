// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "startup.h"
#include "mainwindow.h"

#include <QFontDatabase>
#include <QIcon>
#include <QScreen>

void showMainWindow(MainWindow &window)
{
    window.setWindowState(Qt::WindowFullScreen);
    window.setWindowIcon(QIcon(":/res/icon.png"));
    QFontDatabase::addApplicationFont(":/res/Renogare.ttf");
    // The window lays itself out once, at its first resize event. Some
    // platforms deliver that event at the design size and only then go full
    // screen, so give the window the screen's size before it is shown.
    window.resize(window.screen()->size());
    window.show();
}
