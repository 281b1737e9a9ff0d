#include "platform/ui/buttons.h"

namespace vendaro::ui {

QPushButton* namedButton(const QString& caption, const char* objectName, QWidget* parent, bool isDefault) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(QString::fromLatin1(objectName));
  if (isDefault) button->setDefault(true);
  return button;
}

void addCentredButtons(QBoxLayout* layout, std::initializer_list<QWidget*> buttons) {
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  for (QWidget* button : buttons) row->addWidget(button);
  row->addStretch(1);
  layout->addLayout(row);
}

}  // namespace vendaro::ui
