#include "entry/ui/PostDataForm.h"

#include <QEvent>
#include <QFile>
#include <QProgressDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

#include "entry/postal.h"
#include "platform/settings_file.h"
#include "platform/sjis.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/qtext.h"
#include "platform/ui/buttons.h"

namespace vendaro::entry::ui {

using vendaro::ui::namedButton;
using vendaro::ui::u8;

TPostForm::TPostForm(const std::string& programDirectory, const std::string& cardataDirectory, QWidget* parent)
    : QDialog(parent), programDirectory_(programDirectory) {
  setObjectName(QStringLiteral("PostForm"));
  setWindowTitle(u8("郵便番号変換"));
  setSizeGripEnabled(true);
  cursor_ = openPostData(cardataDirectory);
  source_ = std::make_unique<vendaro::ui::DataSource>(*cursor_);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  TopPanel = new QWidget(this);
  TopPanel->setObjectName(QStringLiteral("TopPanel"));
  auto* top = new QHBoxLayout(TopPanel);
  top->setContentsMargins(6, 4, 6, 4);
  Label1 = new QLabel(u8("検索する住所"), TopPanel);
  Label1->setObjectName(QStringLiteral("Label1"));
  AddrEdit = new QLineEdit(TopPanel);
  AddrEdit->setObjectName(QStringLiteral("AddrEdit"));
  SarchButton = namedButton(u8("住所検索"), "SarchButton", TopPanel);
  SarchButton->setAutoDefault(false);
  top->addWidget(Label1);
  top->addWidget(AddrEdit, 1);
  top->addWidget(SarchButton);
  TopPanel->hide();
  layout->addWidget(TopPanel);

  DBGrid1 = new vendaro::ui::DBGrid(source_.get(), this);
  DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
  DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  DBGrid1->horizontalHeader()->setStretchLastSection(true);
  layout->addWidget(DBGrid1, 1);

  BtnPanel = new QWidget(this);
  BtnPanel->setObjectName(QStringLiteral("BtnPanel"));
  BtnPanel->setFixedHeight(41);
  OKBtn = namedButton(u8("OK(&Y)"), "OKBtn", BtnPanel, true);
  CancelBtn = namedButton(u8("ｷｬﾝｾﾙ"), "CancelBtn", BtnPanel);
  CancelBtn->setAutoDefault(false);
  ReadBtn = namedButton(u8("データ読込"), "ReadBtn", BtnPanel);
  ReadBtn->setAutoDefault(false);
  ReadBtn->setToolTip(u8("運輸省のデータ読込"));
  for (QPushButton* b : {OKBtn, CancelBtn, ReadBtn}) b->setFixedSize(75, 25);
  BtnPanel->installEventFilter(this);
  layout->addWidget(BtnPanel);

  connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
  connect(ReadBtn, &QPushButton::clicked, this, [this] { ReadBtnClick(); });
  connect(SarchButton, &QPushButton::clicked, this, [this] { SarchButtonClick(); });
  resize(460, 420);
  placeButtons();
}

TPostForm::~TPostForm() {
  delete DBGrid1;  // before the data source it watches
  DBGrid1 = nullptr;
}

bool TPostForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == BtnPanel && event->type() == QEvent::Resize) placeButtons();
  return QDialog::eventFilter(watched, event);
}

void TPostForm::placeButtons() {
  const int quarter = BtnPanel->width() / 4;
  const int y = (BtnPanel->height() - OKBtn->height()) / 2;
  OKBtn->move(quarter - 37, y);
  CancelBtn->move(quarter * 2 - 37, y);
  ReadBtn->move(quarter * 3 - 37, y);
}

bool TPostForm::locateOrFirst(const std::string& field, const std::string& prefix) {
  standField_ = field;
  standPrefix_ = prefix;
  bool found = false;
  source_->run([&](table::Cursor& c) {
    found = c.locate(field, prefix);
    if (!found) c.first();
  });
  return found;
}

std::string TPostForm::chosenCode() const { return cursor_->text(kPostCodeField); }
std::string TPostForm::chosenAddress() const { return cursor_->text(kPostAddressField); }

void TPostForm::SarchButtonClick() {
  auto prefix = vendaro::ui::fromQ(AddrEdit->text());
  locateOrFirst(kPostAddressField, prefix.value_or(std::string()));
}

bool TPostForm::ReadBtnClick() {
  auto& dialogs = vendaro::ui::dialogs();
  const QString file = dialogs.openFile(this, u8("ＣＳＶファイル"), u8("CSVﾌｧｲﾙ(*.CSV *.csv);;すべて　(*)"),
                                        vendaro::ui::toQ(programDirectory_));
  if (file.isEmpty()) return false;
  QProgressDialog progress(u8("郵便番号データを読み込んでいます..."), u8("中止"), 0, 100, this);
  progress.setObjectName(QStringLiteral("PostImportProgress"));
  progress.setWindowTitle(u8("データ読込"));
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(0);
  progress.setAutoClose(false);
  progress.setValue(0);
  int stored = -1;
  // A refused import, a file that cannot be read and a stop all leave the table as it was; the
  // data source shows why.
  source_->run([&](table::Cursor& c) {
    stored = importPostalList(programDirectory_, c, QFile::encodeName(file).toStdString(), [&](double share) {
      progress.setValue(static_cast<int>(share * 100));
      if (progress.wasCanceled())
        throw std::runtime_error(sjis::lit("郵便番号データの読込を中止しました。データは変更していません。"));
    });
  });
  progress.close();
  if (stored < 0) return false;
  locateOrFirst(standField_.empty() ? kPostCodeField : standField_, standPrefix_);
  dialogs.message(this, u8("郵便番号データを%1件読み込みました。").arg(stored));
  return true;
}

}  // namespace vendaro::entry::ui
