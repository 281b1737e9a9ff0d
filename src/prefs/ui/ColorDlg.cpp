#include "prefs/ui/ColorDlg.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPalette>
#include <QRegularExpression>
#include <QScreen>
#include <QVBoxLayout>

#include "platform/settings_file.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/qtext.h"
#include "platform/ui/buttons.h"

namespace vendaro::prefs::ui {

using vendaro::ui::dialogs;
using vendaro::ui::toQ;
using vendaro::ui::addCentredButtons;
using vendaro::ui::namedButton;
using vendaro::ui::u8;

namespace {
QColor paletteColor(int index);
}

QColor systemColor(int index) {
  QColor c = paletteColor(index);
  // Eight bits per channel, as a style sheet shows it.
  return c.isValid() ? QColor(c.rgb()) : c;
}

namespace {
QColor paletteColor(int index) {
  // The 24 user-interface roles, numbered as the list numbers them, mapped onto the palette of the
  // desktop theme.
  const QPalette p = QApplication::palette();
  switch (index) {
    case 1: return p.color(QPalette::Dark);                             // desktop background
    case 2: return p.color(QPalette::Active, QPalette::Highlight);      // active title bar
    case 3: return p.color(QPalette::Mid);                              // inactive title bar
    case 4: return p.color(QPalette::Window);                           // menu background
    case 5: return p.color(QPalette::Base);                             // window background
    case 6: return p.color(QPalette::Shadow);                           // window frame
    case 7: return p.color(QPalette::WindowText);                       // menu text
    case 8: return p.color(QPalette::Text);                             // window text
    case 9: return p.color(QPalette::Active, QPalette::HighlightedText);  // title bar text
    case 10: return p.color(QPalette::Midlight);                        // active border
    case 11: return p.color(QPalette::Button);                          // inactive border
    case 12: return p.color(QPalette::Dark);                            // application work area
    case 13: return p.color(QPalette::Highlight);                       // selection background
    case 14: return p.color(QPalette::HighlightedText);                 // selected text
    case 15: return p.color(QPalette::Button);                          // button face
    case 16: return p.color(QPalette::Dark);                            // button shadow
    case 17: return p.color(QPalette::Disabled, QPalette::Text);        // greyed text
    case 18: return p.color(QPalette::ButtonText);                      // button text
    case 19: return p.color(QPalette::Inactive, QPalette::WindowText);  // inactive title bar text
    case 20: return p.color(QPalette::Light);                           // button highlight
    case 21: return p.color(QPalette::Shadow);                          // 3-D dark shadow
    case 22: return p.color(QPalette::Midlight);                        // 3-D light
    case 23: return p.color(QPalette::ToolTipText);                     // tooltip text
    case 24: return p.color(QPalette::ToolTipBase);                     // tooltip background
    default: return QColor();
  }
}
}  // namespace

QColor toQColor(const TitleColor& color) {
  if (color.system) return systemColor(color.systemIndex);
  return QColor(QRgb(0xFF000000u | color.rgb));
}

namespace {

/// Replaces the background colour in a panel's style, keeping its border and padding.
void paintPanel(QWidget* panel, const QColor& color) {
  static const QRegularExpression background(QStringLiteral("background-color\\s*:[^;]*;?"));
  QString style = panel->styleSheet();
  QString rule = QStringLiteral("background-color: %1;").arg(color.name());
  if (style.contains(background)) style.replace(background, rule);
  else style = rule + QLatin1Char(' ') + style;
  panel->setStyleSheet(style);
  panel->setProperty("titleColor", color);
}

template <class F>
void forEachTitlePanel(QWidget* window, F&& f) {
  for (const std::string& name : titlePanelNames())
    if (auto* panel = window->findChild<QWidget*>(QString::fromStdString(name))) f(panel, name);
}

}  // namespace

void setTitlePanelColor(QWidget* window, const QColor& color) {
  forEachTitlePanel(window, [&](QWidget* panel, const std::string&) { paintPanel(panel, color); });
}

void setDesignedTitlePanelColors(QWidget* window) {
  const QColor caption = systemColor(kInactiveCaptionColor);
  const QColor cell = systemColor(kButtonFaceColor);
  forEachTitlePanel(window, [&](QWidget* panel, const std::string& name) {
    paintPanel(panel, isStripCharacterPanel(name) ? cell : caption);
  });
}

QColor titlePanelColor(const QWidget* panel) { return panel->property("titleColor").value<QColor>(); }

TColorDlg::TColorDlg(const std::string& programDirectory, QWidget* sheetWindow, QWidget* parent)
    : QDialog(parent), programDirectory_(programDirectory), sheetWindow_(sheetWindow) {
  setObjectName(QStringLiteral("ColorDlg"));
  setWindowTitle(u8("ﾀｲﾄﾙ色変更"));
  auto* layout = new QVBoxLayout(this);
  Label1 = new QLabel(u8("ﾀｲﾄﾙの色"), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  ColorComboBox = new QComboBox(this);
  ColorComboBox->setObjectName(QStringLiteral("ColorComboBox"));
  ColorComboBox->setEditable(true);
  ColorComboBox->setInsertPolicy(QComboBox::NoInsert);
  ColorComboBox->setMaxVisibleItems(20);
  for (const std::string& name : titleColorNames()) ColorComboBox->addItem(toQ(name));
  // No completion while typing: what is typed is what is looked up.
  ColorComboBox->setCompleter(nullptr);
  Label1->setBuddy(ColorComboBox);
  layout->addWidget(Label1);
  layout->addWidget(ColorComboBox);
  OKBtn = namedButton(QStringLiteral("OK"), "OKBtn", this, true);
  addCentredButtons(layout, {OKBtn});
  connect(OKBtn, &QPushButton::clicked, this, [this] { OKBtnClick(); });
  setFixedSize(QSize(380, sizeHint().height()));

  std::string name;
  try {
    name = loadTitleColorName(programDirectory_);
  } catch (const FileError& e) {
    dialogs().message(parent, toQ(e.what()));
    return;
  }
  ColorComboBox->setCurrentText(toQ(name));
  if (auto color = lookupTitleColor(name)) setTitlePanelColor(sheetWindow_, toQColor(*color));
  else setDesignedTitlePanelColors(sheetWindow_);
}

void TColorDlg::showEvent(QShowEvent* event) {
  if (QScreen* s = screen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(s->availableGeometry().center());
    move(frame.topLeft());
  }
  QDialog::showEvent(event);
}

void TColorDlg::OKBtnClick() {
  // The dialog closes whatever was typed; only a listed name has an effect.
  accept();
  auto name = vendaro::ui::fromQ(ColorComboBox->currentText());
  if (!name) return;
  auto color = lookupTitleColor(*name);
  if (!color) return;
  setTitlePanelColor(sheetWindow_, toQColor(*color));
  try {
    saveTitleColorName(programDirectory_, *name);
  } catch (const FileError& e) {
    dialogs().message(this, toQ(e.what()));
  }
}

}  // namespace vendaro::prefs::ui
