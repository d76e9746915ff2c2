// The window started with a mic-set file: the shipped library loaded preset
// by preset, in both decimal separators, with every output checked against a
// recomputation from what the inputs show; navigation at both ends of the
// list; and files that list nothing, named in the window.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <fstream>
#include <memory>
#include <string>

#include "numtext/numtext.h"
#include "diagram/leveldiagram.h"
#include "chart/overlayplacement.h"
#include "presets/presetcontroller.h"
#include "ui/mainwindow.h"
#include "widgets/markuplabel.h"
#include "announcements.h"

namespace {

// The window made under a locale whose decimal separator is `sep`.
class LibraryWindow {
public:
    explicit LibraryWindow(const std::string& sep = ".")
        : sep_(sep), saved_(QLocale())
    {
        QLocale::setDefault(sep == "," ? QLocale(QLocale::German, QLocale::Germany) : QLocale::c());
        w = std::make_unique<TfmMain>();
    }
    ~LibraryWindow()
    {
        w.reset();
        QLocale::setDefault(saved_);
    }
    void start(const std::string& file)
    {
        w->startWithMicSetFile(file);
        w->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(w.get()));
        QApplication::processEvents();
    }

    template <typename T = QWidget>
    T* find(const char* name) const
    {
        T* c = w->findChild<T*>(name);
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    double shown(const char* input) const
    {
        return numtext::readInputText(find<QLineEdit>(input)->text().toStdString(), sep_);
    }
    std::string fixed(double v, int decimals) const { return numtext::formatFixed(v, decimals, sep_); }
    QString accessible(const char* name, QAccessible::Text t) const
    {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(find(name));
        if (!a) return {};
        if (t == QAccessible::Value)
            if (QAccessibleValueInterface* v = a->valueInterface()) return v->currentValue().toString();
        return a->text(t);
    }
    void click(const char* button)
    {
        QTest::mouseClick(find<QPushButton>(button), Qt::LeftButton);
        QApplication::processEvents();
    }

    // Checks every output against what the inputs show.
    void expectOutputsFollowTheInputs(const QString& preset) const;

    std::unique_ptr<TfmMain> w;

private:
    std::string sep_;
    QLocale saved_;
};

void LibraryWindow::expectOutputsFollowTheInputs(const QString& preset) const
{
    SCOPED_TRACE(preset.toStdString() + " with '" + sep_ + "'");
    const bool digital = find<QRadioButton>("rbMicDigital")->isChecked();
    EXPECT_NE(digital, find<QRadioButton>("rbMicAnalog")->isChecked());
    // The switch ran: the inputs of the preset's kind are the enabled ones.
    EXPECT_EQ(find("seMicSens_dBFS")->isEnabled(), digital);
    EXPECT_EQ(find("seMicSens_dBu")->isEnabled(), !digital);
    EXPECT_EQ(find("seMicNoise_dBu")->isEnabled(), !digital);

    const double src = shown("seSourceLevel_dBSPL"), gain = shown("seAmpGain_dB");
    const double sens_dBu = shown("seMicSens_dBu"), sens_dBV = shown("seMicSens_dBV");
    const double sens_dBFS = shown("seMicSens_dBFS");
    const double maxLevel = shown("seMicMaxLevel_dBSPL"), noise = shown("seMicNoise_dBSPL");
    const double gainAtSource = src - 94.0;

    // Without a noise figure (its marker 0 dB SPL) the line shows neither a
    // range nor an SNR; without a maximum level (0) no range.
    const bool noiseGiven = noise > 0, maxGiven = maxLevel != 0;
    const std::string dyn = noiseGiven && maxGiven ? fixed(maxLevel - noise, 0) : fixed(0, 0);
    const std::string snr = noiseGiven ? fixed(94.0 - noise, 0) : fixed(0, 0);
    std::string expected = "[Dyn : " + dyn + " dB ; SNR : " + snr + " dB] - At " + fixed(src, 0) + " dBSPL (" +
                           fixed(20e-6 * std::pow(10.0, src / 20.0), 6) + " Pa), Mic out = ";
    QString line = accessible("lblCalcMain", QAccessible::Name);
    if (digital) {
        expected += fixed(sens_dBFS + gainAtSource, 0) + " dBFS ; Amp out = " +
                    fixed(sens_dBFS + gainAtSource + gain, 0) + " dBFS";
    } else {
        // The volts are those of the dBu output (0 dBu = 0.775 V), to the line's decimals.
        const QRegularExpression volts(R"(Mic out = ([0-9.,]+) (uV|mV|V) / .*Amp out = ([0-9.,]+) V / )");
        const QRegularExpressionMatch m = volts.match(line);
        ASSERT_TRUE(m.hasMatch()) << line.toStdString();
        const double unit = m.captured(2) == "uV" ? 1e-6 : m.captured(2) == "mV" ? 1e-3 : 1.0;
        const double micV = numtext::readInputText(m.captured(1).toStdString(), sep_) * unit;
        const double ampV = numtext::readInputText(m.captured(3).toStdString(), sep_);
        const double out_dBu = sens_dBu + gainAtSource;
        EXPECT_NEAR(micV, 0.775 * std::pow(10.0, out_dBu / 20.0), 0.0005 * unit * (1 + 1e-9));
        EXPECT_NEAR(ampV, 0.775 * std::pow(10.0, (out_dBu + gain) / 20.0), 0.05 * (1 + 1e-9));
        line.replace(m.capturedStart(1), m.capturedLength(1), "#");
        line.replace(line.indexOf("Amp out = ") + 10, m.capturedLength(3), "#");
        expected += "# " + m.captured(2).toStdString() + " / " + fixed(sens_dBu + gainAtSource, 0) + " dBu / " +
                    fixed(sens_dBV + gainAtSource, 0) + " dBV ; Amp out = # V / " +
                    fixed(sens_dBu + gainAtSource + gain, 0) + " dBu / " + fixed(sens_dBV + gainAtSource + gain, 0) +
                    " dBV";
    }
    EXPECT_EQ(line.toStdString(), expected);

    // The level bar shows the output of the microphone's kind, the right axis
    // the sensitivity's range.
    const int bar = numtext::roundHalfEvenToInt((digital ? sens_dBFS : sens_dBu) + gainAtSource);
    EXPECT_EQ(accessible("pbLevelMeter", QAccessible::Name),
              "Mic output " + QString::number(bar) + (digital ? " dBFS" : " dBu"));
    const TScaleAxis& left = w->chart()->LeftAxis();
    EXPECT_NEAR(w->chart()->RightAxis().maximum(), left.maximum() - 94.0 + (digital ? sens_dBFS : sens_dBu), 1e-9);
    EXPECT_TRUE(w->windowTitle().endsWith("\"" + preset + "\"")) << w->windowTitle().toStdString();
}

class LibraryTest : public ::testing::TestWithParam<const char*> {};

// Every microphone of the shipped library, stepped through with ">" from the
// first to the last.
TEST_P(LibraryTest, EveryPresetLoadsAndEveryOutputFollows)
{
    LibraryWindow lw(GetParam());
    lw.start(MIC_LIBRARY);
    auto* list = lw.find<QComboBox>("cbMicPresets");
    ASSERT_EQ(list->count(), 25);
    EXPECT_EQ(list->itemText(0), "Shure SM81"); // a microphone with every figure comes first
    EXPECT_FALSE(lw.find("lblMicSetFileError")->isVisible());
    // "Open..." is on; the actions that would change a file stay off.
    EXPECT_TRUE(lw.find<QAction>("ActMicPresetFileOpen")->isEnabled());
    EXPECT_TRUE(lw.find("Button4")->isEnabled());
    for (const char* off : {"ActMicPresetFileSave", "ActMicPresetFileSaveAs", "ActMicPresetNew",
                            "ActMicPresetRename", "ActMicPresetDelete"})
        EXPECT_FALSE(lw.find<QAction>(off)->isEnabled()) << off;

    for (int i = 0; i < list->count(); ++i) {
        if (i > 0) lw.click("btnMicPresetNext");
        ASSERT_EQ(list->currentIndex(), i);
        lw.expectOutputsFollowTheInputs(list->itemText(i));
        EXPECT_EQ(lw.find("btnMicPresetPrev")->isEnabled(), i > 0);
        EXPECT_EQ(lw.find("btnMicPresetNext")->isEnabled(), i < list->count() - 1);
    }
    // The figures of three kinds, as published.
    const auto pick = [&](const char* name) {
        list->setCurrentIndex(list->findText(name));
        lw.w->presets().cbMicPresetsChange();
    };
    pick("Shure SM58"); // -54.5 dBV/Pa as published, a fraction
    EXPECT_EQ(lw.find<QLineEdit>("seMicSens_dBV")->text().toStdString(), lw.fixed(-54.5, 1));
    EXPECT_EQ(lw.find<QLineEdit>("seMicSens_mV")->text().toStdString(), lw.fixed(1.9, 1));
    pick("Sennheiser MKH 40");
    EXPECT_EQ(lw.find<QLineEdit>("seMicNoise_dBSPL")->text().toStdString(), lw.fixed(21.0, 1)); // the ITU figure
    EXPECT_FALSE(lw.find("lblMicPresetParamsError")->isVisible());
    pick("InvenSense ICS-43434");
    EXPECT_TRUE(lw.find<QRadioButton>("rbMicDigital")->isChecked());
    EXPECT_EQ(lw.w->calculator().currentMic().MicSNR_dB_AW, 65); // the published SNR, from 94 - 65 = 29
}

INSTANTIATE_TEST_SUITE_P(Separators, LibraryTest, ::testing::Values(".", ","),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param) == "." ? "Point" : "Comma";
                         });

TEST(LibraryNavigation, EndsOfTheListAndTheKeyboard)
{
    LibraryWindow lw;
    lw.start(MIC_LIBRARY);
    auto* list = lw.find<QComboBox>("cbMicPresets");
    const QString first = lw.w->windowTitle();
    lw.click("btnMicPresetPrev"); // disabled at the first: nothing happens
    EXPECT_EQ(list->currentIndex(), 0);
    EXPECT_EQ(lw.w->windowTitle(), first);

    // The keyboard in the list loads what it selects.
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    QApplication::processEvents();
    EXPECT_EQ(list->currentIndex(), 1);
    EXPECT_TRUE(lw.w->windowTitle().endsWith("\"" + list->itemText(1) + "\""));
    QTest::keyClick(list, Qt::Key_End);
    QApplication::processEvents();
    EXPECT_EQ(list->currentIndex(), list->count() - 1);
    lw.expectOutputsFollowTheInputs(list->itemText(list->count() - 1));
    EXPECT_FALSE(lw.find("btnMicPresetNext")->isEnabled());
    EXPECT_TRUE(lw.find("btnMicPresetPrev")->isEnabled());
    lw.w->presets().btnMicPresetNextClick(); // at the last: nothing happens
    EXPECT_EQ(list->currentIndex(), list->count() - 1);

    // The open dialog starts in the file's folder with the mic-set filter.
    QFileDialog* open = lw.w->fileDialog(false);
    EXPECT_EQ(QDir(open->directory()).canonicalPath(), QFileInfo(MIC_LIBRARY).canonicalPath());
    EXPECT_EQ(open->nameFilters(), QStringList{"Mic Set (*.dat)"});
}

// A screen reader hears the microphone: when a preset loads, its name, then
// the error line if it shows, then what the result did, in that order (Orca
// speaks notifications in the order they show), with ">", "<" and the list.
TEST(LibraryNavigation, LoadingAPresetAnnouncesNameErrorThenResult)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = dir.filePath("two.dat").toStdString();
    std::ofstream(path) << "[Alpha]\nSens_dBV=-40\nNoise_dBSPL_AW=16\nMaxLevel_dBSPL=130\n"
                           "[Beta]\nSens_dBV=-30\nMaxLevel_dBSPL=130\n";
    LibraryWindow lw;
    lw.start(path);
    auto* error = lw.find<QLabel>("lblMicPresetParamsError");
    ASSERT_FALSE(error->isVisible());

    Announcements events(lw.w->announcer());
    lw.click("btnMicPresetNext");
    ASSERT_TRUE(error->isVisible()); // Beta gives no self-noise
    const QString why = error->accessibleDescription().isEmpty() ? error->text() : error->accessibleDescription();
    QStringList heard = events.texts();
    ASSERT_EQ(heard.size(), 3) << heard.join(" | ").toStdString();
    EXPECT_EQ(heard[0], "Beta");
    EXPECT_EQ(heard[1], why);
    EXPECT_TRUE(heard[2].startsWith("Mic out ")) << heard[2].toStdString(); // 10 dB more sensitive
    EXPECT_TRUE(events.readableLater());

    events.clear();
    lw.click("btnMicPresetPrev");
    heard = events.texts();
    ASSERT_EQ(heard.size(), 2) << heard.join(" | ").toStdString();
    EXPECT_EQ(heard[0], "Alpha");
    EXPECT_TRUE(heard[1].startsWith("Mic out ")) << heard[1].toStdString();

    events.clear();
    auto* list = lw.find<QComboBox>("cbMicPresets");
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    QApplication::processEvents();
    heard = events.texts();
    ASSERT_GE(heard.size(), 2) << heard.join(" | ").toStdString();
    EXPECT_EQ(heard[0], "Beta");
    EXPECT_EQ(heard[1], why);
    EXPECT_TRUE(events.readableLater());
}

// With the signal chain, the warning line's change comes after the result,
// not before the preset's name, and only once.
TEST(LibraryNavigation, WithTheChainTheWarningLineIsAnnouncedLast)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = dir.filePath("two.dat").toStdString();
    std::ofstream(path) << "[Alpha]\nSens_dBV=-40\nNoise_dBSPL_AW=16\nMaxLevel_dBSPL=130\n"
                           "[Beta]\nSens_dBV=-30\nNoise_dBSPL_AW=16\nMaxLevel_dBSPL=130\n";
    LibraryWindow lw;
    lw.w->startSignalChain();
    lw.start(path);
    auto* warnings = lw.find<TMarkupLabel>("lblChainWarnings");
    const QString before = warnings->plainText();

    Announcements events(lw.w->announcer());
    lw.click("btnMicPresetNext"); // 10 dB more sensitive: the distance to the target changes
    ASSERT_NE(warnings->plainText(), before);
    const QStringList heard = events.texts();
    ASSERT_EQ(heard.size(), 3) << heard.join(" | ").toStdString();
    EXPECT_EQ(heard[0], "Beta");
    EXPECT_TRUE(heard[1].startsWith("Mic out ")) << heard[1].toStdString();
    EXPECT_EQ(heard[2], warnings->plainText());
    EXPECT_TRUE(events.readableLater());
    // The line still announces a change of its own after the round.
    EXPECT_TRUE(warnings->announcesChanges());
}

struct UnlistedCase {
    const char* what;
    std::string path;
    const char* reason;
};

class UnlistedFileTest : public ::testing::TestWithParam<UnlistedCase> {};

// The window starts, lists nothing and says why in a line of its own.
TEST_P(UnlistedFileTest, WindowSaysWhy)
{
    const UnlistedCase& c = GetParam();
    LibraryWindow lw;
    lw.start(c.path);
    EXPECT_EQ(lw.find<QComboBox>("cbMicPresets")->count(), 0);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    auto* line = lw.find<QLabel>("lblMicSetFileError");
    ASSERT_TRUE(line->isVisible());
    const QString full = line->toolTip();
    EXPECT_TRUE(full.contains(QString::fromStdString(c.path))) << full.toStdString();
    EXPECT_TRUE(full.contains(c.reason)) << full.toStdString();
    EXPECT_TRUE(line->text().contains(c.reason)) << line->text().toStdString();
    EXPECT_EQ(lw.accessible("lblMicSetFileError", QAccessible::Name), full);
    // The line fits its place.
    for (const QString& row : line->text().split('\n'))
        EXPECT_LE(line->fontMetrics().horizontalAdvance(row), line->width()) << row.toStdString();
    EXPECT_TRUE(lw.find<QAction>("ActMicPresetFileOpen")->isEnabled());
    EXPECT_EQ(lw.w->windowTitle(), "Phonolith - Corvanne - \"\"");
}

INSTANTIATE_TEST_SUITE_P(
    Files, UnlistedFileTest,
    ::testing::Values(UnlistedCase{"missing", "/nonexistent/folder/with/a/rather/long/name/mics.dat",
                                   "No such file or directory"},
                      UnlistedCase{"folder", QDir::tempPath().toStdString(), "It is a folder, not a file"},
                      UnlistedCase{"device", "/dev/null", "It is not a regular file"},
                      UnlistedCase{"noName", "", "No file name"}),
    [](const ::testing::TestParamInfo<UnlistedCase>& info) { return std::string(info.param.what); });

std::string testFile(const char* name) { return std::string(UI_TEST_DATA) + "/" + name; }

// Whether the diagram's last paint wrote a text that starts with `start`.
bool overlayShows(const TLevelDiagram& chart, const QString& start)
{
    for (const TOverlayText& t : chart.lastOverlayTexts())
        if (t.text.startsWith(start)) return true;
    return false;
}

// Pixels of colour `rgb` in the rows top..bottom of the plot.
int pixelsInPlot(TLevelDiagram& chart, QRgb rgb, int top, int bottom)
{
    const QImage img = chart.grab().toImage();
    const TIntRect r = chart.ChartRect();
    int n = 0;
    for (int y = std::max(top, r.top); y < std::min(bottom, r.bottom); ++y)
        for (int x = r.left + 1; x < r.right; ++x) n += img.pixel(x, y) == rgb;
    return n;
}

class FiguresNotGivenTest : public ::testing::TestWithParam<const char*> {};

// Down the list with the keyboard: a microphone that gives no noise figure
// after one that does shows the markers, no noise zone and "Dyn : 0 dB";
// one without a maximum level draws no over-max zone; the digital one's bar
// reads dBFS; and back up, the first shows everything again.
TEST_P(FiguresNotGivenTest, MarkersAndNoZoneForAFigureNotGiven)
{
    LibraryWindow lw(GetParam());
    lw.start(testFile("mics.dat"));
    auto* list = lw.find<QComboBox>("cbMicPresets");
    ASSERT_EQ(list->count(), 4);
    TLevelDiagram& chart = *lw.w->chart();
    auto* error = lw.find<QLabel>("lblMicPresetParamsError");
    const auto step = [&](Qt::Key key) {
        list->setFocus();
        QTest::keyClick(list, key);
        QApplication::processEvents();
        (void)chart.grab(); // a paint, for the overlay texts
    };
    const auto text = [&](const char* input) { return lw.find<QLineEdit>(input)->text().toStdString(); };
    const QRgb kRed = qRgb(0xFF, 0, 0), kSilver = qRgb(0xC0, 0xC0, 0xC0);
    const int yMin = chart.Series1().CalcYPosValue(-190); // far below any noise given here

    (void)chart.grab();
    EXPECT_TRUE(overlayShows(chart, "Mic Noise level"));
    EXPECT_FALSE(error->isVisible());
    const int noiseRow = chart.Series1().CalcYPosValue(lw.shown("seMicNoise_dBu"));
    EXPECT_GT(pixelsInPlot(chart, kSilver, noiseRow + 4, noiseRow + 40), 50); // the noise zone's hatch

    step(Qt::Key_Down); // U87-like: no noise figure
    ASSERT_EQ(list->currentIndex(), 1);
    for (const char* marker : {"seMicNoise_dBu", "seMicNoise_dBV"}) EXPECT_EQ(text(marker), lw.fixed(-200, 1)) << marker;
    for (const char* marker : {"seMicNoise_uV", "seMicNoise_dBSPL"}) EXPECT_EQ(text(marker), lw.fixed(0, 1)) << marker;
    EXPECT_EQ(text("seMicSens_dBV"), lw.fixed(-36.5, 1)); // a fraction, as published
    EXPECT_FALSE(overlayShows(chart, "Mic Noise level"));
    EXPECT_TRUE(overlayShows(chart, "Mic Max level"));
    EXPECT_EQ(pixelsInPlot(chart, kSilver, noiseRow + 4, yMin), 0);
    EXPECT_TRUE(lw.accessible("lblCalcMain", QAccessible::Name).startsWith("[Dyn : 0 dB ; SNR : 0 dB]"));
    EXPECT_TRUE(error->isVisible());
    EXPECT_EQ(error->text(), "Error found in Mic preset parameters");
    EXPECT_EQ(error->toolTip(), "No self-noise figure");
    EXPECT_EQ(lw.accessible("lblMicPresetParamsError", QAccessible::Description), "No self-noise figure.");

    // Typed into, the noise input works as usual.
    auto* noise = lw.find<QLineEdit>("seMicNoise_dBu");
    noise->setFocus();
    noise->selectAll();
    QTest::keyClicks(noise, QString::fromStdString(lw.fixed(-120, 1)));
    QApplication::processEvents();
    EXPECT_EQ(text("seMicNoise_dBV"), lw.fixed(-122.2, 1));
    (void)chart.grab();
    EXPECT_TRUE(overlayShows(chart, "Mic Noise level"));

    step(Qt::Key_Down); // SM58-like: neither noise nor maximum level
    ASSERT_EQ(list->currentIndex(), 2);
    EXPECT_EQ(text("seMicMaxLevel_dBSPL"), "0");
    EXPECT_EQ(text("seMicNoise_dBu"), lw.fixed(-200, 1));
    EXPECT_FALSE(overlayShows(chart, "Mic Max level"));
    EXPECT_FALSE(overlayShows(chart, "Mic Noise level"));
    EXPECT_EQ(pixelsInPlot(chart, kRed, 0, 10000), 0); // no over-max zone, no maximum line
    EXPECT_EQ(error->toolTip(), "No self-noise figure\nNo maximum level");
    EXPECT_EQ(text("seMicSens_mV"), lw.fixed(1.9, 1)); // "0,00185" in either locale

    step(Qt::Key_Down); // ICS-like: the bar follows the digital output
    ASSERT_TRUE(lw.find<QRadioButton>("rbMicDigital")->isChecked());
    EXPECT_EQ(lw.accessible("pbLevelMeter", QAccessible::Name), "Mic output -46 dBFS");
    EXPECT_FALSE(error->isVisible());

    for (int i = 0; i < 3; ++i) step(Qt::Key_Up);
    ASSERT_EQ(list->currentIndex(), 0);
    EXPECT_TRUE(overlayShows(chart, "Mic Noise level"));
    EXPECT_TRUE(overlayShows(chart, "Mic Max level"));
    EXPECT_EQ(lw.accessible("pbLevelMeter", QAccessible::Name), "Mic output -63 dBu");
    EXPECT_FALSE(error->isVisible());
    EXPECT_EQ(error->toolTip(), "");
    lw.expectOutputsFollowTheInputs("SM81-like");
}

INSTANTIATE_TEST_SUITE_P(Separators, FiguresNotGivenTest, ::testing::Values(".", ","),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param) == "." ? "Point" : "Comma";
                         });

// "Open..." on a file without presets: the open file, its list, the loaded
// preset and the caption stay; the line under the list says why.
TEST(OpenWithTheDialog, AFailedOpenKeepsTheList)
{
    LibraryWindow lw;
    lw.start(testFile("mics.dat"));
    auto* list = lw.find<QComboBox>("cbMicPresets");
    lw.click("btnMicPresetNext");
    const QString caption = lw.w->windowTitle();
    ASSERT_TRUE(caption.endsWith("\"U87-like\""));

    const std::string bad = testFile("nopresets.dat");
    QTimer::singleShot(0, lw.w.get(), [&] {
        QFileDialog* d = lw.w->fileDialog(false);
        d->selectFile(QString::fromStdString(bad));
        QMetaObject::invokeMethod(d, "accept");
    });
    lw.click("Button4"); // "Open..."
    EXPECT_EQ(list->count(), 4);
    EXPECT_EQ(list->currentIndex(), 1);
    EXPECT_EQ(lw.w->windowTitle(), caption);
    EXPECT_EQ(lw.w->presets().MicSetFile(), testFile("mics.dat"));
    EXPECT_EQ(lw.shown("seMicSens_dBV"), -36.5);
    auto* line = lw.find<QLabel>("lblMicSetFileError");
    ASSERT_TRUE(line->isVisible());
    EXPECT_TRUE(line->toolTip().contains(QString::fromStdString(bad))) << line->toolTip().toStdString();
    EXPECT_TRUE(line->text().contains("It holds no presets")) << line->text().toStdString();
    EXPECT_TRUE(line->text().contains("the open file stays")) << line->text().toStdString();

    // The next preset loads from the file that stayed open, and the line goes.
    lw.click("btnMicPresetNext");
    EXPECT_EQ(list->currentIndex(), 2);
    EXPECT_TRUE(lw.w->windowTitle().endsWith("\"SM58-like\""));
    EXPECT_FALSE(line->isVisible());
}

} // namespace
