#pragma once
// Small pieces the diagram and the widgets share: the dotted frame of the
// keyboard focus (and of the diagram's zoom rectangle), and the registration
// of the accessible interfaces of our widget classes.
#include <QAccessible>
#include <QColor>
#include <QLatin1String>
#include <QRect>

class QPainter;

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
