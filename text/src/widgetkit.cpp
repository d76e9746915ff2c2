#include "text/widgetkit.h"

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

QRect devicePixels(const QTransform& toDevice, const QRect& rect)
{
    const QRectF d = toDevice.mapRect(QRectF(rect));
    return QRect(QPoint(qRound(d.left()), qRound(d.top())), QPoint(qRound(d.right()) - 1, qRound(d.bottom()) - 1));
}

void paintInDevicePixels(QPainter& painter)
{
    // Without a world transform the painter still scales by the device's
    // pixel ratio: undo that too.
    painter.resetTransform();
    painter.setWorldTransform(painter.deviceTransform().inverted());
}

void drawDeviceOutline(QPainter& painter, const QRect& rect)
{
    const QRect d = devicePixels(painter.deviceTransform(), rect);
    if (d.width() <= 0 || d.height() <= 0) return;
    painter.save();
    paintInDevicePixels(painter);
    // An outlined rectangle covers its width + 1 columns and height + 1 rows.
    painter.drawRect(QRect(d.left(), d.top(), d.width() - 1, d.height() - 1));
    painter.restore();
}

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
