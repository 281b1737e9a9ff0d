#include "entry/ui/CarFormDlg.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "entry/register.h"
#include "platform/sjis.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/qtext.h"
#include "platform/ui/buttons.h"

namespace vendaro::entry::ui {

using vendaro::ui::toQ;
using vendaro::ui::namedButton;
using vendaro::ui::u8;

namespace {
const std::string& registrationField() {
  static const std::string name = sjis::lit("自動車登録番号");
  return name;
}
const std::string& tradeInRegistration() {
  static const std::string name = sjis::lit("下取車2");
  return name;
}

/// A lookup box: lists values to choose from, shows any text, takes no typing.
QComboBox* lookupBox(QWidget* parent, const QString& name) {
  auto* box = new QComboBox(parent);
  box->setObjectName(name);
  box->setEditable(true);
  box->lineEdit()->setReadOnly(true);
  box->setInsertPolicy(QComboBox::NoInsert);
  box->setMaxVisibleItems(16);
  box->setMinimumWidth(260);
  return box;
}
}  // namespace

TCFormDlg::TCFormDlg(vendaro::ui::DataSource& estimates, const std::string& programDirectory,
                     const std::string& cardataDirectory, QWidget* parent)
    : QDialog(parent), estimates_(estimates), programDirectory_(programDirectory), cardataDirectory_(cardataDirectory) {
  setObjectName(QStringLiteral("CFormDlg"));
  setWindowTitle(u8("車検管理表からの呼び出し"));
  auto* layout = new QVBoxLayout(this);
  auto* filter = new QHBoxLayout;
  Label2 = new QLabel(u8("フィルタ指定"), this);
  Label2->setObjectName(QStringLiteral("Label2"));
  Edit1 = new QLineEdit(this);
  Edit1->setObjectName(QStringLiteral("Edit1"));
  filter->addWidget(Label2);
  filter->addWidget(Edit1, 1);
  layout->addLayout(filter);

  GroupBox1 = new QGroupBox(this);
  GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
  auto* grid = new QGridLayout(GroupBox1);
  Label1 = new QLabel(u8("分類"), GroupBox1);
  Label1->setObjectName(QStringLiteral("Label1"));
  DBLookupComboBox1 = lookupBox(GroupBox1, QStringLiteral("DBLookupComboBox1"));
  Label3 = new QLabel(u8("自動車登録番号"), GroupBox1);
  Label3->setObjectName(QStringLiteral("Label3"));
  DBLookupComboBox2 = lookupBox(GroupBox1, QStringLiteral("DBLookupComboBox2"));
  OKBtn = namedButton(u8("OK"), "OKBtn", GroupBox1, true);
  grid->addWidget(Label1, 0, 0);
  grid->addWidget(DBLookupComboBox1, 0, 1);
  grid->addWidget(Label3, 1, 0);
  grid->addWidget(DBLookupComboBox2, 1, 1);
  grid->addWidget(OKBtn, 2, 1, Qt::AlignRight);
  layout->addWidget(GroupBox1);

  connect(Edit1, &QLineEdit::textChanged, this, [this] { Edit1Change(); });
  connect(DBLookupComboBox1, QOverload<int>::of(&QComboBox::activated), this,
          [this](int i) { DBLookupComboBox1Choose(DBLookupComboBox1->itemData(i).toInt()); });
  connect(DBLookupComboBox2, QOverload<int>::of(&QComboBox::activated), this,
          [this](int i) { DBLookupComboBox2Choose(DBLookupComboBox2->itemData(i).toInt()); });
  connect(OKBtn, &QPushButton::clicked, this, [this] { OKBtnClick(); });
  DBLookupComboBox1->installEventFilter(this);
  setFixedSize(sizeHint());
}

TCFormDlg::~TCFormDlg() = default;

bool TCFormDlg::openRegister() {
  if (reg_) return true;
  try {
    reg_ = entry::openRegister(cardataDirectory_);
  } catch (const std::exception& e) {
    vendaro::ui::dialogs().message(parentWidget(), toQ(e.what()));
    return false;
  }
  return true;
}

void TCFormDlg::setLookup(const QString& caption, const std::string& dataField, const std::string& keyField) {
  Label1->setText(caption);
  dataField_ = dataField;
  keyField_ = keyField;
}

int TCFormDlg::showModal() {
  if (!openRegister()) return QDialog::Rejected;
  // The register belongs to its own program: it is held only while the dialog is open.
  struct Release {
    std::unique_ptr<table::Cursor>& reg;
    ~Release() { reg.reset(); }
  } release{reg_};
  filling_ = true;
  Edit1->clear();
  filling_ = false;
  try {
    reg_->setFiltered(false);
    reg_->setFilter("");
    const std::string value = estimates_.cursor().text(dataField_);
    const std::string registration = estimates_.cursor().text(tradeInRegistration());
    const int key = reg_->fieldIndex(keyField_), number = reg_->fieldIndex(registrationField());
    for (int n = 1, count = reg_->recordCount(); n <= count; ++n) {
      auto row = reg_->rowAt(n);
      if (row[static_cast<std::size_t>(key)].text.compare(0, value.size(), value) == 0 &&
          row[static_cast<std::size_t>(number)].text.compare(0, registration.size(), registration) == 0) {
        reg_->setRecNo(n);
        break;
      }
    }
  } catch (const std::exception& e) {
    vendaro::ui::dialogs().message(parentWidget(), toQ(e.what()));
    return QDialog::Rejected;
  }
  fill();
  return vendaro::ui::dialogs().exec(*this);
}

void TCFormDlg::fill() {
  filling_ = true;
  DBLookupComboBox1->clear();
  DBLookupComboBox2->clear();
  const int key = reg_->fieldIndex(keyField_), number = reg_->fieldIndex(registrationField());
  for (int n = 1, count = reg_->recordCount(); n <= count; ++n) {
    auto row = reg_->rowAt(n);
    DBLookupComboBox1->addItem(toQ(row[static_cast<std::size_t>(key)].text), n);
    DBLookupComboBox2->addItem(toQ(row[static_cast<std::size_t>(number)].text), n);
  }
  showEstimateValues();
  filling_ = false;
}

void TCFormDlg::showEstimateValues() {
  DBLookupComboBox1->setEditText(toQ(estimates_.cursor().text(dataField_)));
  DBLookupComboBox2->setEditText(toQ(estimates_.cursor().text(tradeInRegistration())));
}

void TCFormDlg::applyFilter(const QString& text) {
  auto bytes = vendaro::ui::fromQ(text);
  if (!bytes || !reg_) return;
  try {
    reg_->setFilter(prefixFilter(keyField_, *bytes));
    reg_->setFiltered(true);
  } catch (const std::exception& e) {
    vendaro::ui::dialogs().message(this, toQ(e.what()));
    return;
  }
  fill();
}

void TCFormDlg::Edit1Change() {
  if (!filling_) applyFilter(Edit1->text());
}

void TCFormDlg::DBLookupComboBox1Exit() { applyFilter(DBLookupComboBox1->currentText()); }

bool TCFormDlg::eventFilter(QObject* watched, QEvent* event) {
  if (watched == DBLookupComboBox1 && event->type() == QEvent::FocusOut && !filling_) {
    auto reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) DBLookupComboBox1Exit();
  }
  return QDialog::eventFilter(watched, event);
}

void TCFormDlg::writeEstimate(const std::vector<std::pair<std::string, std::string>>& values) {
  estimates_.run([&](table::Cursor& c) {
    if (c.state() == table::Cursor::State::Browse) c.edit();
    for (const auto& [field, value] : values) c.setText(field, value);
  });
  showEstimateValues();
}

void TCFormDlg::DBLookupComboBox1Choose(int n) {
  if (n < 1) return;
  reg_->setRecNo(n);
  writeEstimate({{dataField_, reg_->text(keyField_)}, {tradeInRegistration(), reg_->text(registrationField())}});
}

void TCFormDlg::DBLookupComboBox2Choose(int n) {
  if (n < 1) return;
  reg_->setRecNo(n);
  writeEstimate({{tradeInRegistration(), reg_->text(registrationField())}, {dataField_, reg_->text(keyField_)}});
}

void TCFormDlg::OKBtnClick() {
  bool ok = estimates_.run([&](table::Cursor& c) { copyRegisterRow(*reg_, c, programDirectory_); });
  if (ok) accept();
}

}  // namespace vendaro::entry::ui
