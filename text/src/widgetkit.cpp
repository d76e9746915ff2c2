#include "text/widgetkit.h"

#include "text/textmeasure.h"

#include <QPainter>
#include <algorithm>
#include <vector>

namespace {

// Dots of one device pixel (a cosmetic pen), no fill, a transparent background.
void setDottedPen(QPainter& painter, const QColor& colour)
{
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(colour, 0, Qt::DotLine));
}

} // namespace

void drawDottedRect(QPainter& painter, const QRect& r, const QColor& colour)
{
    setDottedPen(painter, colour);
    painter.drawRect(r);
}

void drawFocusFrame(QPainter& painter, const QRect& widgetRect, const QColor& colour)
{
    setDottedPen(painter, colour);
    drawDeviceOutline(painter, widgetRect);
}

void installAccessibleFactory(QAccessible::InterfaceFactory factory)
{
    static std::vector<QAccessible::InterfaceFactory> installed;
    if (std::find(installed.begin(), installed.end(), factory) != installed.end()) return;
    installed.push_back(factory);
    QAccessible::installFactory(factory);
}
