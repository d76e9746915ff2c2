#pragma once
// The font faces the window and the diagram name, with fallbacks where a
// face is missing.
#include <QFont>
#include <QString>

// Registers the Tahoma faces shipped in the Wine font folder when the
// system has no "Tahoma" family. Safe to call more than once; needs a
// QGuiApplication.
void registerAppFonts();

// A font of the given face and size whose fallback, when the face is
// missing, is the nearest monospaced ("Courier New", "Courier") or
// sans-serif (any other) face.
QFont diagramFont(const QString& family, int pointSize, bool bold = false);

// The font of texts painted over a chart: the drawing surface's default
// face (Arial) at a size.
QFont overlayFont(int points, bool bold);
