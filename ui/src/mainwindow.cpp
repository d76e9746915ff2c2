#include "ui/mainwindow.h"

#include <algorithm>
#include <filesystem>

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTimer>
#include <QWindow>
#include <QVBoxLayout>

#include "diagram/leveldiagram.h"
#include "ui/aboutbox.h"
#include "ui/actionlist.h"
#include "ui/announcer.h"
#include "ui/commandline.h"
#include "ui/presetview.h"
#include "ui/calcadapters.h"
#include "ui/chainadapters.h"
#include "ui/diagramadapters.h"
#include "ui/listaccessible.h"
#include "ui/radiochoice.h"
#include "text/widgetkit.h"
#include "widgets/floatspinedit.h"
#include "widgets/levelbar.h"
#include "widgets/markuplabel.h"

namespace {

constexpr int kFrame = 2; // etched frame of the three strips

constexpr const char* kStripProperty = "phonolithStrip";

// The strips are panels to a screen reader: a plain frame reads as a window
// frame, which a reader takes for the window and keeps its review inside.
QAccessibleInterface* stripAccessibleFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("QFrame") && object->property(kStripProperty).toBool())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Pane);
    return nullptr;
}

QFrame* makeStrip(QWidget* parent, const char* name, int height)
{
    auto* f = new QFrame(parent);
    f->setObjectName(name);
    f->setProperty(kStripProperty, true);
    f->setFrameStyle(QFrame::Box | QFrame::Sunken); // 2-pixel etched edge
    f->setLineWidth(1);
    f->setFixedHeight(height);
    f->setAutoFillBackground(true);
    return f;
}

// Menus whose disabled items can be highlighted: the arrow keys reach them,
// and a screen reader reads them as unavailable ("New grayed"). Without it
// a menu of only disabled items ("Presets" while no file is open) highlights
// nothing, and neither the keyboard nor a reader finds anything in it.
class MenuStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_Menu_AllowActiveAndDisabled) return 1;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// Tells a screen reader again which item of the open menu is highlighted,
// after the window system has moved the focus between windows. Going from
// one menu of the bar to the next, the focus comes back to the main window
// only after the next menu has opened, and Qt then reports the main window's
// focus control as focused; a context menu opened from the keyboard is
// followed by the main window's activation. A reader then speaks that
// control or the window as if the menu had closed.
void refocusOpenMenuItem()
{
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu || !menu->isVisible() || !menu->activeAction() || !QAccessible::isActive()) return;
    QAccessibleEvent focus(menu, QAccessible::Focus);
    focus.setChild(static_cast<int>(menu->actions().indexOf(menu->activeAction())));
    QAccessible::updateAccessibility(&focus);
}

// A line of grey text on Panel2's black, reached with Tab: the result line
// and the chain's warning line.
TMarkupLabel* makeStripLine(QWidget* parent, const char* name)
{
    auto* l = new TMarkupLabel(parent);
    l->setObjectName(name);
    l->setFont(QFont("Tahoma", 8));
    l->setFontColor(QColor(0xC0, 0xC0, 0xC0));
    l->setVAlignment(markup::tvaCenter);
    l->setFocusPolicy(Qt::TabFocus);
    return l;
}

// Sets the tab order of the controls in the given order.
void tabChain(std::initializer_list<QWidget*> chain)
{
    QWidget* previous = nullptr;
    for (QWidget* w : chain) {
        if (previous) QWidget::setTabOrder(previous, w);
        previous = w;
    }
}

// Places a control at its designed position inside a strip's inner area.
void place(QWidget* w, int x, int y, int width, int height)
{
    w->setGeometry(x + kFrame, y + kFrame, width, height);
}

} // namespace

TfmMain::TfmMain(QWidget* parent) : QMainWindow(parent)
{
    setObjectName("fmMain");
    setFont(QFont("Tahoma", 8));
    // A line edit lays out its first text in the application's font before it
    // takes its own: with the window's font as the application's while the
    // controls are made, no other face is loaded for that. Restored below.
    const QFont appFont = QApplication::font();
    QApplication::setFont(font());

    installAccessibleFactory(stripAccessibleFactory);

    auto* client = new QWidget(this);
    auto* column = new QVBoxLayout(client);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->setSizeConstraint(QLayout::SetMinimumSize); // see the end of the constructor
    setCentralWidget(client);

    // The window description: every control with its place, caption and
    // initial value. No change event fires while it is applied.
    Panel1 = makeStrip(client, "Panel1", 99);
    Panel3 = makeStrip(client, "Panel3", 57);
    Chart1 = new TLevelDiagram(client);
    Panel2 = makeStrip(client, "Panel2", 29);
    column->addWidget(Panel1);
    column->addWidget(Panel3);
    column->addWidget(Chart1, 1);
    column->addWidget(Panel2);

    createActions(); // before the menu and the buttons and check boxes that link to the actions
    createMenu();
    createPanel1(Panel1);
    createPanel3(Panel3);
    createPanel2(Panel2);
    QApplication::setFont(appFont);
    // Drop-down and context menus are windows of their own and take no font
    // from their parent: give every menu the window's font, as the menu bar
    // has. After the application's font, which clears the fonts per class.
    QApplication::setFont(font(), "QMenu");
    bindCalculator();

    // The window has no size limits: the client area keeps the least size of
    // its strips, and a window made smaller than that clips it at the right
    // and bottom instead of giving the window manager a minimum size.
    layout()->setSizeConstraint(QLayout::SetNoConstraint);
    resize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());

    FormCreate();
}

TfmMain::~TfmMain()
{
    // The controls outlive the calculator: leave them no handler to call.
    calc_->unbindAll();
}

TFloatSpinEdit* TfmMain::input(InputId id) const { return inputs_[static_cast<std::size_t>(id)]; }

INumericInput* TfmMain::boundInput(InputId id) const { return spinInputs_[static_cast<std::size_t>(id)].get(); }

TFloatSpinEdit* TfmMain::makeSpin(QWidget* parent, const char* name, int x, int y, int w, const QString& caption,
                                  double value, int precision, double step, double page, bool isSigned)
{
    auto* e = new TFloatSpinEdit(parent, precision, value);
    e->setObjectName(name);
    e->beginLoad();
    e->setPrecision(precision);
    e->setIncrementFloat(step);
    e->setIncrementFloatPage(page);
    e->setSigned(isSigned);
    e->setLabelPosition(spinlogic::lpRightCenter);
    e->setLabelMargin(8);
    e->setLabelCaption(caption);
    e->setFloatValue(value);
    place(e, x, y, w, 21);
    e->endLoad();
    return e;
}

void TfmMain::createActions()
{
    ActionList1 = new TActionList(this);
    ActMicPresetFileOpen = ActionList1->add("ActMicPresetFileOpen", "Open...");
    ActMicPresetFileSave = ActionList1->add("ActMicPresetFileSave", "Save");
    ActMicPresetFileSaveAs = ActionList1->add("ActMicPresetFileSaveAs", "Save as...");
    ActMicPresetNew = ActionList1->add("ActMicPresetNew", "New");
    ActMicPresetRename = ActionList1->add("ActMicPresetRename", "Rename");
    ActMicPresetDelete = ActionList1->add("ActMicPresetDelete", "Delete");
    ActAppClose = ActionList1->add("ActAppClose", "Exit");
    ActAppClose->setExecuteHandler([this] { ActAppCloseExecute(); });
    ActAppUserPrefsLoad = ActionList1->add("ActAppUserPrefsLoad", "UserPrefsLoad");
    ActAppUserPrefsLoad->setExecuteHandler([this] { ActAppUserPrefsLoadExecute(); });
    ActAppUserPrefsSave = ActionList1->add("ActAppUserPrefsSave", "UserPrefsSave");
    ActAppUserPrefsSave->setExecuteHandler([this] { ActAppUserPrefsSaveExecute(); });
    ActDisplayShowHearingThreshold =
        ActionList1->add("ActDisplayShowHearingThreshold", "Show Hearing Threshold (0 dBSPL)");
    ActDisplayShowDangerThreshold =
        ActionList1->add("ActDisplayShowDangerThreshold", "Show Danger Threshold (85 dBSPL)");
    ActDisplayShowPainThreshold = ActionList1->add("ActDisplayShowPainThreshold", "Show Pain Threshold (120 dBSPL)");
    ActAppReadMe = ActionList1->add("ActAppReadMe", "Read me...");
    ActAppAbout = ActionList1->add("ActAppAbout", "About");
    ActAppAbout->setExecuteHandler([this] {
        showAboutBox(this, QFile::decodeName(QByteArray::fromStdString(micLibraryFile())));
    });
}

void TfmMain::createMenu()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName("MainMenu1");
    auto* menuStyle = new MenuStyle;
    menuStyle->setParent(this);
    auto addMenu = [&](const char* name, const QString& title) {
        QMenu* m = bar->addMenu(title);
        m->setObjectName(name);
        m->setStyle(menuStyle);
        connect(m, &QMenu::aboutToShow, this, [this, m] { ActionList1->updateMenu(m); });
        return m;
    };
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [] {
        if (QWidget* popup = QApplication::activePopupWidget()) QTimer::singleShot(0, popup, refocusOpenMenuItem);
    });
    // F10 opens the first menu, as Alt alone does; the arrows and Escape
    // then work as in any menu bar.
    auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), this);
    f10->setObjectName("MenuShortcut");
    connect(f10, &QShortcut::activated, this, [bar] {
        if (!bar->actions().isEmpty()) bar->setActiveAction(bar->actions().constFirst());
    });
    auto item = [](QMenu* m, TAction* action, const char* itemName) { action->linkMenuItem(m, itemName); };
    auto separator = [](QMenu* m, const char* name) { m->addSeparator()->setObjectName(name); };

    QMenu* file = addMenu("File1", "File");
    item(file, ActMicPresetFileOpen, "ActMicSpecsFileOpen1");
    item(file, ActMicPresetFileSave, "ActMicSpecsFileSave1");
    item(file, ActMicPresetFileSaveAs, "Saveas1");
    separator(file, "N2");
    item(file, ActAppClose, "ActAppClose2");

    QMenu* presets = addMenu("Presets1", "Presets");
    item(presets, ActMicPresetNew, "New1");
    item(presets, ActMicPresetRename, "Rename1");
    item(presets, ActMicPresetDelete, "Delete1");

    QMenu* display = addMenu("Display1", "Display");
    item(display, ActDisplayShowPainThreshold, "ShowPainThreshold120dBSPL1");
    item(display, ActDisplayShowDangerThreshold, "ShowDangerThreshold85dBSPL1");
    item(display, ActDisplayShowHearingThreshold, "ShowHearingThreshold0dBSPL1");

    QMenu* help = addMenu("Help1", "Help");
    item(help, ActAppReadMe, "Readme1");
    separator(help, "N3");
    item(help, ActAppAbout, "About1");
}

void TfmMain::createPanel1(QFrame* p)
{
    cbMicPresets = new QComboBox(p);
    makeListReadable(cbMicPresets); // before anything asks for its interface
    cbMicPresets->setObjectName("cbMicPresets");
    cbMicPresets->setAccessibleName("Mic presets");
    place(cbMicPresets, 8, 3, 278, 21);
    // A list's accessible name is its current text on Linux: a screen reader
    // names it by the label it is the buddy of (not shown), then reads its
    // text (makeListReadable).
    auto* presetsLabel = new QLabel("Mic presets", p);
    presetsLabel->setObjectName("lblMicPresets");
    presetsLabel->setBuddy(cbMicPresets);
    presetsLabel->hide();

    QFont bold = font();
    bold.setBold(true);
    btnMicPresetPrev = new QPushButton("<", p);
    btnMicPresetPrev->setObjectName("btnMicPresetPrev");
    btnMicPresetPrev->setFont(bold);
    btnMicPresetPrev->setAccessibleName("Previous preset");
    place(btnMicPresetPrev, 286, 2, 25, 23);
    btnMicPresetNext = new QPushButton(">", p);
    btnMicPresetNext->setObjectName("btnMicPresetNext");
    btnMicPresetNext->setFont(bold);
    btnMicPresetNext->setAccessibleName("Next preset");
    place(btnMicPresetNext, 310, 2, 25, 23);

    auto actionButton = [&](const char* name, TAction* action, int x, int w) {
        auto* b = new QPushButton(p);
        b->setObjectName(name);
        place(b, x, 25, w, 22);
        action->linkButton(b);
        return b;
    };
    Button4 = actionButton("Button4", ActMicPresetFileOpen, 8, 56);
    Button1 = actionButton("Button1", ActMicPresetFileSave, 64, 54);
    Button2 = actionButton("Button2", ActMicPresetNew, 118, 56);
    btnMicresetRename = actionButton("btnMicresetRename", ActMicPresetRename, 174, 56);
    Button3 = actionButton("Button3", ActMicPresetDelete, 230, 56);

    lblMicDesc = new QLabel("<MicDesc>", p);
    lblMicDesc->setObjectName("lblMicDesc");
    lblMicDesc->setTextFormat(Qt::PlainText);
    lblMicDesc->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    place(lblMicDesc, 12, 51, 345, 26);

    lblMicPresetParamsError = new QLabel("Error found in Mic preset parameters", p);
    lblMicPresetParamsError->setObjectName("lblMicPresetParamsError");
    lblMicPresetParamsError->setTextFormat(Qt::PlainText);
    lblMicPresetParamsError->setAlignment(Qt::AlignCenter);
    lblMicPresetParamsError->setAutoFillBackground(true);
    QPalette errPal = lblMicPresetParamsError->palette();
    errPal.setColor(QPalette::Window, QColor(0xFF, 0x00, 0x00));
    errPal.setColor(QPalette::WindowText, QColor(0xFF, 0xFF, 0x00));
    lblMicPresetParamsError->setPalette(errPal);
    place(lblMicPresetParamsError, 12, 77, 274, 14);
    lblMicPresetParamsError->hide();

    // Covers the description and the error label while it shows: what it says
    // is about the file, and no preset of it is listed.
    lblMicSetFileError = new QLabel(p);
    lblMicSetFileError->setObjectName("lblMicSetFileError");
    lblMicSetFileError->setTextFormat(Qt::PlainText);
    lblMicSetFileError->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblMicSetFileError->setAutoFillBackground(true);
    QPalette fileErrPal = lblMicSetFileError->palette();
    fileErrPal.setColor(QPalette::WindowText, QColor(0xC0, 0x00, 0x00));
    lblMicSetFileError->setPalette(fileErrPal);
    place(lblMicSetFileError, 12, 51, 345, 40);
    lblMicSetFileError->hide();

    rbMicAnalog = new QRadioButton("Analog mic", p);
    rbMicAnalog->setObjectName("rbMicAnalog");
    rbMicAnalog->setChecked(true);
    place(rbMicAnalog, 375, 22, 73, 17);
    rbMicDigital = new QRadioButton("Digital mic", p);
    rbMicDigital->setObjectName("rbMicDigital");
    place(rbMicDigital, 462, 22, 71, 17);
    // The two choices' group name for a screen reader: a label that is not
    // shown, naming each choice (a reader speaks it on entering the group).
    for (QRadioButton* choice : {rbMicAnalog, rbMicDigital}) {
        auto* group = new QLabel("Microphone kind", p);
        group->setObjectName(choice->objectName() + "Group");
        group->setBuddy(choice);
        group->hide();
    }

    auto spin = [&](InputId id, int x, int y, const QString& caption, double value, int precision, double step,
                    double page, bool isSigned) {
        inputs_[static_cast<std::size_t>(id)] =
            makeSpin(p, inputName(id), x, y, 64, caption, value, precision, step, page, isSigned);
    };
    spin(InputId::MicMaxLevel_dBSPL, 375, 47, "Mic Max level in dBSPL", 130, 0, 0.1, 1.0, false);
    spin(InputId::MicNoise_dBSPL, 375, 69, "Mic Noise in dBSPL (ITU)", 20.0, 1, 0.1, 1.0, false);
    spin(InputId::MicNoise_dBu, 579, 3, "Mic Noise in dBu", -100.0, 1, 0.1, 1.0, true);
    spin(InputId::MicNoise_dBV, 579, 25, "Mic Noise in dBV", -102.0, 1, 0.1, 1.0, true);
    // Steps of its one shown decimal, like its neighbours (0.01 would never show).
    spin(InputId::MicNoise_uV, 579, 47, "Mic Noise in uV", 10.0, 1, 0.1, 1.0, false);
    spin(InputId::MicNoise_dBFS, 579, 69, "Mic Noise in dBFS", -90.0, 1, 0.1, 1.0, true);
    spin(InputId::MicSens_dBu, 757, 3, "Mic Sensitivity in dBu", -40.0, 1, 0.1, 1.0, true);
    spin(InputId::MicSens_dBV, 757, 25, "Mic Sensitivity in dBV", -42.0, 1, 0.1, 1.0, true);
    spin(InputId::MicSens_mV, 757, 47, "Mic Sensitivity in mV", 10.0, 1, 0.1, 1.0, false);
    spin(InputId::MicSens_dBFS, 757, 69, "Mic Sensitivity in dBFS", -26.0, 1, 0.1, 1.0, true);
    input(InputId::MicSens_mV)->setMinFloatValue(0.1); // stored, not enforced

    // Tab order of the strip; disabled controls are skipped when tabbing.
    tabChain({cbMicPresets, Button1, Button2, Button3, rbMicAnalog, rbMicDigital, input(InputId::MicNoise_uV),
                 input(InputId::MicSens_mV), input(InputId::MicSens_dBu), input(InputId::MicSens_dBV),
                 input(InputId::MicNoise_dBu), input(InputId::MicNoise_dBV), input(InputId::MicMaxLevel_dBSPL),
                 input(InputId::MicSens_dBFS), input(InputId::MicNoise_dBFS), input(InputId::MicNoise_dBSPL),
                 Button4, btnMicresetRename, btnMicPresetPrev, btnMicPresetNext});
}

void TfmMain::createPanel3(QFrame* p)
{
    auto spin = [&](InputId id, int x, int y, int w, const QString& caption, double value, int precision,
                    bool isSigned) {
        inputs_[static_cast<std::size_t>(id)] =
            makeSpin(p, inputName(id), x, y, w, caption, value, precision, 0.1, 1.0, isSigned);
    };
    spin(InputId::SourceLevel_dBSPL, 8, 4, 73, "Source Level in dBSPL", 74.0, 1, false);
    spin(InputId::SourceLevel_Pa, 8, 25, 73, "Source Level in Pa", 1.0, 5, false);
    spin(InputId::AmpGain_dB, 552, 27, 64, "Amplifier Gain (dB)", 20, 0, true);
    input(InputId::AmpGain_dB)->setColor(Qt::white);

    FloatSpinEdit2 = makeSpin(p, "FloatSpinEdit2", 216, 4, 64, "Distance between source and mic (meters)", 1, 0,
                              0.1, 1.0, false);
    FloatSpinEdit2->setColor(QColor(0xC0, 0xC0, 0xC0));
    FloatSpinEdit2->setEnabled(false);
    FloatSpinEdit5 = makeSpin(p, "FloatSpinEdit5", 552, 4, 64, "Amplifier Noise in uV", 10, 0, 0.1, 1.0, false);
    FloatSpinEdit5->setColor(QColor(0xC0, 0xC0, 0xC0));
    FloatSpinEdit5->setEnabled(false);

    rbSourceIsPoint = new QRadioButton("Source is Point", p);
    rbSourceIsPoint->setObjectName("rbSourceIsPoint");
    rbSourceIsPoint->setChecked(true);
    place(rbSourceIsPoint, 216, 27, 113, 17);
    rbSourceIsLine = new QRadioButton("Source is Line", p);
    rbSourceIsLine->setObjectName("rbSourceIsLine");
    rbSourceIsLine->setEnabled(false);
    place(rbSourceIsLine, 320, 27, 113, 17);

    auto check = [&](const char* name, TAction* action, int y) {
        auto* c = new QCheckBox(p);
        c->setObjectName(name);
        action->linkButton(c);
        // Designed 190 wide; wider where the platform's box and font need it,
        // so the caption is never cut.
        place(c, 763, y, std::max(190, c->sizeHint().width()), 17);
        return c;
    };
    cbShowDangerThrs = check("cbShowDangerThrs", ActDisplayShowDangerThreshold, 1);
    cbShowPainThrs = check("cbShowPainThrs", ActDisplayShowPainThreshold, 17);
    cbShowHearingThrs = check("cbShowHearingThrs", ActDisplayShowHearingThreshold, 33);

    // Panel3 follows Panel1.
    tabChain({btnMicPresetNext, input(InputId::SourceLevel_dBSPL), FloatSpinEdit2, input(InputId::SourceLevel_Pa),
              rbSourceIsPoint, rbSourceIsLine, cbShowDangerThrs, cbShowPainThrs, cbShowHearingThrs, FloatSpinEdit5,
              input(InputId::AmpGain_dB)});
}

void TfmMain::createPanel2(QFrame* p)
{
    QPalette black = p->palette();
    black.setColor(QPalette::Window, Qt::black);
    p->setPalette(black);

    // One row: the level bar and the result line; the chain's warning line
    // goes under it (startSignalChain).
    panel2Rows_ = new QVBoxLayout(p);
    panel2Rows_->setContentsMargins(0, 0, 0, 0); // the frame already insets the layout
    panel2Rows_->setSpacing(0);
    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    panel2Rows_->addLayout(row);
    pbLevelMeter = new TLevelBar(p);
    pbLevelMeter->setObjectName("pbLevelMeter");
    pbLevelMeter->setFixedWidth(193);
    pbLevelMeter->beginLoad();
    pbLevelMeter->setMinValue(-80);
    pbLevelMeter->setMaxValue(20);
    pbLevelMeter->setPosition(-20);
    pbLevelMeter->endLoad();
    lblCalcMain = makeStripLine(p, "lblCalcMain");
    // The whole line is about 20 s of speech: it is read on request (focus,
    // review); the window announces only what a change did (announceResult).
    announcer_ = new TAnnouncer(p);
    // Painted on the strip's black, as the level bar paints its own: at a
    // fractional scale the strip's bevel reaches into the first device row
    // of both, and both cover it alike.
    lblCalcMain->setAutoFillBackground(true);
    row->addWidget(pbLevelMeter);
    row->addWidget(lblCalcMain, 1);
    pbLevelMeter->setAccessibleName("Mic output");
    pbLevelMeter->setUnit("dBu");

    // The result line and the diagram come after the last control of the
    // strips, so the keyboard (and a screen reader with it) reaches them.
    Chart1->setFocusPolicy(Qt::TabFocus);
    tabChain({input(InputId::AmpGain_dB), lblCalcMain, Chart1});
    cbMicPresets->setFocus(); // the window opens on the first control of the order, as before
}

void TfmMain::bindCalculator()
{
    analogChoice_ = std::make_unique<RadioChoice>(rbMicAnalog);
    digitalChoice_ = std::make_unique<RadioChoice>(rbMicDigital);

    CalcBindings b;
    for (std::size_t i = 0; i < kInputCount; ++i) {
        spinInputs_.push_back(std::make_unique<SpinInput>(inputs_[i]));
        b.inputs[i] = spinInputs_.back().get();
    }
    b.rbMicAnalog = analogChoice_.get();
    b.rbMicDigital = digitalChoice_.get();
    rightAxisRange_ = std::make_unique<AxisRangeAdapter>(Chart1->RightAxis());
    leftAxisRange_ = std::make_unique<AxisRangeAdapter>(Chart1->LeftAxis());
    diagramView_ = std::make_unique<DiagramViewAdapter>(*Chart1);
    b.rightAxis = rightAxisRange_.get();
    b.leftAxis = leftAxisRange_.get();
    b.diagram = diagramView_.get();
    levelBarOutput_ = std::make_unique<LevelBarOutput>(pbLevelMeter);
    resultLineOutput_ = std::make_unique<ResultLineOutput>(lblCalcMain, [this] {
        if (!resultHeld_) announceResult();
    });
    b.levelBar = levelBarOutput_.get();
    b.resultLine = resultLineOutput_.get();
    calc_ = std::make_unique<Calculator>(b, QLocale().decimalPoint().toStdString());
    calc_->bindAll();

    auto spin = [this](InputId id) -> const INumericInput& { return *spinInputs_[static_cast<std::size_t>(id)]; };
    diagramLevels_ = std::make_unique<CalcDiagramLevels>(
        calc_->state(), spin(InputId::MicMaxLevel_dBSPL), spin(InputId::SourceLevel_dBSPL),
        spin(InputId::MicNoise_dBu), spin(InputId::MicNoise_dBFS), *analogChoice_, *digitalChoice_);
    Chart1->setLevels(diagramLevels_.get());
    Chart1->setOnClick([this](TScaleChart*) { Chart1Click(); });

    presetView_ = std::make_unique<WindowPresetView>(*this);
    presets_ = std::make_unique<presets::PresetController>(*calc_, *presetView_);
    connect(cbMicPresets, &QComboBox::activated, this,
            [this] { presetRound([this] { presets_->cbMicPresetsChange(); }); });
    connect(btnMicPresetNext, &QPushButton::clicked, this,
            [this] { presetRound([this] { presets_->btnMicPresetNextClick(); }); });
    connect(btnMicPresetPrev, &QPushButton::clicked, this,
            [this] { presetRound([this] { presets_->btnMicPresetPrevClick(); }); });
    ActMicPresetFileOpen->setExecuteHandler(
        [this] { presetRound([this] { presets_->ActMicPresetFileOpenExecute(); }); });
    ActMicPresetFileSave->setExecuteHandler([this] { presets_->ActMicPresetFileSaveExecute(); });
    ActMicPresetFileSaveAs->setExecuteHandler([this] { presets_->ActMicPresetFileSaveAsExecute(); });
}

void TfmMain::FormCreate()
{
    InitPaths();
    Chart1->InitChart();
    calc_->startUp();         // the eight change runs, then the mode switch
    Chart1->RefreshDiagram();    // overlays, reference lines included, repaint with the chart
    for (TAction* a : {ActMicPresetFileOpen, ActMicPresetFileSave, ActMicPresetFileSaveAs, ActMicPresetDelete,
                       ActMicPresetNew, ActMicPresetRename})
        a->setEnabled(false);
    UpdateCaption();
    // The start-up result is no change: announcements start from it.
    spokenResult_ = SpokenResultOf(calc_->state(), calc_->showsDigital());
    resultHeld_ = false;
}

void TfmMain::startWithMicSetFile(const std::string& path)
{
    std::error_code ec;
    const std::filesystem::path full = std::filesystem::absolute(std::filesystem::path(path), ec);
    const std::string file = ec ? path : full.string();
    // The dialog starts in the file's folder, or else in the library's.
    const QString folder = QFile::decodeName(QByteArray::fromStdString(full.parent_path().string()));
    const QString library = QFileInfo(QFile::decodeName(QByteArray::fromStdString(micLibraryFile()))).absolutePath();
    if (!ec && QFileInfo(folder).isDir())
        dialogFolder_ = folder;
    else if (QFileInfo(library).isDir())
        dialogFolder_ = library;
    for (QFileDialog* d : {OpenDialog1, SaveDialog1})
        if (d) configureFileDialog(d);

    // "Save", "Save as...", "New", "Rename" and "Delete" have no operation
    // that writes or changes a file: they stay disabled.
    ActMicPresetFileOpen->setEnabled(true);
    presets_->setEnabled(true);
    presetRound([this, &file] { presets_->OpenMicSetFile(file); });
}

void TfmMain::startSignalChain()
{
    if (chainMode_) return;
    chainMode_ = true;

    // Panel3 takes a third row for the converter stage, under the amplifier.
    Panel3->setFixedHeight(80);
    seConverterFS_dBu =
        makeSpin(Panel3, "seConverterFS_dBu", 552, 50, 64, "Converter 0 dBFS in dBu", 18.0, 1, 0.1, 1.0, true);
    seTargetLevel_dBFS =
        makeSpin(Panel3, "seTargetLevel_dBFS", 763, 50, 64, "Target level in dBFS", -18.0, 1, 0.1, 1.0, true);
    // Centimetres and hundredths of a microvolt: a microphone stands 5 cm
    // from a snare, and a good preamplifier's noise is a fraction of 1 uV.
    FloatSpinEdit2->setPrecision(2);
    FloatSpinEdit5->setPrecision(2);
    for (TFloatSpinEdit* e : {FloatSpinEdit2, FloatSpinEdit5, seConverterFS_dBu, seTargetLevel_dBFS}) {
        e->setEnabled(true);
        e->setColor(Qt::white);
        e->show();
    }
    rbSourceIsLine->setEnabled(true);

    // The warning line, under the result line; a screen reader hears each new one.
    lblChainWarnings = makeStripLine(Panel2, "lblChainWarnings");
    lblChainWarnings->setFixedHeight(16);
    lblChainWarnings->setAnnouncesChanges(true);
    panel2Rows_->addWidget(lblChainWarnings);
    Panel2->setFixedHeight(29 + 16);
    lblChainWarnings->show();

    tabChain({input(InputId::AmpGain_dB), seConverterFS_dBu, seTargetLevel_dBFS, lblCalcMain, lblChainWarnings,
              Chart1});

    // The threshold check boxes and Display items switch their lines.
    for (TAction* a : {ActDisplayShowHearingThreshold, ActDisplayShowDangerThreshold, ActDisplayShowPainThreshold}) {
        a->setCheckable(true);
        a->setExecuteHandler([this, a] {
            a->setChecked(!a->isChecked());
            Chart1->RefreshDiagram();
        });
        a->setEnabled(true);
    }

    auto bound = [this](TFloatSpinEdit* e) {
        chainInputs_.push_back(std::make_unique<SpinInput>(e));
        return chainInputs_.back().get();
    };
    pointChoice_ = std::make_unique<RadioChoice>(rbSourceIsPoint);
    lineChoice_ = std::make_unique<RadioChoice>(rbSourceIsLine);
    warningLineOutput_ = std::make_unique<ResultLineOutput>(lblChainWarnings);
    ChainBindings b;
    b.distance = bound(FloatSpinEdit2);
    b.ampNoise = bound(FloatSpinEdit5);
    b.fullScale = bound(seConverterFS_dBu);
    b.target = bound(seTargetLevel_dBFS);
    b.sourceIsPoint = pointChoice_.get();
    b.sourceIsLine = lineChoice_.get();
    b.warningLine = warningLineOutput_.get();
    b.refuse = [this] { FloatSpinEdit2->beep(); };

    diagramLevels_->followChain(*calc_);
    auto checked = [](TAction* a) { return [a] { return a->isChecked(); }; };
    diagramChain_ = std::make_unique<CalcDiagramChain>(
        *calc_, CalcDiagramChain::Thresholds{checked(ActDisplayShowHearingThreshold),
                                             checked(ActDisplayShowDangerThreshold),
                                             checked(ActDisplayShowPainThreshold)});
    Chart1->setChain(diagramChain_.get());
    calc_->enableChain(b);
}

void TfmMain::InitPaths()
{
    AppPath = QFileInfo(QCoreApplication::applicationFilePath()).absolutePath() + '/';
    dialogFolder_ = AppPath;
    // MicSetFile and MicPresetName start empty with the preset controller.
    // The two file dialogs take these settings when first asked for (a file
    // dialog costs a third of the start-up); ones already made take them now.
    for (QFileDialog* d : {OpenDialog1, SaveDialog1})
        if (d) configureFileDialog(d);
}

void TfmMain::configureFileDialog(QFileDialog* d) const
{
    d->setDirectory(dialogFolder_);
    d->setDefaultSuffix("dat");
    d->setNameFilter("Mic Set (*.dat)");
}

QFileDialog* TfmMain::fileDialog(bool save)
{
    QFileDialog*& d = save ? SaveDialog1 : OpenDialog1;
    if (!d) {
        d = new QFileDialog(this);
        d->setOption(QFileDialog::DontUseNativeDialog);
        configureFileDialog(d);
        d->setObjectName(save ? "SaveDialog1" : "OpenDialog1");
        d->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        if (!save) d->setFileMode(QFileDialog::ExistingFile);
        // A name typed and confirmed with Return while the completion list
        // shows leaves that list on the screen after the dialog closes.
        connect(d, &QDialog::finished, d, [d] {
            for (QCompleter* c : d->findChildren<QCompleter*>())
                if (c->popup()) c->popup()->hide();
        });
    }
    return d;
}

void TfmMain::UpdateCaption()
{
    setWindowTitle("Phonolith - Corvanne - \"" + presetNameShown(presets_->MicPresetName()) + "\"");
}

void TfmMain::ActAppCloseExecute() { close(); }

// The program keeps no user preferences: there is nothing to load or save.
void TfmMain::ActAppUserPrefsLoadExecute() {}
void TfmMain::ActAppUserPrefsSaveExecute() {}

void TfmMain::Chart1Click()
{
    // Reads where the click was; a click changes nothing.
    (void)Chart1->mapFromGlobal(QCursor::pos());
}

void TfmMain::announceResult()
{
    const SpokenResult now = SpokenResultOf(calc_->state(), calc_->showsDigital());
    const std::string phrase = ResultChangePhrase(spokenResult_, now, calc_->decimalSeparator());
    spokenResult_ = now;
    announcer_->announce(QString::fromStdString(phrase));
}

void TfmMain::presetRound(const std::function<void()>& operation)
{
    const int loads = presetView_->loads();
    const bool held = resultHeld_;
    resultHeld_ = true;
    // The chain's warning line, which announces its own changes, would be
    // heard before the preset's name: it is held with the result and
    // announced after it.
    TMarkupLabel* warnings = held ? nullptr : lblChainWarnings;
    const QString warningsBefore = warnings ? warnings->plainText() : QString();
    if (warnings) warnings->setAnnouncesChanges(false);
    operation();
    resultHeld_ = held;
    if (presetView_->loads() != loads) {
        announcer_->announce(presetNameShown(presets_->MicPresetName()));
        // The error line's description lists what is wrong; its text says only that something is.
        if (!lblMicPresetParamsError->isHidden()) {
            const QString why = lblMicPresetParamsError->accessibleDescription();
            announcer_->announce(why.isEmpty() ? lblMicPresetParamsError->text() : why);
        }
    }
    if (!resultHeld_) announceResult();
    if (warnings) {
        warnings->setAnnouncesChanges(true);
        if (warnings->plainText() != warningsBefore) announcer_->announce(warnings->plainText());
    }
}

void TfmMain::showEvent(QShowEvent* e)
{
    QMainWindow::showEvent(e);
    if (!idleWatched_) {
        idleWatched_ = true;
        ActionList1->watchIdle();
    }
}
