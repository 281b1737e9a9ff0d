#include "book/ui/FieldListChooser.h"

#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "platform/ui/qtext.h"

namespace vendaro::book::ui {

using vendaro::ui::toQ;
using vendaro::ui::u8;

namespace {

QToolButton* button(QWidget* parent, const char* name, const QString& text) {
  auto* b = new QToolButton(parent);
  b->setObjectName(QString::fromLatin1(name));
  b->setText(text);
  b->setMinimumSize(28, 25);
  b->setFocusPolicy(Qt::NoFocus);
  return b;
}

QListWidget* list(QWidget* parent, const char* name) {
  auto* l = new QListWidget(parent);
  l->setObjectName(QString::fromLatin1(name));
  l->setSelectionMode(QAbstractItemView::ExtendedSelection);
  l->setMinimumSize(150, 220);
  return l;
}

}  // namespace

FieldListChooser::FieldListChooser(const char* firstCaption, const char* secondCaption, bool orderButtons,
                                   QWidget* parent)
    : QWidget(parent) {
  setObjectName(QStringLiteral("FieldListChooser"));
  Label1 = new QLabel(u8(firstCaption), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label2 = new QLabel(u8(secondCaption), this);
  Label2->setObjectName(QStringLiteral("Label2"));
  ListBox1 = list(this, "ListBox1");
  ListBox2 = list(this, "ListBox2");
  SpeedButton1 = button(this, "SpeedButton1", u8("＞"));
  SpeedButton2 = button(this, "SpeedButton2", u8("＜"));

  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->addWidget(Label1, 0, 0);
  grid->addWidget(Label2, 0, 2);
  grid->addWidget(ListBox1, 1, 0);
  auto* middle = new QVBoxLayout;
  middle->addStretch(1);
  middle->addWidget(SpeedButton1);
  middle->addWidget(SpeedButton2);
  middle->addStretch(1);
  grid->addLayout(middle, 1, 1);
  grid->addWidget(ListBox2, 1, 2);
  if (orderButtons) {
    SpeedButton3 = button(this, "SpeedButton3", QString(QChar(0x2191)));
    SpeedButton4 = button(this, "SpeedButton4", QString(QChar(0x2193)));
    auto* under = new QHBoxLayout;
    under->addStretch(1);
    under->addWidget(SpeedButton3);
    under->addWidget(SpeedButton4);
    under->addStretch(1);
    grid->addLayout(under, 2, 2);
    connect(SpeedButton3, &QToolButton::clicked, this, [this] { SpeedButton3Click(); });
    connect(SpeedButton4, &QToolButton::clicked, this, [this] { SpeedButton4Click(); });
  }
  connect(SpeedButton1, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });
  connect(SpeedButton2, &QToolButton::clicked, this, [this] { SpeedButton2Click(); });
}

ChooserList FieldListChooser::take(const QListWidget* list) {
  ChooserList content;
  for (int i = 0; i < list->count(); ++i) {
    const QListWidgetItem* item = list->item(i);
    QByteArray bytes = item->data(Qt::UserRole).toByteArray();
    content.entries.emplace_back(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    content.selected.push_back(item->isSelected());
  }
  return content;
}

void FieldListChooser::put(QListWidget* list, const ChooserList& content) {
  list->clear();
  for (std::size_t i = 0; i < content.entries.size(); ++i) {
    const std::string& entry = content.entries[i];
    // The entry's own bytes travel with the item, so nothing is lost to the display conversion.
    auto* item = new QListWidgetItem(toQ(entry), list);
    item->setData(Qt::UserRole, QByteArray(entry.data(), static_cast<qsizetype>(entry.size())));
    if (i < content.selected.size() && content.selected[i]) item->setSelected(true);
  }
}

void FieldListChooser::setLists(const std::vector<std::string>& notChosen, const std::vector<std::string>& chosen) {
  ChooserList first, second;
  first.assign(notChosen);
  second.assign(chosen);
  put(ListBox1, first);
  put(ListBox2, second);
}

std::vector<std::string> FieldListChooser::notChosen() const { return take(ListBox1).entries; }
std::vector<std::string> FieldListChooser::chosen() const { return take(ListBox2).entries; }

bool FieldListChooser::readFile(const std::string& path) {
  auto lists = readTwoListFile(path);
  if (!lists) return false;
  setLists(*lists);
  return true;
}

void FieldListChooser::writeFile(const std::string& path) const { writeTwoListFile(path, lists()); }

void FieldListChooser::SpeedButton1Click() {
  ChooserList from = take(ListBox1), to = take(ListBox2);
  if (!transferBlock(from, to)) return;
  put(ListBox1, from);
  put(ListBox2, to);
}

void FieldListChooser::SpeedButton2Click() {
  ChooserList from = take(ListBox2), to = take(ListBox1);
  if (!transferBlock(from, to)) return;
  put(ListBox2, from);
  put(ListBox1, to);
}

void FieldListChooser::SpeedButton3Click() {
  ChooserList content = take(ListBox2);
  if (moveBlockUp(content)) put(ListBox2, content);
}

void FieldListChooser::SpeedButton4Click() {
  ChooserList content = take(ListBox2);
  if (moveBlockDown(content)) put(ListBox2, content);
}

}  // namespace vendaro::book::ui
