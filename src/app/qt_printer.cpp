#include "qt_printer.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPen>
#include <QPrintDialog>
#include <QPrinter>
#include <map>
#include <utility>

#include "common/number_text.h"
#include "qt_seams.h"

namespace marivent::app {

namespace {

// A fixed-pitch font of the model's size on `device`, spaced so that each glyph is exactly
// 0.6 em wide, as the layout counts (the system's Courier may be a little wider or narrower).
QFont fixed_font(journal::Face face, double size, QPaintDevice* device) {
    QFont font;
    font.setFamilies({"Courier New", "Liberation Mono", "Courier", "DejaVu Sans Mono"});
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setKerning(false);
    font.setBold(face == journal::Face::bold);
    font.setPointSizeF(size);
    const double dots_per_point = device->logicalDpiX() / 72.0;
    const double advance = QFontMetricsF(font, device).horizontalAdvance(QLatin1Char('M'));
    font.setLetterSpacing(QFont::AbsoluteSpacing,
                          journal::glyph_em * size * dots_per_point - advance);
    return font;
}

} // namespace

void paint_page(QPainter& painter, const journal::Page& page) {
    QPaintDevice* device = painter.device();
    const double kx = device->logicalDpiX() / 72.0;
    const double ky = device->logicalDpiY() / 72.0;
    painter.setPen(QPen(Qt::black));
    std::map<std::pair<journal::Face, double>, QFont> fonts;
    for (const journal::PageText& t : page.texts) {
        auto it = fonts.find({t.face, t.size});
        if (it == fonts.end())
            it = fonts.emplace(std::pair{t.face, t.size}, fixed_font(t.face, t.size, device)).first;
        painter.setFont(it->second);
        painter.drawText(QPointF(t.x * kx, t.y * ky), from_cp1252(t.text));
    }
    for (const journal::PageRule& r : page.rules) {
        QPen pen(Qt::black);
        pen.setWidthF(r.width * kx);
        painter.setPen(pen);
        painter.drawLine(QLineF(r.x1 * kx, r.y1 * ky, r.x2 * kx, r.y2 * ky));
    }
}

Result<Printer::Outcome> QtPrinter::print(const journal::Pages& pages) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setFullPage(true); // the model's positions are from the sheet's corner
    printer.setDocName(from_cp1252(pages.title));
    const int count = static_cast<int>(pages.pages.size());
    QPrintDialog dialog(&printer, parent_);
    dialog.setWindowTitle("Imprimer le journal");
    dialog.setMinMax(1, count);
    if (dialog.exec() != QDialog::Accepted) return Outcome::cancelled;

    int first = 1, last = count;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first = std::max(1, printer.fromPage());
        last = std::min(count, printer.toPage() > 0 ? printer.toPage() : count);
    }
    QPainter painter;
    if (!painter.begin(&printer)) return failure("l'imprimante choisie ne peut pas être ouverte");
    for (int k = first; k <= last; ++k) {
        if (k > first && !printer.newPage()) {
            painter.end();
            return failure("la page " + integer_text(k) + " n'a pas pu être commencée");
        }
        paint_page(painter, pages.pages[static_cast<std::size_t>(k - 1)]);
    }
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        return failure("l'imprimante a signalé une erreur");
    return Outcome::printed;
}

} // namespace marivent::app
