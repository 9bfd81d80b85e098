#include "panels.h"

#include <QWidget>
#include <algorithm>
#include <string_view>

#include "panel_host.h"

namespace marivent::app {

void show_panels(WindowSide& w, std::initializer_list<const char*> shown) {
    for (const std::string_view name :
         {"prefer", "Frame1", "File1", "File2", "remarquef", "corrigerf"}) {
        QWidget* panel =
            w.control(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
        const bool named =
            std::any_of(shown.begin(), shown.end(), [name](const char* n) { return name == n; });
        if (named || panel->isHidden()) continue;
        if (name == "prefer") {
            w.cancel_preferences();
            continue;
        }
        panel->hide();
        if (name != "Frame1" && name != "remarquef" && name != "corrigerf")
            w.note(QString()); // the line said what the list shows
    }
    for (const char* name : shown) {
        QWidget* panel = w.control(name);
        panel->show();
        panel->raise();
    }
}

} // namespace marivent::app
