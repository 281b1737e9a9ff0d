#pragma once
// The font that draws print items, on screen and on paper: the layout's face when it is
// installed, else an installed Japanese face of the same kind, found through fontconfig, so that
// kanji, kana and digits all come from one face.

#include <QFont>
#include <QString>
#include <string>

namespace vendaro::formprint::ui {

/// The installed family that draws the requested face (CP932): the face itself when installed,
/// else fontconfig's Japanese serif face for a 明朝 kind of face and its Japanese sans-serif face
/// for any other (empty when fontconfig finds nothing).
QString standInFamily(const std::string& requestedFace);

/// True when the requested face is not installed and another draws it.
bool faceStandsIn(const std::string& requestedFace);

/// The item font of the face, without a size.
QFont itemFont(const std::string& requestedFace);

}  // namespace vendaro::formprint::ui
