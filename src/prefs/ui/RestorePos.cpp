#include "prefs/ui/RestorePos.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QtGlobal>
#include <optional>
#include <stdexcept>

#include "platform/settings_file.h"
#include "platform/sjis.h"

namespace vendaro::prefs::ui {
namespace {
// Key and value names are plain ASCII; they are kept in the registry's files as UTF-8.
std::string bytes(const QString& s) { return s.toStdString(); }
QString text(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

TRestorePos::TRestorePos(QWidget* owner) : QObject(owner), owner_(owner) {
  if (!owner || !owner->isWindow()) throw std::invalid_argument("TRestorePos needs a window as its owner");
  setObjectName(QStringLiteral("RestorePos1"));
  owner->installEventFilter(this);
}

TRestorePos::~TRestorePos() { save(); }

TRestorePos* TRestorePos::attach(QWidget* window, PlacedWindow which) {
  auto* rp = new TRestorePos(window);
  rp->settings_ = placementSettingsOf(which);
  return rp;
}

QString TRestorePos::KeyName() const { return text(settings_.keyName); }
void TRestorePos::setKeyName(const QString& name) { settings_.keyName = bytes(name); }
QString TRestorePos::PosXValueName() const { return text(settings_.posXValueName); }
void TRestorePos::setPosXValueName(const QString& name) { settings_.posXValueName = bytes(name); }
QString TRestorePos::PosYValueName() const { return text(settings_.posYValueName); }
void TRestorePos::setPosYValueName(const QString& name) { settings_.posYValueName = bytes(name); }
QString TRestorePos::WidthValueName() const { return text(settings_.widthValueName); }
void TRestorePos::setWidthValueName(const QString& name) { settings_.widthValueName = bytes(name); }
QString TRestorePos::HeightValueName() const { return text(settings_.heightValueName); }
void TRestorePos::setHeightValueName(const QString& name) { settings_.heightValueName = bytes(name); }

TRestorePos::TRestorePosOptions TRestorePos::Options() const {
  TRestorePosOptions o;
  if (settings_.restoreSize) o |= rpRestoreSize;
  if (settings_.saveNormal) o |= rpSaveNormal;
  return o;
}

void TRestorePos::setOptions(TRestorePosOptions options) {
  settings_.restoreSize = options.testFlag(rpRestoreSize);
  settings_.saveNormal = options.testFlag(rpSaveNormal);
}

bool TRestorePos::eventFilter(QObject* watched, QEvent* event) {
  // The show event arrives before the window appears on the screen.
  if (watched == owner_ && event->type() == QEvent::Show && !restored_) restore();
  return QObject::eventFilter(watched, event);
}

std::optional<QRect> TRestorePos::storedRect() const {
  StoredPlacement stored;
  try {
    stored = readPlacement(settings_);
  } catch (const FileError& e) {
    qWarning("%s", sjis::toUtf8Display(e.what()).c_str());
    return std::nullopt;
  }
  if (!stored.x && !stored.y && !stored.width && !stored.height) return std::nullopt;
  // The stored rectangle is the window's inside, as geometry() gives it; a value that is missing
  // keeps the window's own.
  QRect r = owner_->geometry();
  if (stored.x) r.moveLeft(*stored.x);
  if (stored.y) r.moveTop(*stored.y);
  if (stored.width) r.setWidth(std::max(*stored.width, 0));
  if (stored.height) r.setHeight(std::max(*stored.height, 0));

  // A window stored entirely off every screen (a screen since unplugged, say) could never be seen
  // again: it comes back onto the primary screen.
  std::vector<ScreenRect> screens;
  for (QScreen* s : QGuiApplication::screens()) {
    QRect g = s->geometry();
    screens.push_back({g.x(), g.y(), g.width(), g.height()});
  }
  if (QScreen* primary = QGuiApplication::primaryScreen()) {
    QRect a = primary->availableGeometry();
    ScreenRect placed =
        keepOnScreen({r.x(), r.y(), r.width(), r.height()}, screens, {a.x(), a.y(), a.width(), a.height()});
    r = QRect(placed.x, placed.y, placed.width, placed.height);
  }
  return r;
}

void TRestorePos::restore() {
  if (restored_) return;
  restored_ = true;
  if (auto r = storedRect()) owner_->setGeometry(*r);
}

void TRestorePos::save() {
  if (!settings_.enabled || settings_.keyName.empty()) return;
  // A window that was never shown has not taken back its placement: storing its designed bounds
  // would lose the previous run's, so the stored ones are kept (and created when missing).
  QRect r = owner_->geometry();
  if (!restored_) r = storedRect().value_or(r);
  bool notNormal = owner_->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen);
  if (settings_.saveNormal && notNormal && owner_->normalGeometry().isValid()) r = owner_->normalGeometry();
  try {
    writePlacement(settings_, {r.x(), r.y(), r.width(), r.height()});
  } catch (const FileError& e) {
    qWarning("%s", sjis::toUtf8Display(e.what()).c_str());
  }
}

}  // namespace vendaro::prefs::ui
