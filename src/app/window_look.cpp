#include "window_look.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
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

// What a drawing depends on besides its pixels beneath: its style option and the painter's state.
bool same_option(const QStyleOptionFrame& a, const QStyleOptionFrame& b) {
    return a.rect.size() == b.rect.size() && a.state == b.state && a.direction == b.direction &&
           a.palette == b.palette && a.lineWidth == b.lineWidth &&
           a.midLineWidth == b.midLineWidth && a.features == b.features &&
           a.frameShape == b.frameShape;
}

bool same_option(const QStyleOptionGroupBox& a, const QStyleOptionGroupBox& b) {
    return a.rect.size() == b.rect.size() && a.state == b.state && a.direction == b.direction &&
           a.palette == b.palette && a.fontMetrics == b.fontMetrics &&
           a.subControls == b.subControls && a.activeSubControls == b.activeSubControls &&
           a.text == b.text && a.textAlignment == b.textAlignment && a.textColor == b.textColor &&
           a.lineWidth == b.lineWidth && a.midLineWidth == b.midLineWidth &&
           a.features == b.features;
}

struct PainterState {
    QPainter::RenderHints hints;
    QPen pen;
    QBrush brush, background;
    QPointF brush_origin;
    QFont font;
    PainterState() = default;
    explicit PainterState(const QPainter& p)
        : hints(p.renderHints()), pen(p.pen()), brush(p.brush()), background(p.background()),
          brush_origin(p.brushOrigin()), font(p.font()) {}
    bool operator==(const PainterState& o) const {
        return hints == o.hints && pen == o.pen && brush == o.brush && background == o.background &&
               brush_origin == o.brush_origin && font == o.font;
    }
};

// The last drawing of one element of one widget: its inputs, and the pixels it could change
// before and after, in their bounding rectangle.
template <class Option> struct Drawing {
    const QWidget* widget = nullptr;
    Option option;
    PainterState painter;
    QRegion changed; // from the top left corner of the drawing
    QRect box;       // the bounding rectangle of `changed`, as kept in the images
    QImage before, after;
};

// Fusion, with the frames of the text boxes and the panel behind them drawn again only when they
// could come out different. The GPS changes a box's text ten times a second and Qt repaints the
// whole box each time, with its frame and what lies behind it; Fusion strokes that frame pixel by
// pixel, and draws the panel's frame and title again for the part behind a box: the largest part
// of the window's work. Such a drawing is a function of the pixels beneath it, the widget, its
// style option and the painter's state: when all of these are those of the widget's last drawing,
// the pixels it left are copied back instead, the same bytes. Anything else (another device, a
// transformation, a clip of the painter's own) is drawn as Fusion draws it.
class WindowStyle : public QProxyStyle {
  public:
    WindowStyle() : QProxyStyle(QStyleFactory::create("Fusion")) {}

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option);
        if ((element == PE_PanelLineEdit || element == PE_FrameLineEdit) && frame && widget) {
            once(frames_[{widget, element}], *frame, *painter, widget,
                 [&] { QProxyStyle::drawPrimitive(element, option, painter, widget); });
            return;
        }
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override {
        const auto* group = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
        if (control == CC_GroupBox && group && widget) {
            once(groups_[widget], *group, *painter, widget,
                 [&] { QProxyStyle::drawComplexControl(control, option, painter, widget); });
            return;
        }
        QProxyStyle::drawComplexControl(control, option, painter, widget);
    }

  private:
    template <class Option, class Draw>
    void once(Drawing<Option>& last, const Option& option, QPainter& painter, const QWidget* widget,
              Draw draw) const {
        QImage* device = nullptr;
        QRect area;      // the drawing's rectangle in the device
        QRegion changed; // what of it the painting may change there
        if (copy_frames_back) device = raster_target(painter, option.rect, area, changed);
        if (!device) {
            draw();
            return;
        }
        const QPoint origin = area.topLeft();
        const PainterState state(painter);
        if (last.widget == widget && last.changed == changed.translated(-origin) &&
            same_option(last.option, option) && last.painter == state &&
            same_pixels(*device, changed, last.before, last.box.translated(origin))) {
            painter.save();
            painter.setCompositionMode(QPainter::CompositionMode_Source); // the bytes, as they were
            const QPoint shift = option.rect.topLeft() - origin;          // device to logical
            for (const QRect& r : changed)
                painter.drawImage(r.topLeft() + shift, last.after,
                                  r.translated(-last.box.translated(origin).topLeft()));
            painter.restore();
            ++frames_copied;
            return;
        }
        if (last.widget != widget) {
            QObject::connect(widget, &QObject::destroyed, this, [this, widget] { forget(widget); });
            last.widget = widget;
        }
        last.changed = changed.translated(-origin);
        const QRect box = changed.boundingRect();
        last.box = box.translated(-origin);
        last.before = device->copy(box);
        draw();
        last.after = device->copy(box);
        last.option = option;
        last.painter = state;
    }

    void forget(const QWidget* widget) const {
        for (auto it = frames_.begin(); it != frames_.end();)
            it = it->first.first == widget ? frames_.erase(it) : std::next(it);
        groups_.erase(widget);
    }

    // The raster image a drawing of `rect` goes to untransformed but for a shift, with the
    // rectangle it covers there and the part of it the painting may change (the region being
    // painted: a whole box, or the parts of a panel behind the boxes drawn again); nullptr when it
    // goes elsewhere.
    static QImage* raster_target(QPainter& painter, const QRect& rect, QRect& area,
                                 QRegion& changed) {
        QPaintEngine* engine = painter.paintEngine();
        if (!engine || engine->type() != QPaintEngine::Raster || painter.hasClipping() ||
            painter.opacity() != 1.0 ||
            painter.compositionMode() != QPainter::CompositionMode_SourceOver)
            return nullptr;
        QPaintDevice* target = engine->paintDevice();
        if (!target || target->devType() != QInternal::Image) return nullptr;
        auto* image = static_cast<QImage*>(target);
        if (image->depth() != 32 || image->devicePixelRatio() != 1.0) return nullptr;
        const QTransform t = painter.deviceTransform();
        if (t.type() > QTransform::TxTranslate || t.dx() != qRound(t.dx()) ||
            t.dy() != qRound(t.dy()))
            return nullptr;
        area = rect.translated(qRound(t.dx()), qRound(t.dy()));
        changed = engine->systemClip();
        if (changed.isEmpty()) changed = image->rect();
        changed &= area & image->rect();
        return changed.isEmpty() ? nullptr : image;
    }

    // Whether `device` holds in `changed` what `pixels` (the image of `box`) holds there.
    static bool same_pixels(const QImage& device, const QRegion& changed, const QImage& pixels,
                            const QRect& box) {
        if (pixels.format() != device.format() || pixels.size() != box.size()) return false;
        for (const QRect& r : changed) {
            const std::size_t row = static_cast<std::size_t>(r.width()) * 4;
            for (int y = r.top(); y <= r.bottom(); ++y)
                if (std::memcmp(device.constScanLine(y) + r.x() * 4,
                                pixels.constScanLine(y - box.y()) + (r.x() - box.x()) * 4,
                                row) != 0)
                    return false;
        }
        return true;
    }

    mutable std::map<std::pair<const QWidget*, PrimitiveElement>, Drawing<QStyleOptionFrame>>
        frames_;
    mutable std::map<const QWidget*, Drawing<QStyleOptionGroupBox>> groups_;
};

} // namespace

bool load_window_font() {
    bool loaded = true;
    for (const char* face :
         {":/fonts/LiberationSans-Regular.ttf", ":/fonts/LiberationSans-Italic.ttf"})
        loaded = QFontDatabase::addApplicationFont(face) >= 0 && loaded;
    return loaded;
}

void set_window_look() {
    QApplication::setStyle(new WindowStyle);
    load_window_font(); // the same window on every machine
    QFont font = QApplication::font();
    // Families with Arial's advance widths (Liberation Sans, ours); a pixel size, so
    // the captions keep their widths against the boxes whatever the screen's dpi setting.
    font.setFamilies({"Liberation Sans", "Arimo", "Arial", "Helvetica"});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    QApplication::setFont(font);
}

} // namespace marivent::app
