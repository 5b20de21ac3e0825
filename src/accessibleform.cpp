// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "accessibleform.h"
#include "announcer.h"
#include "ui_mainwindow.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QFocusEvent>
#include <QGraphicsView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

AccessibleForm::AccessibleForm(Ui_Ordavex *ui, QWidget *window, Announcer *announcer)
    : QObject(window)
{
    ui->itemNumberLabel->setBuddy(ui->itemNumberLineEdit);
    ui->delayLabel->setBuddy(ui->delayLineEdit);
    ui->sortingMethodsLabel->setBuddy(ui->sortingMethodsComboBox);
    ui->velmoButton->setAccessibleName("Ouvrir le site web");

    // The bars are heard through the tone and the end of a run is spoken:
    // the view offers nothing to do from the keyboard.
    ui->sortGraphicView->setFocusPolicy(Qt::NoFocus);
    ui->sortGraphicView->viewport()->setFocusPolicy(Qt::NoFocus);
    ui->sortGraphicView->setAccessibleName("Barres");

    // Left to right along the top bar, top to bottom within a column.
    QWidget *const order[] = {ui->velmoButton,        ui->startSortingButton, ui->resetButton,
                              ui->itemNumberLineEdit, ui->delayLineEdit,      ui->sortingMethodsComboBox};
    for (int k = 1; k < int(std::size(order)); ++k)
        QWidget::setTabOrder(order[k - 1], order[k]);

    const QList<QWidget *> tabOnly = {ui->velmoButton, ui->startSortingButton, ui->resetButton,
                                      ui->sortingMethodsComboBox};
    for (QWidget *control : tabOnly) {
        control->setFocusPolicy(Qt::TabFocus);
        restingStyleSheets.insert(control, control->styleSheet());
        control->installEventFilter(this);
    }
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
    // Orca 43 hears a new choice only from an item of the open list.
    QComboBox *methods = ui->sortingMethodsComboBox;
    connect(methods, &QComboBox::currentIndexChanged, this, [methods, announcer] {
        if (methods->hasFocus() && !methods->view()->isVisible())
            announcer->announce(methods->currentText());
    });
#else
    Q_UNUSED(announcer);
#endif

    // Return there starts a run, as everywhere but on another button.
    ui->startSortingButton->setFocus();
}

void AccessibleForm::focusMovedByTab(QWidget *focus)
{
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
    // A number field reached with Tab selects its text before Qt tells of
    // the new focus, and Orca 43 speaks the selection before the field: the
    // value came twice. Told of the selection again, after the focus, it
    // passes over the first telling as out of date, reads the field with
    // its selection, and finds nothing new in the second.
    auto *field = qobject_cast<QLineEdit *>(focus);
    if (field && field->hasSelectedText()) {
        QAccessibleTextSelectionEvent selection(field, field->selectionStart(), field->selectionEnd());
        selection.setCursorPosition(field->cursorPosition());
        QAccessible::updateAccessibility(&selection);
    }
#else
    Q_UNUSED(focus);
#endif
}

bool AccessibleForm::showsKeyboardFocus(const QWidget *control) const
{
    const auto resting = restingStyleSheets.constFind(const_cast<QWidget *>(control));
    return resting != restingStyleSheets.constEnd() && control->styleSheet() != *resting;
}

bool AccessibleForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::FocusIn && event->type() != QEvent::FocusOut)
        return false;
    const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
    // Leaving the window or opening the combo box's list changes nothing.
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
        return false;
    const bool byTab = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason;
    showKeyboardFocus(static_cast<QWidget *>(watched), event->type() == QEvent::FocusIn && byTab);
    return false;
}

void AccessibleForm::showKeyboardFocus(QWidget *control, bool shown)
{
    // The look the control has under the mouse; the logo, which has none,
    // gets a light frame. Added to the control's own style sheet, since that
    // one outweighs any rule set higher up.
    const QString &resting = restingStyleSheets[control];
    const QString kind = control->metaObject()->className();
    const QString look = resting.isEmpty()
                             ? kind + " { border: 2px solid #eeeeee; border-radius: 5px; }"
                             : kind + " { background-color: #eeeeee; border: 2px solid #666666; }";
    const QString sheet = shown ? resting + "\n" + look : resting;
    if (control->styleSheet() != sheet)
        control->setStyleSheet(sheet);
}
