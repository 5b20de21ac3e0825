// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "accessiblefields.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFontMetrics>
#include <QLineEdit>
#include <QValidator>

#include <functional>

namespace {

#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
QAccessibleInterface *fieldFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("QLineEdit"))
        return new AccessibleLineEdit(static_cast<QLineEdit *>(object));
    if (className == QLatin1String("QComboBox") && !static_cast<QComboBox *>(object)->isEditable())
        return new AccessibleComboBox(static_cast<QComboBox *>(object));
    return nullptr;
}
#endif

// One run of no attributes over the whole text: Orca reads a line run by
// run, and a run of no length loses a character.
QString wholeRun(int length, int *startOffset, int *endOffset)
{
    *startOffset = 0;
    *endOffset = length;
    return QString();
}

} // namespace

void installAccessibleFields()
{
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
    static const bool installed = [] {
        QAccessible::installFactory(fieldFactory);
        return true;
    }();
    Q_UNUSED(installed);
#endif
}

// ---------------------------------------------------------------- line edit

AccessibleLineEdit::AccessibleLineEdit(QLineEdit *edit)
    : QAccessibleWidget(edit, QAccessible::EditableText)
{
    addControllingSignal(QLatin1String("textChanged(const QString&)"));
    addControllingSignal(QLatin1String("returnPressed()"));
}

QLineEdit *AccessibleLineEdit::lineEdit() const
{
    return static_cast<QLineEdit *>(widget());
}

void *AccessibleLineEdit::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    if (type == QAccessible::EditableTextInterface)
        return static_cast<QAccessibleEditableTextInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString AccessibleLineEdit::text(QAccessible::Text type) const
{
    QString text;
    if (type == QAccessible::Value && lineEdit()->echoMode() == QLineEdit::Normal)
        text = lineEdit()->text();
    if (text.isEmpty())
        text = QAccessibleWidget::text(type);
    if (text.isEmpty() && type == QAccessible::Description)
        text = lineEdit()->placeholderText();
    return text;
}

void AccessibleLineEdit::setText(QAccessible::Text type, const QString &text)
{
    if (type != QAccessible::Value) {
        QAccessibleWidget::setText(type, text);
        return;
    }
    QString checked = text;
    int position = 0;
    if (lineEdit()->validator()
        && lineEdit()->validator()->validate(checked, position) != QValidator::Acceptable)
        return;
    lineEdit()->setText(checked);
}

QAccessible::State AccessibleLineEdit::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.editable = true;
    state.readOnly = lineEdit()->isReadOnly();
    state.passwordEdit = lineEdit()->echoMode() != QLineEdit::Normal;
    state.selectableText = true;
    return state;
}

void AccessibleLineEdit::selection(int selectionIndex, int *startOffset, int *endOffset) const
{
    *startOffset = *endOffset = 0;
    if (selectionIndex != 0 || !lineEdit()->hasSelectedText())
        return;
    *startOffset = lineEdit()->selectionStart();
    *endOffset = *startOffset + lineEdit()->selectionLength();
}

int AccessibleLineEdit::selectionCount() const
{
    return lineEdit()->hasSelectedText() ? 1 : 0;
}

void AccessibleLineEdit::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void AccessibleLineEdit::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0)
        lineEdit()->deselect();
}

void AccessibleLineEdit::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex == 0)
        lineEdit()->setSelection(startOffset, endOffset - startOffset);
}

int AccessibleLineEdit::cursorPosition() const
{
    return lineEdit()->cursorPosition();
}

void AccessibleLineEdit::setCursorPosition(int position)
{
    lineEdit()->setCursorPosition(position);
}

QString AccessibleLineEdit::text(int startOffset, int endOffset) const
{
    if (startOffset > endOffset || lineEdit()->echoMode() != QLineEdit::Normal)
        return QString();
    return lineEdit()->text().mid(startOffset, endOffset - startOffset);
}

QString AccessibleLineEdit::textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                         int *startOffset, int *endOffset) const
{
    return shownText(offset, startOffset, endOffset, [&](int at) {
        return QAccessibleTextInterface::textAtOffset(at, boundaryType, startOffset, endOffset);
    });
}

QString AccessibleLineEdit::textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                             int *startOffset, int *endOffset) const
{
    return shownText(offset, startOffset, endOffset, [&](int at) {
        return QAccessibleTextInterface::textBeforeOffset(at, boundaryType, startOffset, endOffset);
    });
}

QString AccessibleLineEdit::textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                            int *startOffset, int *endOffset) const
{
    return shownText(offset, startOffset, endOffset, [&](int at) {
        return QAccessibleTextInterface::textAfterOffset(at, boundaryType, startOffset, endOffset);
    });
}

QString AccessibleLineEdit::shownText(int offset, int *startOffset, int *endOffset,
                                      const std::function<QString(int)> &find) const
{
    // A hidden text has no lines, words or characters to hand out.
    if (lineEdit()->echoMode() != QLineEdit::Normal) {
        *startOffset = *endOffset = -1;
        return QString();
    }
    return find(offset == -2 ? cursorPosition() : offset); // -2: at the caret
}

int AccessibleLineEdit::characterCount() const
{
    return int(lineEdit()->text().size());
}

QRect AccessibleLineEdit::characterRect(int offset) const
{
    // Measured from the caret, the one place the line edit shows.
    const QString all = lineEdit()->text();
    const QString character = text(offset, offset + 1);
    if (character.isEmpty())
        return QRect();
    const QFontMetrics metrics(lineEdit()->font());
    const QRect caret = lineEdit()->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    const int x = caret.x() + metrics.horizontalAdvance(all.left(offset))
                  - metrics.horizontalAdvance(all.left(lineEdit()->cursorPosition()));
    const QRect rect(x, caret.y(), metrics.horizontalAdvance(character), metrics.height());
    return QRect(lineEdit()->mapToGlobal(rect.topLeft()), rect.size());
}

int AccessibleLineEdit::offsetAtPoint(const QPoint &point) const
{
    return lineEdit()->cursorPositionAt(lineEdit()->mapFromGlobal(point));
}

void AccessibleLineEdit::scrollToSubstring(int startIndex, int endIndex)
{
    Q_UNUSED(endIndex);
    lineEdit()->setCursorPosition(startIndex);
}

QString AccessibleLineEdit::attributes(int offset, int *startOffset, int *endOffset) const
{
    Q_UNUSED(offset);
    return wholeRun(characterCount(), startOffset, endOffset);
}

void AccessibleLineEdit::deleteText(int startOffset, int endOffset)
{
    replaceText(startOffset, endOffset, QString());
}

void AccessibleLineEdit::insertText(int offset, const QString &text)
{
    replaceText(offset, offset, text);
}

void AccessibleLineEdit::replaceText(int startOffset, int endOffset, const QString &text)
{
    QString changed = lineEdit()->text();
    changed.replace(startOffset, endOffset - startOffset, text);
    setText(QAccessible::Value, changed);
}

// ---------------------------------------------------------------- combo box

AccessibleComboBox::AccessibleComboBox(QComboBox *box)
    : QAccessibleWidget(box, QAccessible::ComboBox)
{}

QComboBox *AccessibleComboBox::comboBox() const
{
    return static_cast<QComboBox *>(widget());
}

void *AccessibleComboBox::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

// Its one child is the list of choices.
QAccessibleInterface *AccessibleComboBox::child(int index) const
{
    return index == 0 ? QAccessible::queryAccessibleInterface(comboBox()->view()) : nullptr;
}

int AccessibleComboBox::childCount() const
{
    return 1;
}

int AccessibleComboBox::indexOfChild(const QAccessibleInterface *child) const
{
    return child && child->object() == comboBox()->view() ? 0 : -1;
}

QString AccessibleComboBox::text(QAccessible::Text type) const
{
    // Its label says what it is for, and its name which choice it holds.
    if (type == QAccessible::Name || type == QAccessible::Value) {
        QString current = comboBox()->currentText();
        if (!current.isEmpty())
            return current;
    }
    if (type == QAccessible::Accelerator)
        return QKeySequence(Qt::Key_Down).toString(QKeySequence::NativeText);
    return QAccessibleWidget::text(type);
}

QAccessible::State AccessibleComboBox::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.expandable = true;
    state.expanded = comboBox()->view()->isVisible();
    return state;
}

QStringList AccessibleComboBox::actionNames() const
{
    return {showMenuAction(), pressAction()};
}

void AccessibleComboBox::doAction(const QString &actionName)
{
    if (actionName != showMenuAction() && actionName != pressAction())
        return;
    if (comboBox()->view()->isVisible())
        comboBox()->hidePopup();
    else
        comboBox()->showPopup();
}

void AccessibleComboBox::selection(int selectionIndex, int *startOffset, int *endOffset) const
{
    Q_UNUSED(selectionIndex);
    *startOffset = *endOffset = 0;
}

QString AccessibleComboBox::text(int startOffset, int endOffset) const
{
    if (startOffset > endOffset)
        return QString();
    return comboBox()->currentText().mid(startOffset, endOffset - startOffset);
}

int AccessibleComboBox::characterCount() const
{
    return int(comboBox()->currentText().size());
}

QString AccessibleComboBox::attributes(int offset, int *startOffset, int *endOffset) const
{
    Q_UNUSED(offset);
    return wholeRun(characterCount(), startOffset, endOffset);
}
