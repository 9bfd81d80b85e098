#include "window_look.h"

#include <QApplication>
#include <QFont>
#include <QPaintEngine>
#include <QPainter>
#include <QProxyStyle>
#include <QStringList>
#include <QStyleFactory>
#include <QStyleOption>
#include <cstring>
#include <map>

namespace marivent::app {

long frames_copied = 0;
bool copy_frames_back = true;

namespace {

// Fusion, with the frames of the text boxes drawn again only when they could come out different.
// The GPS changes a box's text ten times a second and Qt repaints the whole box each time, frame
// and all; Fusion strokes that frame pixel by pixel, the largest part of the window's work. Such a
// drawing is a function of the pixels beneath it, the box, its style option and the painter's
// state: when all of these are those of the box's last drawing, its pixels are copied back
// instead, the same bytes. Anything else (a part of the box, another device, a transformation)
// is drawn as Fusion draws it.
class WindowStyle : public QProxyStyle {
public:
    WindowStyle() : QProxyStyle(QStyleFactory::create("Fusion")) {}

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option);
        QImage* device = nullptr;
        QRect area, shown; // in the device: the drawing's rectangle, and what of it can change
        if ((element == PE_PanelLineEdit || element == PE_FrameLineEdit) && frame && widget && copy_frames_back)
            device = raster_target(*painter, option->rect, area, shown);
        if (!device) {
            QProxyStyle::drawPrimitive(element, option, painter, widget);
            return;
        }
        Drawing& last = drawings_[{widget, element}];
        if (last.widget == widget && last.shown == shown.translated(-area.topLeft()) &&
            same_inputs(last, *frame, *painter) && same_pixels(*device, shown, last.before)) {
            painter->save();
            painter->setCompositionMode(QPainter::CompositionMode_Source); // the bytes, as they were
            painter->drawImage(option->rect.topLeft() + (shown.topLeft() - area.topLeft()), last.after);
            painter->restore();
            ++frames_copied;
            return;
        }
        if (last.widget != widget)
            connect(widget, &QObject::destroyed, this, [this, widget, element] { drawings_.erase({widget, element}); });
        last.widget = widget;
        last.shown = shown.translated(-area.topLeft());
        last.before = device->copy(shown);
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        last.after = device->copy(shown);
        last.option = *frame;
        last.hints = painter->renderHints();
        last.pen = painter->pen();
        last.brush = painter->brush();
        last.brush_origin = painter->brushOrigin();
    }

private:
    struct Drawing {
        const QWidget* widget = nullptr;
        QRect shown; // the part of the drawing kept, from its top left corner
        QStyleOptionFrame option;
        QPainter::RenderHints hints;
        QPen pen;
        QBrush brush;
        QPointF brush_origin;
        QImage before, after;
    };

    // The raster image a drawing of `rect` goes to untransformed but for a shift, with the
    // rectangle it covers there and the part of it the painting may change (a box wider than its
    // parent is cut); nullptr when it goes elsewhere, or that part is not a rectangle.
    static QImage* raster_target(QPainter& painter, const QRect& rect, QRect& area, QRect& shown) {
        QPaintEngine* engine = painter.paintEngine();
        if (!engine || engine->type() != QPaintEngine::Raster || painter.hasClipping() ||
            painter.opacity() != 1.0 || painter.compositionMode() != QPainter::CompositionMode_SourceOver)
            return nullptr;
        QPaintDevice* target = engine->paintDevice();
        if (!target || target->devType() != QInternal::Image) return nullptr;
        auto* image = static_cast<QImage*>(target);
        if (image->depth() != 32 || image->devicePixelRatio() != 1.0) return nullptr;
        const QTransform t = painter.deviceTransform();
        if (t.type() > QTransform::TxTranslate || t.dx() != qRound(t.dx()) || t.dy() != qRound(t.dy()))
            return nullptr;
        area = rect.translated(qRound(t.dx()), qRound(t.dy()));
        QRegion changed = engine->systemClip();
        if (changed.isEmpty()) changed = image->rect();
        changed &= area & image->rect();
        shown = changed.boundingRect();
        if (shown.isEmpty() || changed.rectCount() != 1) return nullptr;
        return image;
    }

    static bool same_inputs(const Drawing& d, const QStyleOptionFrame& o, const QPainter& p) {
        const QStyleOptionFrame& l = d.option;
        return l.rect.size() == o.rect.size() && l.state == o.state && l.direction == o.direction &&
               l.palette == o.palette && l.lineWidth == o.lineWidth && l.midLineWidth == o.midLineWidth &&
               l.features == o.features && l.frameShape == o.frameShape && d.hints == p.renderHints() &&
               d.pen == p.pen() && d.brush == p.brush() && d.brush_origin == p.brushOrigin();
    }

    static bool same_pixels(const QImage& device, const QRect& area, const QImage& pixels) {
        if (pixels.size() != area.size() || pixels.format() != device.format()) return false;
        const std::size_t row = static_cast<std::size_t>(area.width()) * 4;
        for (int y = 0; y < area.height(); ++y)
            if (std::memcmp(device.constScanLine(area.y() + y) + area.x() * 4, pixels.constScanLine(y), row) != 0)
                return false;
        return true;
    }

    mutable std::map<std::pair<const QWidget*, PrimitiveElement>, Drawing> drawings_;
};

} // namespace

void set_window_look() {
    QApplication::setStyle(new WindowStyle);
    QFont font = QApplication::font();
    // Families with Arial's advance widths (Liberation Sans is the Debian one); a pixel size, so
    // the captions keep their widths against the boxes whatever the screen's dpi setting.
    font.setFamilies({"Liberation Sans", "Arimo", "Arial", "Helvetica"});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    QApplication::setFont(font);
}

} // namespace marivent::app
