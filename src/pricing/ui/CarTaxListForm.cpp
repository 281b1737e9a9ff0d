#include "pricing/ui/CarTaxListForm.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

#include "platform/settings_file.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/qtext.h"
#include "pricing/reference_tables.h"
#include "platform/ui/buttons.h"

namespace vendaro::pricing::ui {

using vendaro::ui::DBNavigator;
using vendaro::ui::namedButton;
using vendaro::ui::u8;

TTableListForm::TTableListForm(std::unique_ptr<table::Cursor> cursor, const std::string& programDirectory,
                               const char* widthFile, QWidget* parent)
    : QDialog(parent), cursor_(std::move(cursor)), programDirectory_(programDirectory), widthFile_(widthFile) {
  setWindowTitle(u8("作業リストの修正"));
  setSizeGripEnabled(true);
  source_ = std::make_unique<vendaro::ui::DataSource>(*cursor_, this);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  TopPanel = new QWidget(this);
  TopPanel->setObjectName(QStringLiteral("TopPanel"));
  auto* top = new QHBoxLayout(TopPanel);
  top->setContentsMargins(4, 3, 4, 3);
  top->setSpacing(6);
  auto bar = vendaro::ui::addNavigatorBar(source_.get(), TopPanel, top);
  DBNavigator1 = bar.DBNavigator1;
  DBNavigator2 = bar.DBNavigator2;
  DBNavigator3 = bar.DBNavigator3;
  DBNavigator4 = bar.DBNavigator4;
  top->addStretch(1);
  layout->addWidget(TopPanel);

  // Column widths from the width file, then the grid on them.
  try {
    applyColumnWidths(*cursor_, loadColumnWidths(widthFilePath()));
  } catch (const FileError& e) {
    vendaro::ui::dialogs().message(parent, vendaro::ui::toQ(e.what()));
  }
  DBGrid1 = new vendaro::ui::DBGrid(source_.get(), this);
  DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
  DBGrid1->horizontalHeader()->setSectionsMovable(false);  // columns stay in table order
  layout->addWidget(DBGrid1, 1);

  Panel1 = new QWidget(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setFixedHeight(41);
  OKBtn = namedButton(QStringLiteral("OK"), "OKBtn", Panel1);
  OKBtn->setFixedSize(75, 25);
  OKBtn->setDefault(true);
  layout->addWidget(Panel1);
  Panel1->installEventFilter(this);
  connect(OKBtn, &QPushButton::clicked, this, [this] { OKBtnClick(); });
  resize(560, 360);
  Panel1Resize();
}

TTableListForm::~TTableListForm() {
  delete DBGrid1;  // the grid and navigators go before the data source they use
  DBGrid1 = nullptr;
  delete TopPanel;
  TopPanel = nullptr;
  source_.reset();
}

std::string TTableListForm::widthFilePath() const { return joinPath(programDirectory_, widthFile_); }

bool TTableListForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Panel1 && event->type() == QEvent::Resize) Panel1Resize();
  return QDialog::eventFilter(watched, event);
}

void TTableListForm::Panel1Resize() {
  OKBtn->move(Panel1->width() / 2 - 37, (Panel1->height() - OKBtn->height()) / 2);
}

void TTableListForm::OKBtnClick() {
  std::vector<ColumnWidth> widths;
  for (int field = 0; field < cursor_->schema().fieldCount(); ++field)
    widths.emplace_back(field + 1, DBGrid1->displayWidth(field));
  try {
    saveColumnWidths(widthFilePath(), widths);
  } catch (const FileError& e) {
    vendaro::ui::dialogs().message(this, vendaro::ui::toQ(e.what()));
  }
  accept();
}

void TTableListForm::done(int result) {
  // A row being edited is stored when the window closes, as moving to another row would; a value
  // the table refuses keeps the window open.
  if (cursor_->state() != table::Cursor::State::Browse &&
      !source_->run([](table::Cursor& c) { c.checkBrowseMode(); }))
    return;
  QDialog::done(result);
}

TCTaxForm::TCTaxForm(const std::string& programDirectory, const std::string& cardataDirectory, QWidget* parent)
    : TTableListForm(openCarTaxTable(cardataDirectory), programDirectory, "EsTaxLen.INI", parent) {
  setObjectName(QStringLiteral("CTaxForm"));
}

TCInsureForm::TCInsureForm(const std::string& programDirectory, const std::string& cardataDirectory,
                           QWidget* parent)
    : TTableListForm(openCarInsureTable(cardataDirectory), programDirectory, "EsInsLen.INI", parent) {
  setObjectName(QStringLiteral("CInsureForm"));
}

}  // namespace vendaro::pricing::ui
