#include "toolkit/Image.h"

#include "toolkit/Accessibility.h"

#include <QLabel>
#include <QPainter>

namespace velmarith::toolkit {
namespace {

class RectangleWidget final : public QWidget
{
public:
    explicit RectangleWidget(QWidget *parent) : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    QColor border = Qt::black;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setPen(border);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
};

} // namespace

Image::Image(const ControlSite &site) : Control(site, new QLabel(site.parentWidget)), mLabel(static_cast<QLabel *>(widget()))
{
    mLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    markDecorative(mLabel);
}

void Image::setPicture(const QPixmap &picture)
{
    mLabel->setPixmap(picture);
}

void Image::setStretch(bool stretch)
{
    mLabel->setScaledContents(stretch);
}

Shape::Shape(const ControlSite &site) : Control(site, new RectangleWidget(site.parentWidget))
{
    markDecorative(widget());
}

QColor Shape::BorderColor() const
{
    return static_cast<const RectangleWidget *>(widget())->border;
}

void Shape::setBorderColor(const QColor &color)
{
    static_cast<RectangleWidget *>(widget())->border = color;
    widget()->update();
}

} // namespace velmarith::toolkit
