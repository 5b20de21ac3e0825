// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef ACCESSIBLEFORM_H
#define ACCESSIBLEFORM_H

#include <QHash>
#include <QObject>
#include <QString>

class Announcer;
class QWidget;
class Ui_Ordavex;

// Makes the form usable from the keyboard and with a screen reader: every
// control has a name, Tab visits them in the order they stand on screen,
// the first focus is on "Trier", and a control reached with Tab shows it
// plainly. A mouse user sees nothing new: the buttons and the combo box
// take the focus by Tab only, and a control shows the focus only when Tab
// brought it there. With Qt before 6.8, the number fields and the list of
// algorithms are read through interfaces of the program's own, and a
// choice made from the keyboard in the closed list is announced.
class AccessibleForm : public QObject
{
public:
    AccessibleForm(Ui_Ordavex *ui, QWidget *window, Announcer *announcer);

    // Tab or Shift+Tab has just moved the focus to `focus`.
    void focusMovedByTab(QWidget *focus);
    // Whether `control` shows that Tab brought the focus to it.
    bool showsKeyboardFocus(const QWidget *control) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showKeyboardFocus(QWidget *control, bool shown);

    QHash<QWidget *, QString> restingStyleSheets;
};

#endif // ACCESSIBLEFORM_H
