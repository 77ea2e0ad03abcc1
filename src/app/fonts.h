#pragma once

#include <QFont>
#include <QString>

namespace qv::app {

// The Kai face the results box and the titles ask for.
inline const QString kKaiFamily = QStringLiteral("標楷體");

// Makes 標楷體 resolve to an installed Kai face and gives the interface a
// Traditional Chinese sans face, so that no text falls back to a Simplified
// Chinese font. Call once after the application object exists.
void installFonts();

// A font of the Kai family at the given point size.
QFont kaiFont(int pointSize = 12);

}  // namespace qv::app
