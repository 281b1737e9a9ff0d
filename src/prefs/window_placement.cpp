#include "prefs/window_placement.h"

#include <algorithm>

#include "platform/user_registry.h"

namespace vendaro::prefs {

std::string placementKeyPath(const std::string& keyName) { return "\\Software\\" + keyName; }

StoredPlacement readPlacement(const PlacementSettings& s) {
  StoredPlacement out;
  if (!s.enabled) return out;
  auto key = UserRegistryKey::open(placementKeyPath(s.keyName));
  if (!key) return out;
  out.x = key->readInteger(s.posXValueName);
  out.y = key->readInteger(s.posYValueName);
  if (s.restoreSize) {
    out.width = key->readInteger(s.widthValueName);
    out.height = key->readInteger(s.heightValueName);
  }
  if (!s.maximizedValueName.empty()) out.maximized = key->readInteger(s.maximizedValueName).value_or(0) == 1;
  return out;
}

void writePlacement(const PlacementSettings& s, const ScreenRect& rect, bool maximized) {
  if (!s.enabled || s.keyName.empty()) return;
  UserRegistryKey key = UserRegistryKey::openOrCreate(placementKeyPath(s.keyName));
  key.writeInteger(s.posXValueName, rect.x);
  key.writeInteger(s.posYValueName, rect.y);
  if (s.restoreSize) {
    key.writeInteger(s.widthValueName, rect.width);
    key.writeInteger(s.heightValueName, rect.height);
  }
  if (!s.maximizedValueName.empty()) key.writeInteger(s.maximizedValueName, maximized ? 1 : 0);
  key.save();
}

namespace {
bool intersects(const ScreenRect& a, const ScreenRect& b) {
  // Computed in 64 bits: stored values may be anywhere in the 32-bit range.
  auto right = [](const ScreenRect& r) { return static_cast<long long>(r.x) + std::max(r.width, 1); };
  auto bottom = [](const ScreenRect& r) { return static_cast<long long>(r.y) + std::max(r.height, 1); };
  return a.x < right(b) && b.x < right(a) && a.y < bottom(b) && b.y < bottom(a);
}
}  // namespace

ScreenRect keepOnScreen(const ScreenRect& rect, const std::vector<ScreenRect>& screens, const ScreenRect& primary) {
  for (const ScreenRect& screen : screens)
    if (intersects(rect, screen)) return rect;
  ScreenRect moved = rect;
  moved.x = primary.x + std::max(0, (primary.width - rect.width) / 2);
  moved.y = primary.y + std::max(0, (primary.height - rect.height) / 2);
  return moved;
}

PlacementSettings placementSettingsOf(PlacedWindow window) {
  struct Names {
    const char* key;
    const char* x;
    const char* y;
    const char* width;
    const char* height;
  };
  static const Names table[] = {
      {"Vendaro", "CarData PosX", "CarData PosY", "CarData Width", "CarData Height"},
      {"Vendaro", "PrintPosX", "PrintPosY", "PrintWidth", "PrintHeight"},
      {"Vendaro", "PostPosX", "PostPosY", "PostWidth", "PostHeight"},
      {"Vendaro", "InDataLen PosX", "InDataLen PosY", "InDataLen Width", "InDataLen Height"},
      {"Brisvane", "FList PosX", "FList PosY", "FList Width", "FList Height"},
      {"Brisvane", "FList PosX", "FList PosY", "FList Width", "FList Height"},
  };
  const Names& n = table[static_cast<int>(window)];
  PlacementSettings s;
  s.keyName = n.key;
  s.posXValueName = n.x;
  s.posYValueName = n.y;
  s.widthValueName = n.width;
  s.heightValueName = n.height;
  // The main window also opens maximized again when it was closed maximized.
  if (window == PlacedWindow::Main) s.maximizedValueName = "CarData Maximized";
  return s;
}

}  // namespace vendaro::prefs
