#include "fit_label.h"

#include <QPainter>
#include <QStyle>

namespace marivent::app {

QString FitLabel::one_line() const {
    QString s = text();
    s.replace('\n', QLatin1String("  |  "));
    return s;
}

QSize FitLabel::sizeHint() const {
    const QMargins m = contentsMargins();
    const int pad = 2 * margin();
    return {fontMetrics().horizontalAdvance(one_line()) + m.left() + m.right() + pad,
            fontMetrics().height() + m.top() + m.bottom() + pad};
}

QSize FitLabel::minimumSizeHint() const {
    return {0, sizeHint().height()};
}

QRect FitLabel::room() const {
    QRect r = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    if (const QWidget* parent = parentWidget()) r &= parent->rect().translated(-pos());
    return r;
}

void FitLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    drawFrame(&painter);
    const QRect r = room();
    const QString full = one_line();
    drawn_ = fontMetrics().elidedText(full, Qt::ElideRight, r.width());
    // The tooltip follows what is drawn: the whole text when it is cut, none when it fits.
    const QString tip = drawn_ == full ? QString() : text();
    if (toolTip() != tip) setToolTip(tip);
    style()->drawItemText(&painter, r, QStyle::visualAlignment(layoutDirection(), alignment()),
                          palette(), isEnabled(), drawn_, foregroundRole());
}

} // namespace marivent::app
