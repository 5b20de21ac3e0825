// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#ifndef ACCESSIBLEFIELDS_H
#define ACCESSIBLEFIELDS_H

#include <QAccessibleWidget>

#include <functional>

class QComboBox;
class QLineEdit;

// The number fields and the list of algorithms as a screen reader of the
// time reads them, for Qt before 6.8 (installAccessibleFields installs
// them; with later Qt it does nothing).
//
// Qt's own line edit reports its text attributes as runs of no length, and
// Orca 43, which reads a line run by run, drops the last character: "150"
// for 1500, nothing for 1. Qt before 6.5 gives its combo box no selection,
// where Orca 43 looks for the chosen item, nor any text, so the choice was
// never spoken. These interfaces are Qt's own but for that: a line edit's
// text is one run, and the combo box offers its current text as its text.
void installAccessibleFields();

class AccessibleLineEdit : public QAccessibleWidget,
                           public QAccessibleTextInterface,
                           public QAccessibleEditableTextInterface
{
public:
    explicit AccessibleLineEdit(QLineEdit *edit);

    void *interface_cast(QAccessible::InterfaceType type) override;
    QString text(QAccessible::Text type) const override;
    void setText(QAccessible::Text type, const QString &text) override;
    QAccessible::State state() const override;

    void selection(int selectionIndex, int *startOffset, int *endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset,
                         int *endOffset) const override;
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset,
                             int *endOffset) const override;
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset,
                            int *endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint &point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int *startOffset, int *endOffset) const override;

    void deleteText(int startOffset, int endOffset) override;
    void insertText(int offset, const QString &text) override;
    void replaceText(int startOffset, int endOffset, const QString &text) override;

private:
    QLineEdit *lineEdit() const;
    // The text that `find` finds from `offset`, if the line edit shows it.
    QString shownText(int offset, int *startOffset, int *endOffset,
                      const std::function<QString(int)> &find) const;
};

class AccessibleComboBox : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit AccessibleComboBox(QComboBox *box);

    void *interface_cast(QAccessible::InterfaceType type) override;
    QAccessibleInterface *child(int index) const override;
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QString text(QAccessible::Text type) const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;

    // Read only, with no caret and no selection: the current choice.
    void selection(int selectionIndex, int *startOffset, int *endOffset) const override;
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint &) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int *startOffset, int *endOffset) const override;

private:
    QComboBox *comboBox() const;
};

#endif // ACCESSIBLEFIELDS_H
