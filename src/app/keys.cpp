// The window's keys: Enter presses a focused button, Escape puts away the panel or list it is
// pressed in.
#include "journ.h"

#include <QKeyEvent>
#include <QPushButton>
#include <functional>

#include "prefs_panel.h"

namespace marivent::app {

namespace {

// Enter or Return on a focused push button presses it, as Space does; Escape in a file list or
// the transfer panel calls `escape` with the name of the one it was pressed in.
class Keys : public QObject {
  public:
    Keys(QObject* parent, std::function<void(const QString&)> escape)
        : QObject(parent), escape_(std::move(escape)) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (const QString in = watched->property("escape_puts_away").toString();
            key == Qt::Key_Escape && !in.isEmpty()) {
            escape_(in);
            return true;
        }
        auto* button = qobject_cast<QPushButton*>(watched);
        if (!button || (key != Qt::Key_Return && key != Qt::Key_Enter)) return false;
        button->click();
        return true;
    }

  private:
    std::function<void(const QString&)> escape_;
};

} // namespace

void Journ::keys() {
    // Escape puts away what it is pressed in, converting and applying nothing: the transfer panel
    // as ANNULE does (back to its list), a file list with the panel over it, the preferences.
    auto* keys = new Keys(this, [this](const QString& in) {
        if (in == "Frame1") {
            qobject_cast<QPushButton*>(control("annul"))->click();
            return;
        }
        if (in == "prefer") {
            preferences->cancel();
            return;
        }
        control("Frame1")->hide();
        control(in)->hide();
        note(QString());
    });
    for (const char* name : {"Frame1", "File1", "File2", "prefer", "remarquef", "corrigerf"}) {
        QWidget* w = control(name);
        QList<QWidget*> inside = w->findChildren<QWidget*>();
        inside.append(w);
        for (QWidget* c : inside) {
            c->setProperty("escape_puts_away", QString(name));
            c->installEventFilter(keys);
        }
    }
    for (QPushButton* button : findChildren<QPushButton*>())
        button->installEventFilter(keys);
}

} // namespace marivent::app
