#include "prefs/ui/RestorePos.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QtGlobal>
#include <cstdint>
#include <map>
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

namespace {
/// Counts the closings of every window of the program, so that the latest one is known.
uint64_t nextClosing() {
  static uint64_t count = 0;
  return ++count;
}

/// The latest closing whose placement was stored, per set of values (key and value names): the
/// windows sharing one set store only what the one closed last had.
std::map<std::string, uint64_t>& storedClosings() {
  static std::map<std::string, uint64_t> stored;
  return stored;
}
}  // namespace

bool TRestorePos::eventFilter(QObject* watched, QEvent* event) {
  if (watched == owner_) {
    // The show event arrives before the window appears on the screen.
    if (event->type() == QEvent::Show && !restored_) restore();
    // A window being closed (or destroyed while open) is hidden: that is when the person left it.
    if (event->type() == QEvent::Hide && restored_ && !owner_->isMinimized()) closedAt_ = nextClosing();
  }
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
  if (!settings_.maximizedValueName.empty()) {
    bool maximized = false;
    try {
      maximized = readPlacement(settings_).maximized;
    } catch (const FileError& e) {
      qWarning("%s", sjis::toUtf8Display(e.what()).c_str());
    }
    // Maximized over the rectangle just set, which un-maximizing gives back.
    if (maximized) owner_->setWindowState(owner_->windowState() | Qt::WindowMaximized);
  }
}

void TRestorePos::save() {
  if (!settings_.enabled || settings_.keyName.empty()) return;
  // A window that was never shown stores nothing: its designed bounds would replace the place
  // the person gave it in an earlier run, or put it in the screen's corner from then on.
  if (!restored_) return;
  // Still open now: it is being closed now.
  if (owner_->isVisible() || closedAt_ == 0) closedAt_ = nextClosing();
  // Another window storing the same values was closed after this one: its place is the one kept.
  const std::string values = settings_.keyName + '\n' + settings_.posXValueName;
  uint64_t& stored = storedClosings()[values];
  if (stored > closedAt_) return;
  stored = closedAt_;
  QRect r = owner_->geometry();
  const bool maximized = owner_->windowState() & Qt::WindowMaximized;
  bool notNormal = owner_->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen);
  if (settings_.saveNormal && notNormal && owner_->normalGeometry().isValid()) r = owner_->normalGeometry();
  try {
    writePlacement(settings_, {r.x(), r.y(), r.width(), r.height()}, maximized);
  } catch (const FileError& e) {
    qWarning("%s", sjis::toUtf8Display(e.what()).c_str());
  }
}

}  // namespace vendaro::prefs::ui
