#include "qt_printer.h"

#include <QFont>
#include <QGlyphRun>
#include <QList>
#include <QPageSize>
#include <QPainter>
#include <QPen>
#include <QPrintDialog>
#include <QPrinter>
#include <QRawFont>
#include <algorithm>
#include <map>
#include <utility>

#include "common/number_text.h"
#include "qt_seams.h"

namespace marivent::app {

namespace {

// The fixed-pitch font of a face at a size in device pixels: the system's Courier, or a font of
// the same widths. Its glyphs are placed one by one (drawGlyphRun) every 0.6 em, as the layout
// counts, whatever the font's own advance and the device's hinting.
QRawFont fixed_font(journal::Face face, double pixels) {
    QFont font;
    font.setFamilies({"Courier New", "Liberation Mono", "Courier", "DejaVu Sans Mono"});
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setBold(face == journal::Face::bold);
    font.setPixelSize(100);
    QRawFont raw = QRawFont::fromFont(font);
    raw.setPixelSize(pixels);
    return raw;
}

} // namespace

void paint_page(QPainter& painter, const journal::Page& page) {
    QPaintDevice* device = painter.device();
    const double kx = device->logicalDpiX() / 72.0;
    const double ky = device->logicalDpiY() / 72.0;
    painter.setPen(QPen(Qt::black));
    std::map<std::pair<journal::Face, double>, QRawFont> fonts;
    QList<QPointF> positions;
    for (const journal::PageText& t : page.texts) {
        auto it = fonts.find({t.face, t.size});
        if (it == fonts.end())
            it = fonts.emplace(std::pair{t.face, t.size}, fixed_font(t.face, t.size * ky)).first;
        const QList<quint32> glyphs = it->second.glyphIndexesForString(from_cp1252(t.text));
        const double advance = journal::glyph_em * t.size * kx;
        positions.resize(glyphs.size());
        for (qsizetype k = 0; k < glyphs.size(); ++k)
            positions[k] = QPointF(static_cast<double>(k) * advance, 0);
        QGlyphRun run;
        run.setRawFont(it->second);
        run.setGlyphIndexes(glyphs);
        run.setPositions(positions);
        painter.drawGlyphRun(QPointF(t.x * kx, t.y * ky), run);
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
    const Status printed = print_pages(printer, pages, first, last);
    if (!printed) return failure(printed.why());
    return Outcome::printed;
}

Status print_pages(QPrinter& printer, const journal::Pages& pages, int first, int last) {
    first = std::max(first, 1);
    last = std::min(last, static_cast<int>(pages.pages.size()));
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
    return {};
}

} // namespace marivent::app
