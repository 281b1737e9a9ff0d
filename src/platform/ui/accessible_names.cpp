#include "platform/ui/accessible_names.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QBoxLayout>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWidget>

namespace vendaro::ui {

namespace {

bool needsCaption(QWidget* w) {
  if (!w->accessibleName().isEmpty()) return false;
  // The edit inside a combo or spin box is spoken as part of it.
  if (qobject_cast<QLineEdit*>(w))
    return !qobject_cast<QComboBox*>(w->parentWidget()) && !qobject_cast<QAbstractSpinBox*>(w->parentWidget());
  return qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QTextEdit*>(w) || qobject_cast<QComboBox*>(w) ||
         qobject_cast<QAbstractSpinBox*>(w) || qobject_cast<QAbstractItemView*>(w);
}

QString caption(const QLabel* label) {
  if (!label || label->text().isEmpty()) return {};
  QString out;
  for (QChar c : label->text())
    if (!c.isSpace() && c != QLatin1Char('&')) out += c;
  // A caption ending in a colon is read without it.
  while (out.endsWith(QLatin1Char(':')) || out.endsWith(QChar(0xFF1A))) out.chop(1);
  return out;
}

/// The layout that holds `w` directly, searched from `layout` down.
QLayout* holder(QLayout* layout, QWidget* w) {
  if (!layout) return nullptr;
  if (layout->indexOf(w) >= 0) return layout;
  for (int i = 0; i < layout->count(); ++i)
    if (QLayout* inner = layout->itemAt(i)->layout())
      if (QLayout* found = holder(inner, w)) return found;
  return nullptr;
}

QLabel* labelAt(QLayoutItem* item) { return item ? qobject_cast<QLabel*>(item->widget()) : nullptr; }

/// The caption beside `w` inside `layout`, or empty.
QString captionIn(QLayout* layout, QWidget* w) {
  int index = layout->indexOf(w);
  if (auto* form = qobject_cast<QFormLayout*>(layout)) {
    int row;
    QFormLayout::ItemRole role;
    form->getItemPosition(index, &row, &role);
    if (role == QFormLayout::FieldRole) return caption(labelAt(form->itemAt(row, QFormLayout::LabelRole)));
    return {};
  }
  if (auto* grid = qobject_cast<QGridLayout*>(layout)) {
    int row, column, rowSpan, columnSpan;
    grid->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
    for (int c = column - 1; c >= 0; --c) {
      QLayoutItem* item = grid->itemAtPosition(row, c);
      if (!item) continue;
      if (QLabel* label = labelAt(item)) return caption(label);
      break;  // another control stands between: its caption is not this one's
    }
    // A caption above, in a column of captions over boxes.
    if (row > 0) return caption(labelAt(grid->itemAtPosition(row - 1, column)));
    return {};
  }
  if (auto* box = qobject_cast<QBoxLayout*>(layout)) {
    for (int i = index - 1; i >= 0; --i) {
      QLayoutItem* item = box->itemAt(i);
      if (item->spacerItem()) continue;
      return caption(labelAt(item));
    }
  }
  return {};
}

}  // namespace

void nameControlsByCaptions(QWidget* root) {
  const auto widgets = root->findChildren<QWidget*>();
  QHash<QWidget*, QLabel*> buddies;
  for (QLabel* label : root->findChildren<QLabel*>())
    if (label->buddy()) buddies.insert(label->buddy(), label);
  for (QWidget* w : widgets) {
    if (!needsCaption(w)) continue;
    QString name;
    if (QLabel* buddy = buddies.value(w)) {
      name = caption(buddy);  // the label made this box's buddy
    } else if (QWidget* parent = w->parentWidget()) {
      if (QLayout* layout = holder(parent->layout(), w)) name = captionIn(layout, w);
    }
    if (name.isEmpty()) continue;
    w->setAccessibleName(name);
    // On this platform a combo box is read out by what it shows; its caption goes with it as
    // the description, where no field name stands there already.
    if (qobject_cast<QComboBox*>(w) && w->accessibleDescription().isEmpty()) w->setAccessibleDescription(name);
  }
}

}  // namespace vendaro::ui
