// The floor for a window that shows text: a main window with a menu bar
// and every text of Phonolith's first frame, in the same faces and sizes,
// each drawn once by one plain widget (no controls, no diagram). Text
// brings the font configuration, a font engine per face, shaping and the
// glyphs, which an empty window never loads. Tahoma is registered from the
// same files as the program does. Built with first_paint_quit.cpp, it quits
// after its first frame.
#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QStringView>
#include <QWidget>

#include <initializer_list>

namespace {

struct Face {
    QString family;
    int points;
    bool bold;
    std::initializer_list<QStringView> texts;
};

// The texts as the first frame draws them (captions, inputs, buttons, axis
// labels, overlay texts and the words of the result line).
const std::initializer_list<Face> kFaces = {
    {QStringLiteral("Tahoma"), 8, true, {
        u"<", u">"
    }},
    {QStringLiteral("Tahoma"), 8, false, {
        u"Open...", u"Save", u"New", u"Rename", u"Delete", u"<MicDesc>", u"Analog mic", u"Digital mic", u"130",
        u"Mic Max level in dBSPL", u"130.0", u"Mic Noise in dBSPL (ITU)", u"-99.8", u"Mic Noise in dBu",
        u"-102.0", u"Mic Noise in dBV", u"7.9", u"Mic Noise in uV", u"-90.0", u"Mic Noise in dBFS", u"-39.8",
        u"Mic Sensitivity in dBu", u"-42.0", u"Mic Sensitivity in dBV", u"7.9", u"Mic Sensitivity in mV",
        u"-26.0", u"Mic Sensitivity in dBFS", u"74.0", u"Source Level in dBSPL", u"0.10024",
        u"Source Level in Pa", u"20", u"Amplifier Gain (dB)", u"1",
        u"Distance between source and mic (meters)", u"10", u"Amplifier Noise in uV", u"Source is Point",
        u"Source is Line", u"Show Danger Threshold (85 dBSPL)", u"Show Pain Threshold (120 dBSPL)",
        u"Show Hearing Threshold (0 dBSPL)", u"[Dyn ", u": ", u"0 ", u"dB", u" ", u"; ", u"SNR ", u": ", u"0 ",
        u"dB", u"] ", u"- ", u"At ", u"74 ", u"dBSPL ", u"(0.100237 ", u"Pa)", u", ", u"Mic ", u"out ", u"= ",
        u"793.052 ", u"uV ", u"/ ", u"-60 ", u"dBu ", u"/ ", u"-62 ", u"dBV", u" ", u"; ", u"Amp ", u"out ",
        u"= ", u"0.0 ", u"V ", u"/ ", u"-40 ", u"dBu ", u"/ ", u"-42 ", u"dBV"
    }},
    {QStringLiteral("Courier New"), 10, false, {
        u"150 dBSPL", u"140 dBSPL", u"130 dBSPL", u"120 dBSPL", u"110 dBSPL", u"100 dBSPL", u"90 dBSPL",
        u"80 dBSPL", u"70 dBSPL", u"60 dBSPL", u"50 dBSPL", u"40 dBSPL", u"30 dBSPL", u"20 dBSPL", u"10 dBSPL",
        u"632.5 Pa", u"200.0 Pa", u"63.25 Pa", u"20.00 Pa", u"6.325 Pa", u"2.000 Pa", u"0.6325 Pa",
        u"0.2000 Pa", u"0.06325 Pa", u"0.02000 Pa", u"0.00632 Pa", u"0.00200 Pa", u"0.00063 Pa", u"0.00020 Pa",
        u"0.00006 Pa", u"20 dBu", u"10 dBu", u"0 dBu", u"-10 dBu", u"-20 dBu", u"-30 dBu", u"-40 dBu",
        u"-50 dBu", u"-60 dBu", u"-70 dBu", u"-80 dBu", u"-90 dBu", u"-100 dBu", u"-110 dBu", u"-120 dBu",
        u"-130 dBu", u"7.750 V", u"2.451 V", u"775.000 mV", u"245.077 mV", u"77.500 mV", u"24.508 mV",
        u"7.750 mV", u"2.451 mV", u"775.000 uV", u"245.077 uV", u"77.500 uV", u"24.508 uV", u"7.750 uV",
        u"2.451 uV", u"0.775 uV", u"0.245 uV", u"18 dBV", u"8 dBV", u"-2 dBV", u"-12 dBV", u"-22 dBV",
        u"-32 dBV", u"-42 dBV", u"-52 dBV", u"-62 dBV", u"-72 dBV", u"-82 dBV", u"-92 dBV", u"-102 dBV",
        u"-112 dBV", u"-122 dBV", u"-132 dBV"
    }},
    {QStringLiteral("Arial"), 10, true, {
        u"Acoustic", u"Electric", u"74 dBSPL", u"-60 dBu", u"Mic Max level = 130 dBSPL",
        u"Mic Noise level = -100 dBu"
    }},
    {QStringLiteral("Arial"), 8, false, {
        u"94 dBSPL"
    }},
};

class Texts : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        int x = 4, y = 0;
        for (const Face& face : kFaces) {
            QFont f(face.family, face.points);
            f.setBold(face.bold);
            f.setStyleHint(face.family.startsWith(QStringLiteral("Courier")) ? QFont::TypeWriter : QFont::SansSerif);
            p.setFont(f);
            const QFontMetrics fm(f);
            for (QStringView t : face.texts) {
                const QString text = t.toString();
                const int w = fm.horizontalAdvance(text);
                if (x + w > width()) {
                    x = 4;
                    y += fm.height();
                }
                p.drawText(QPoint(x, y + fm.ascent()), text);
                x += w + 6;
            }
        }
    }
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (!QFontDatabase::families().contains(QStringLiteral("Tahoma"), Qt::CaseInsensitive)) {
        for (const char* path : {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf"})
            if (QFile::exists(QString::fromLatin1(path))) QFontDatabase::addApplicationFont(QString::fromLatin1(path));
    }
    QMainWindow window;
    window.setFont(QFont(QStringLiteral("Tahoma"), 8));
    for (const char* title : {"File", "Presets", "Display", "Help"}) window.menuBar()->addMenu(QString::fromLatin1(title));
    window.setCentralWidget(new Texts);
    window.resize(980, 655);
    window.show();
    return app.exec();
}
