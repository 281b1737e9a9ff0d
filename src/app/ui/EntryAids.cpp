#include "app/ui/EntryAids.h"

#include <QAction>
#include <QMouseEvent>

#include "entry/kana.h"
#include "entry/postal.h"
#include "entry/ui/CarFormDlg.h"
#include "entry/ui/PostDataForm.h"
#include "entry/ui/YomiEd32.h"
#include "platform/sjis.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/qtext.h"
#include "prefs/ui/RestorePos.h"

namespace vendaro::app::ui {

using vendaro::ui::u8;

namespace {

/// The ten boxes that recall from the register: the box, Label1's caption, the estimate field of
/// DBLookupComboBox1 and the register field it lists.
struct RecallBox {
  const char* control;
  const char* caption;
  const char* dataField;
  const char* keyField;
};
const RecallBox kRecallBoxes[10] = {
    {"DBMemo2", "電話番号", "電話番号", "電話番号"},
    {"DBMemo3", "住所", "住所", "使用者住所"},
    {"DBMemo4", "ふりがな", "ふりがな", "使用者ふりがな"},
    {"YomiDBMemo1", "氏名", "氏名", "使用者"},
    {"DBEdit40", "車種", "下取車1", "車名"},
    {"DBEdit50", "登録番号", "下取車2", "自動車登録番号"},
    {"DBEdit51", "車台番号", "下取車3", "車台番号"},
    {"DBEdit52", "型式", "下取車4", "型式"},
    {"DBEdit53", "年式", "下取車5", "初度登録年月"},
    {"DBEdit54", "車検満期", "下取車6", "有効期間の満了する日"},
};

/// A memo's shown text as the field would store it.
std::string shownText(const QPlainTextEdit* memo) {
  QString text = memo->toPlainText();
  text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  return vendaro::ui::fromQ(text).value_or(std::string());
}

}  // namespace

EntryAids::EntryAids(TEstimateDataForm& form, entry::ui::TPostForm& postForm, std::string cardataDirectory)
    : QObject(&form), form_(form), postForm_(postForm), cardataDirectory_(std::move(cardataDirectory)) {
  // The two panels act as buttons without taking the focus.
  toAddress_ = form.control(QStringLiteral("Panel2Sub3"));
  toPostal_ = form.control(QStringLiteral("Panel2Sub4"));
  for (QWidget* panel : {toAddress_, toPostal_}) {
    panel->setEnabled(true);
    panel->setFocusPolicy(Qt::NoFocus);
    panel->installEventFilter(this);
  }
  toAddress_->setToolTip(u8("住所変換"));
  toAddress_->setStatusTip(u8("住所変換"));

  QAction* import = form.menuItem(QStringLiteral("PostData1"));
  import->setEnabled(true);
  connect(import, &QAction::triggered, this, [this] { PostData1Click(); });

  auto* name = form.control<entry::ui::TYomiDBMemo>(QStringLiteral("YomiDBMemo1"));
  name->VKkana = false;
  name->OnYomiOut = [this](entry::ui::TYomiDBMemo*, std::string& yomi) { YomiDBMemo1YomiOut(yomi); };

  void (EntryAids::*handlers[10])() = {&EntryAids::DBMemo2DblClick,     &EntryAids::DBMemo3DblClick,
                                       &EntryAids::DBMemo4DblClick,     &EntryAids::YomiDBMemo1DblClick,
                                       &EntryAids::DBEdit40DblClick,    &EntryAids::DBEdit50DblClick,
                                       &EntryAids::DBEdit51DblClick,    &EntryAids::DBEdit52DblClick,
                                       &EntryAids::DBEdit53DblClick,    &EntryAids::DBEdit54DblClick};
  for (int i = 0; i < 10; ++i) {
    QWidget* box = form.control(QString::fromLatin1(kRecallBoxes[i].control));
    auto handler = handlers[i];
    auto hint = [this] { form_.showHint(u8(" ダブルクリックで車検管理表から呼び出せます。")); };
    if (auto* memo = qobject_cast<vendaro::ui::DBMemo*>(box)) {
      connect(memo, &vendaro::ui::DBMemo::clicked, this, hint);
      connect(memo, &vendaro::ui::DBMemo::doubleClicked, this, [this, handler] { (this->*handler)(); });
    } else if (auto* edit = qobject_cast<vendaro::ui::DBEdit*>(box)) {
      connect(edit, &vendaro::ui::DBEdit::clicked, this, hint);
      connect(edit, &vendaro::ui::DBEdit::doubleClicked, this, [this, handler] { (this->*handler)(); });
    }
  }
}

bool EntryAids::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    auto* panel = static_cast<QWidget*>(watched);
    if (panel->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint())) {
      if (watched == toAddress_) Panel2Sub3Click();
      if (watched == toPostal_) Panel2Sub4Click();
      return true;
    }
  }
  return QObject::eventFilter(watched, event);
}

void EntryAids::Panel2Sub3Click() {
  if (form_.postalCodeEdited()) {
    // Moving on makes the postal-code box write what was typed into the record.
    QWidget* memo = form_.control(QStringLiteral("DBMemo1"));
    QWidget* next = memo->nextInFocusChain();
    while (next != memo && !(next->focusPolicy() & Qt::TabFocus && next->isEnabled() && next->isVisible()))
      next = next->nextInFocusChain();
    next->setFocus(Qt::TabFocusReason);
    if (auto* bound = dynamic_cast<vendaro::ui::BoundControl*>(memo); bound && !bound->store()) return;
  }
  postForm_.locateOrFirst(entry::kPostCodeField, form_.estimates().text(sjis::lit("郵便番号")));
  if (vendaro::ui::dialogs().exec(postForm_) != QDialog::Accepted) return;
  const std::string address = postForm_.chosenAddress();
  form_.dataSource().run([&](table::Cursor& c) {
    if (c.state() == table::Cursor::State::Browse) c.edit();
    c.setText(sjis::lit("住所"), address);
  });
}

void EntryAids::Panel2Sub4Click() {
  const std::string address = form_.estimates().text(sjis::lit("住所"));
  if (!postForm_.locateOrFirst(entry::kPostAddressField, address)) {
    postForm_.AddrEdit->setText(vendaro::ui::toQ(address));
    postForm_.TopPanel->show();
  }
  const int result = vendaro::ui::dialogs().exec(postForm_);
  if (result == QDialog::Accepted) {
    const std::string code = postForm_.chosenCode();
    form_.dataSource().run([&](table::Cursor& c) {
      if (c.state() == table::Cursor::State::Browse) c.edit();
      c.setText(sjis::lit("郵便番号"), code);
    });
  }
  postForm_.TopPanel->hide();
}

void EntryAids::PostData1Click() {
  // The code as the box shows it: what is being typed there has not reached the record yet.
  postForm_.locateOrFirst(entry::kPostCodeField, shownText(form_.control<vendaro::ui::DBMemo>(QStringLiteral("DBMemo1"))));
  postForm_.ReadBtnClick();
}

void EntryAids::YomiDBMemo1YomiOut(std::string& yomi) {
  yomi = entry::HalfKanaToHiragana(yomi);
  auto* reading = form_.control<vendaro::ui::DBMemo>(QStringLiteral("DBMemo4"));
  const std::string text = shownText(reading) + yomi;
  if (!form_.dataSource().startEdit()) return;
  try {
    form_.estimates().setText(sjis::lit("ふりがな"), text);
  } catch (const std::exception& e) {
    form_.dataSource().showError(vendaro::ui::toQ(e.what()));
    return;
  }
  reading->load(true);
}

void EntryAids::recall(int i) {
  if (!form_.settings().sibling) return;
  if (!carForm_)
    carForm_ = new entry::ui::TCFormDlg(form_.dataSource(), form_.programDirectory(), cardataDirectory_, &form_);
  const RecallBox& box = kRecallBoxes[i];
  carForm_->setLookup(u8(box.caption), sjis::lit(box.dataField), sjis::lit(box.keyField));
  carForm_->showModal();
}

entry::ui::TPostForm* createEntryAids(TEstimateDataForm& form, const std::string& cardataDirectory) {
  auto* postForm = new entry::ui::TPostForm(form.programDirectory(), cardataDirectory, &form);
  prefs::ui::TRestorePos::attach(postForm, prefs::PlacedWindow::PostalImport);
  new EntryAids(form, *postForm, cardataDirectory);
  return postForm;
}

}  // namespace vendaro::app::ui
