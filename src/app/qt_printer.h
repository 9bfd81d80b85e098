// The printer seam with Qt: the system's print dialog, then the pages drawn with a QPainter on
// the QPrinter it set up, on A4.
#pragma once
#include "printer.h"

class QPainter;
class QPrinter;
class QWidget;

namespace marivent::app {

class QtPrinter : public Printer {
  public:
    void set_parent(QWidget* parent) { parent_ = parent; }
    Result<Outcome> print(const journal::Pages& pages) override;

  private:
    QWidget* parent_ = nullptr;
};

// Draws a page on the painter's device, its top left corner at the device's origin, at the
// device's resolution: texts at their positions in a fixed-pitch font, each glyph the model's
// width, and the rules.
void paint_page(QPainter& painter, const journal::Page& page);

// Pages `first` to `last` (from 1) printed on a printer set up for A4 from the sheet's corner
// (QPrinter::setFullPage), one sheet each; why not (French) when the printer refuses.
Status print_pages(QPrinter& printer, const journal::Pages& pages, int first, int last);

} // namespace marivent::app
