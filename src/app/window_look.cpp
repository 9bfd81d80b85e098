#include "window_look.h"

#include <QApplication>
#include <QFont>
#include <QStringList>

namespace marivent::app {

void set_window_look() {
    QApplication::setStyle("Fusion");
    QFont font = QApplication::font();
    // Families with Arial's advance widths (Liberation Sans is the Debian one); a pixel size, so
    // the captions keep their widths against the boxes whatever the screen's dpi setting.
    font.setFamilies({"Liberation Sans", "Arimo", "Arial", "Helvetica"});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    QApplication::setFont(font);
}

} // namespace marivent::app
