// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef STARTUP_H
#define STARTUP_H

class MainWindow;

// Registers the display font and shows the window full screen, laid out for
// the whole screen.
void showMainWindow(MainWindow &window);

#endif // STARTUP_H
