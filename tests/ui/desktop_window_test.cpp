// The main window among other windows: its menus look like its menu bar, and
// it leaves its size to the user and the window manager.
#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QWindow>

#include <string>
#include <utility>

#include "ui/mainwindow.h"

namespace {

// Readable in a failure message: (width, height) and the font's description.
std::pair<int, int> wh(QSize s) { return {s.width(), s.height()}; }
std::string desc(const QFont& f) { return f.toString().toStdString(); }

class DesktopWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
        QApplication::processEvents();
    }
    TfmMain w;
};

// Drop-down menus and an input's edit menu are windows of their own; each
// must still show the menu bar's font (Tahoma 8), not the desktop default.
TEST_F(DesktopWindowTest, MenusShowTheMenuBarFont)
{
    const QFont barFont = w.menuBar()->font();
    EXPECT_EQ(barFont.family(), "Tahoma");
    EXPECT_EQ(barFont.pointSize(), 8);
    const std::string bar = desc(barFont);
    for (const char* name : {"File1", "Presets1", "Display1", "Help1"}) {
        auto* m = w.findChild<QMenu*>(name);
        ASSERT_NE(m, nullptr) << name;
        m->popup(w.menuBar()->mapToGlobal(QPoint(0, w.menuBar()->height())));
        QApplication::processEvents();
        EXPECT_TRUE(m->isVisible()) << name;
        EXPECT_EQ(desc(m->font()), bar) << name;
        m->hide();
    }

    auto* edit = w.findChild<QLineEdit*>("seSourceLevel_dBSPL");
    ASSERT_NE(edit, nullptr);
    QContextMenuEvent ev(QContextMenuEvent::Mouse, QPoint(5, 5), edit->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(edit, &ev);
    QApplication::processEvents();
    QMenu* editMenu = nullptr;
    for (QMenu* m : edit->findChildren<QMenu*>())
        if (m->isVisible()) editMenu = m;
    ASSERT_NE(editMenu, nullptr) << "no edit menu opened";
    EXPECT_EQ(desc(editMenu->font()), bar);
    editMenu->close();
}

// No size limits: the fixed-height strips give the window (and so the window
// manager) no minimum; a window smaller than the strips clips them.
// The window's font is its own: other windows of the program (dialogs,
// tooltips) keep the desktop's default font after it is made.
TEST(DesktopWindow, LeavesTheApplicationFontAsItWas)
{
    const std::string before = desc(QApplication::font());
    TfmMain w;
    EXPECT_EQ(desc(QApplication::font()), before);
    EXPECT_NE(w.font().family(), QApplication::font().family());
}

TEST_F(DesktopWindowTest, WindowTakesASizeSmallerThanItsStrips)
{
    QWidget* client = w.centralWidget();
    const QSize stripsNeed = client->minimumSizeHint();
    const QSize small(160, 120);
    ASSERT_LT(small.width(), stripsNeed.width());
    ASSERT_LT(small.height(), stripsNeed.height());

    EXPECT_EQ(wh(w.minimumSize()), wh({0, 0}));
    EXPECT_EQ(wh(w.windowHandle()->minimumSize()), wh({0, 0}));
    w.resize(small);
    QApplication::processEvents();
    EXPECT_EQ(wh(w.size()), wh(small));
    EXPECT_EQ(wh(w.windowHandle()->size()), wh(small));

    // The strips keep their heights and nothing is squeezed over another: the
    // client area keeps its least size and the window cuts it off.
    EXPECT_EQ(w.findChild<QWidget*>("Panel1")->height(), 99);
    EXPECT_EQ(w.findChild<QWidget*>("Panel3")->height(), 57);
    EXPECT_EQ(w.findChild<QWidget*>("Panel2")->height(), 29);
    EXPECT_EQ(w.findChild<QWidget*>("Panel3")->y(), 99);
    EXPECT_GE(client->width(), stripsNeed.width());
    EXPECT_GE(client->height(), stripsNeed.height());

    // Back to a roomy size, everything follows again.
    w.resize(1000, 700);
    QApplication::processEvents();
    EXPECT_EQ(client->width(), 1000);
    EXPECT_EQ(client->height(), 700 - w.menuBar()->height());
}

} // namespace
