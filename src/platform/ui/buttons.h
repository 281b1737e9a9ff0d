#pragma once
// Push buttons of the program's windows: each has the object name its window's code and the
// tests find it by, and the rows of OK and cancel buttons sit centred under the window's contents.

#include <QBoxLayout>
#include <QPushButton>
#include <initializer_list>

namespace vendaro::ui {

/// A push button with its object name; `isDefault` makes it the dialog's default button, the
/// one Enter presses.
QPushButton* namedButton(const QString& caption, const char* objectName, QWidget* parent, bool isDefault = false);

/// Adds a row holding the buttons, centred, to the bottom of `layout`.
void addCentredButtons(QBoxLayout* layout, std::initializer_list<QWidget*> buttons);

}  // namespace vendaro::ui
