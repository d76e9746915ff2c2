#pragma once
// Small pieces the chart, the diagram and the widgets share: painting on
// device pixels (one look at every scale), the dotted frame of the keyboard
// focus (and of the chart's zoom rectangle), and the registration of the
// accessible interfaces of our widget classes.
#include <QAccessible>
#include <QColor>
#include <QLatin1String>
#include <QRect>

class QPainter;
class QTransform;

// The device pixels that `rect` covers, `toDevice` taking it to device
// pixels (a painter's deviceTransform()): each edge rounded to the nearest
// pixel boundary, as a fill of `rect` and a widget's clip round them at any
// scale and offset. For transforms that only scale and translate.
QRect devicePixels(const QTransform& toDevice, const QRect& rect);

// Outlines the outermost device pixels of `rect` with the painter's pen,
// one device pixel wide at any scale: on the edge of what a fill of `rect`
// covers, and inside the clip of a widget whose rectangle it is. At device
// pixel ratio 1 the same pixels as drawRect(rect.adjusted(0, 0, -1, -1)).
void drawDeviceOutline(QPainter& painter, const QRect& rect);

// Makes the painter's coordinates device pixels: what it draws next lands on
// the pixels it names. The caller saves and restores the painter around it.
void paintInDevicePixels(QPainter& painter);

// Outlines r as QPainter::drawRect does, in dots of one device pixel at any
// scale (a cosmetic pen), with no fill and a transparent background.
void drawDottedRect(QPainter& painter, const QRect& r, const QColor& colour);

// The keyboard focus frame of a widget whose rectangle is `widgetRect`: the
// same dots on its outermost device pixels, so that all four sides show at
// any scale, also where the widget starts at a fraction of a device pixel.
void drawFocusFrame(QPainter& painter, const QRect& widgetRect, const QColor& colour);

// Installs an accessibility factory; installing the same one again does
// nothing.
void installAccessibleFactory(QAccessible::InterfaceFactory factory);

// The factory that gives every widget of class Widget the interface
// Interface (constructed from the widget).
template <class Widget, class Interface>
QAccessibleInterface* accessibleFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String(Widget::staticMetaObject.className()) && object && object->isWidgetType())
        return new Interface(static_cast<Widget*>(object));
    return nullptr;
}
