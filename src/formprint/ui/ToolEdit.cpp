#include "formprint/ui/ToolEdit.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QVBoxLayout>

#include "formprint/ui/SheetPrinter.h"
#include "platform/settings_file.h"
#include "platform/sjis.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/pdf_output.h"
#include "platform/ui/qtext.h"
#include "platform/ui/buttons.h"

namespace vendaro::formprint::ui {

using vendaro::ui::toQ;
using vendaro::ui::namedButton;
using vendaro::ui::u8;

namespace {

QSpinBox* numberField(int index, ValueRange range, QWidget* parent) {
  auto* spin = new QSpinBox(parent);
  spin->setObjectName(QStringLiteral("SpinEdit%1").arg(index));
  spin->setRange(range.min, range.max);
  // A number typed beyond the range is brought to the nearest bound when the field is left.
  spin->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
  spin->findChild<QLineEdit*>()->setMaxLength(4);
  spin->setMinimumWidth(64);
  return spin;
}

int readField(const QSpinBox* spin) {
  auto value = sjis::parseInt32(spin->text().toStdString());
  if (!value) return spin->minimum();
  return ValueRange{spin->minimum(), spin->maximum()}.clamp(*value);
}

QLabel* text(const char* utf8, QWidget* parent) { return new QLabel(u8(utf8), parent); }

}  // namespace

TToolEditForm::TToolEditForm(const std::string& programDirectory, QWidget* parent)
    : QDialog(parent), programDirectory_(programDirectory) {
  setObjectName(QStringLiteral("ToolEditForm"));
  setWindowTitle(u8("印刷機能修正"));
  auto* layout = new QVBoxLayout(this);
  for (const char* line : {"プリンターによって尺度が異なる場合があります。",
                           "その場合は、実際に印刷しながら尺度の左側を変更してください。",
                           "印刷したものが小さい場合は、左側を減少させてください。"}) {
    auto* heading = text(line, this);
    heading->setAlignment(Qt::AlignCenter);
    layout->addWidget(heading);
  }
  auto* scroll = new QScrollArea(this);
  scroll->setObjectName(QStringLiteral("ScrollBox1"));
  scroll->setWidgetResizable(true);
  auto* inner = new QWidget;
  auto* panels = new QVBoxLayout(inner);
  QFrame** panelFor[] = {&PanelPrint1, &PanelPrint2, &PanelPrint3};
  QComboBox** comboFor[] = {&ComboBox1, &ComboBox2, &ComboBox3};
  for (int i = 0; i < 3; ++i) {
    auto* panel = new QFrame(inner);
    panel->setObjectName(QStringLiteral("PanelPrint%1").arg(i + 1));
    panel->setFrameShape(QFrame::StyledPanel);
    auto* rows = new QVBoxLayout(panel);
    SpinEdit[std::size_t(i * 4 + 0)] = numberField(i * 4 + 1, kScaleRange, panel);
    SpinEdit[std::size_t(i * 4 + 1)] = numberField(i * 4 + 2, kScaleRange, panel);
    SpinEdit[std::size_t(i * 4 + 2)] = numberField(i * 4 + 3, kOffsetRange, panel);
    SpinEdit[std::size_t(i * 4 + 3)] = numberField(i * 4 + 4, kOffsetRange, panel);
    SpinEdit[std::size_t(12 + i)] = numberField(13 + i, kPitchRange, panel);
    auto* scale = new QHBoxLayout;
    scale->addWidget(text("プリンタ尺度：", panel));
    scale->addWidget(SpinEdit[std::size_t(i * 4 + 0)]);
    scale->addWidget(text("／", panel));
    scale->addWidget(SpinEdit[std::size_t(i * 4 + 1)]);
    scale->addStretch(1);
    rows->addLayout(scale);
    auto* offsets = new QHBoxLayout;
    offsets->addWidget(text("印字位置縦：", panel));
    offsets->addWidget(SpinEdit[std::size_t(i * 4 + 2)]);
    offsets->addWidget(text("mm　横：", panel));
    offsets->addWidget(SpinEdit[std::size_t(i * 4 + 3)]);
    offsets->addWidget(text("mm", panel));
    offsets->addStretch(1);
    rows->addLayout(offsets);
    auto* pitch = new QHBoxLayout;
    pitch->addWidget(text("印　字　幅　：", panel));
    pitch->addWidget(SpinEdit[std::size_t(12 + i)]);
    pitch->addWidget(text("/10 （金額等の位置揃え）", panel));
    pitch->addStretch(1);
    rows->addLayout(pitch);
    DerivedLabel[std::size_t(i)] = text("（保存された値がないため、プリンターの解像度と印刷可能範囲から求めた値です）", panel);
    DerivedLabel[std::size_t(i)]->setObjectName(QStringLiteral("DerivedLabel%1").arg(i + 1));
    DerivedLabel[std::size_t(i)]->setWordWrap(true);
    rows->addWidget(DerivedLabel[std::size_t(i)]);
    // A value the user changes is the user's, no longer derived.
    for (int field : {i * 4 + 0, i * 4 + 1, i * 4 + 2, i * 4 + 3, 12 + i})
      connect(SpinEdit[std::size_t(field)], &QSpinBox::valueChanged, this, [this, i] {
        if (showing_) return;
        derived_[std::size_t(i)] = false;
        DerivedLabel[std::size_t(i)]->hide();
      });
    auto* namePanel = new QFrame(panel);
    auto* nameRow = new QHBoxLayout(namePanel);
    nameRow->setContentsMargins(0, 0, 0, 0);
    nameRow->addWidget(text("プリンタ名：", namePanel));
    auto* combo = new QComboBox(namePanel);
    combo->setObjectName(QStringLiteral("ComboBox%1").arg(i + 1));
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setMinimumWidth(220);
    nameRow->addWidget(combo, 1);
    rows->addWidget(namePanel);
    if (i == 0) {
      namePanel->setObjectName(QStringLiteral("Panel2"));
      Panel2 = namePanel;
      namePanel->hide();
    } else {
      panel->hide();
    }
    *panelFor[i] = panel;
    *comboFor[i] = combo;
    panels->addWidget(panel);
  }
  panels->addStretch(1);
  scroll->setWidget(inner);
  layout->addWidget(scroll, 1);
  BtnPanel = new QWidget(this);
  BtnPanel->setObjectName(QStringLiteral("BtnPanel"));
  BtnPanel->setFixedHeight(40);
  OKBtn = namedButton(u8("OK(&Y)"), "OKBtn", BtnPanel, true);
  CancelBtn = namedButton(u8("ｷｬﾝｾﾙ"), "CancelBtn", BtnPanel);
  PrintSheetBtn = namedButton(u8("調整用紙印刷"), "PrintSheetBtn", BtnPanel);
  PrintSheetBtn->setToolTip(u8("目盛りと用紙の端、この設定の値を印刷します。測った差を印字位置に入れてください。"));
  BtnPanel->installEventFilter(this);
  layout->addWidget(BtnPanel);
  connect(OKBtn, &QPushButton::clicked, this, [this] { OKBtnClick(); });
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
  connect(PrintSheetBtn, &QPushButton::clicked, this, [this] { PrintSheetBtnClick(); });
  resize(480, 360);

  PrinterSettings stored;
  try {
    stored = loadPrinterSettings(programDirectory_);
  } catch (const FileError& e) {
    vendaro::ui::dialogs().message(parent, toQ(e.what()));
  }
  for (std::size_t i = 0; i < 3; ++i) derived_[i] = !stored.stored[i];
  showSettings(stored);
  showDerivedSets();
}

void TToolEditForm::showDerivedSets() {
  showing_ = true;
  const QComboBox* combos[] = {ComboBox1, ComboBox2, ComboBox3};
  for (std::size_t i = 0; i < 3; ++i) {
    DerivedLabel[i]->setVisible(derived_[i]);
    if (!derived_[i]) continue;
    const AdjustmentSet set = deriveAdjustmentSet(installedPrinterGeometry(combos[i]->currentText()));
    SpinEdit[i * 4 + 0]->setValue(set.numerator);
    SpinEdit[i * 4 + 1]->setValue(set.denominator);
    SpinEdit[i * 4 + 2]->setValue(set.vertical);
    SpinEdit[i * 4 + 3]->setValue(set.horizontal);
  }
  showing_ = false;
}

AdjustmentSet TToolEditForm::adjustmentFor(const QPrinter& printer) const {
  const PrinterSettings s = settings();
  const int i = chooseAdjustmentSet(sjis::fromUtf8Lossy(printer.printerName().toStdString()), multiplePrinters_,
                                    s.printers);
  if (!derived_[std::size_t(i)]) return s.sets[std::size_t(i)];
  AdjustmentSet set = deriveAdjustmentSet(printerGeometry(printer));
  set.pitch = s.sets[std::size_t(i)].pitch;
  return set;
}

void TToolEditForm::showSettings(const PrinterSettings& s) {
  showing_ = true;
  for (std::size_t i = 0; i < 3; ++i) {
    const AdjustmentSet& set = s.sets[i];
    SpinEdit[i * 4 + 0]->setValue(set.numerator);
    SpinEdit[i * 4 + 1]->setValue(set.denominator);
    SpinEdit[i * 4 + 2]->setValue(set.vertical);
    SpinEdit[i * 4 + 3]->setValue(set.horizontal);
    SpinEdit[12 + i]->setValue(set.pitch);
  }
  ComboBox1->setEditText(toQ(s.printers[0]));
  ComboBox2->setEditText(toQ(s.printers[1]));
  ComboBox3->setEditText(toQ(s.printers[2]));
  showing_ = false;
}

PrinterSettings TToolEditForm::settings() const {
  PrinterSettings s;
  for (std::size_t i = 0; i < 3; ++i) {
    s.sets[i] = {readField(SpinEdit[i * 4 + 0]), readField(SpinEdit[i * 4 + 1]), readField(SpinEdit[i * 4 + 2]),
                 readField(SpinEdit[i * 4 + 3]), readField(SpinEdit[12 + i])};
  }
  const QComboBox* combos[] = {ComboBox1, ComboBox2, ComboBox3};
  for (std::size_t i = 0; i < 3; ++i) s.printers[i] = sjis::fromUtf8Lossy(combos[i]->currentText().toStdString());
  return s;
}

void TToolEditForm::detectPrinters(const QStringList& installedPrinters) {
  multiplePrinters_ = false;
  if (installedPrinters.size() <= 1) return;
  multiplePrinters_ = true;
  for (QComboBox* combo : {ComboBox1, ComboBox2, ComboBox3}) {
    const QString kept = combo->currentText();
    combo->clear();
    combo->addItems(installedPrinters);
    combo->setEditText(kept);
  }
  Panel2->show();
  PanelPrint2->show();
  PanelPrint3->show();
  showDerivedSets();  // each unstored set shows the values of the printer it now names
}

void TToolEditForm::OKBtnClick() {
  try {
    savePrinterSettings(programDirectory_, settings());
  } catch (const FileError& e) {
    vendaro::ui::dialogs().message(this, toQ(e.what()));
    return;
  }
  // What is written is stored from now on, derived or not.
  derived_ = {};
  for (QLabel* label : DerivedLabel) label->hide();
  accept();
}

void TToolEditForm::PrintSheetBtnClick() {
  if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  if (!vendaro::ui::dialogs().printerSetup(this, *printer_)) return;
  try {
    const std::unique_ptr<QPrinter> printer = runPrinter(*printer_, 0, 0, QStringLiteral("Vendaro-calibration"));
    // A PDF file chosen in the setup is written whole or not at all, as every file is.
    vendaro::ui::PdfOutput output(*printer);
    printCalibrationSheet(*printer, adjustmentFor(*printer));
    output.commit();
  } catch (const std::exception& e) {
    vendaro::ui::dialogs().message(this, toQ(e.what()));
  }
}

bool TToolEditForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == BtnPanel && event->type() == QEvent::Resize) {
    const int w = BtnPanel->width();
    OKBtn->move(w / 3 - 37, 8);
    CancelBtn->move(w * 2 / 3 - 37, 8);
    PrintSheetBtn->move(w - PrintSheetBtn->sizeHint().width() - 6, 8);
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace vendaro::formprint::ui
