#include "text/fonts.h"

#include <QFile>
#include <QFontDatabase>

void registerAppFonts()
{
    static bool done = false;
    if (done) return;
    done = true;
    if (QFontDatabase::families().contains(QStringLiteral("Tahoma"), Qt::CaseInsensitive)) return;
    for (const char* path : {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf"}) {
        const QString file = QString::fromLatin1(path);
        if (QFile::exists(file)) QFontDatabase::addApplicationFont(file);
    }
}

QFont diagramFont(const QString& family, int pointSize, bool bold)
{
    QFont f(family, pointSize);
    f.setBold(bold);
    const bool mono = family.startsWith(QStringLiteral("Courier"), Qt::CaseInsensitive);
    f.setStyleHint(mono ? QFont::TypeWriter : QFont::SansSerif);
    return f;
}

QFont overlayFont(int points, bool bold) { return diagramFont(QStringLiteral("Arial"), points, bold); }
