#include "formprint/ui/ItemFont.h"

#include <QFontDatabase>
#include <QStringList>
#include <fontconfig/fontconfig.h>
#include <map>

#include "formprint/item_face.h"
#include "platform/ui/qtext.h"

namespace vendaro::formprint::ui {

namespace {

bool installed(const QString& family) {
  if (family.isEmpty()) return false;
  return QFontDatabase::families().contains(family, Qt::CaseInsensitive);
}

/// The family fontconfig chooses for Japanese text of a generic kind ("serif", "sans-serif").
QString japaneseFamily(const char* generic) {
  QString family;
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(generic));
  FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  if (FcPattern* match = FcFontMatch(nullptr, pattern, &result)) {
    FcChar8* name = nullptr;
    if (FcPatternGetString(match, FC_FAMILY, 0, &name) == FcResultMatch && name)
      family = QString::fromUtf8(reinterpret_cast<const char*>(name));
    FcPatternDestroy(match);
  }
  FcPatternDestroy(pattern);
  return family;
}

}  // namespace

QString standInFamily(const std::string& requestedFace) {
  static std::map<std::string, QString> known;
  auto it = known.find(requestedFace);
  if (it != known.end()) return it->second;
  QString family = vendaro::ui::toQ(requestedFace);
  if (!installed(family))
    family = japaneseFamily(requestedFaceKind(requestedFace) == FaceKind::Serif ? "serif" : "sans-serif");
  known.emplace(requestedFace, family);
  return family;
}

bool faceStandsIn(const std::string& requestedFace) {
  return standInFamily(requestedFace).compare(vendaro::ui::toQ(requestedFace), Qt::CaseInsensitive) != 0;
}

QFont itemFont(const std::string& requestedFace) {
  const QString family = standInFamily(requestedFace);
  QFont font(family.isEmpty() ? vendaro::ui::toQ(requestedFace) : family);
  return font;
}

}  // namespace vendaro::formprint::ui
