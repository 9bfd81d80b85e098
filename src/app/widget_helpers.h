// Small helpers the window's panels share.
#pragma once
#include <QKeySequence>
#include <QLabel>
#include <QListWidget>
#include <QRect>
#include <QShortcut>
#include <QString>

#include "common/date.h"
#include "layout.h"
#include "panel_host.h"
#include "qt_seams.h"

namespace marivent::app {

// A rectangle in twips as pixels (15 twips per pixel).
inline QRect twip_rect(int left, int top, int width, int height) {
    return QRect(left / twips_per_pixel, top / twips_per_pixel, width / twips_per_pixel,
                 height / twips_per_pixel);
}

// A style sheet giving widgets of `kind` the background `colour` (red + 256 green + 65536 blue).
inline QString colour_sheet(const char* kind, long colour) {
    return QString("%1 { background-color: rgb(%2, %3, %4); color: black; }")
        .arg(kind)
        .arg(colour & 0xFF)
        .arg((colour >> 8) & 0xFF)
        .arg((colour >> 16) & 0xFF);
}

// What a text box shows of its text: control characters (the line feed that starts every GPS
// line, CR LF at the end of the autopilot sentence) are not drawn.
inline QString shown_text(std::string_view bytes) {
    QString s = from_cp1252(bytes);
    s.removeIf([](QChar c) { return c.unicode() < 0x20; });
    return s;
}

// The title of the window and of its message boxes.
inline constexpr const char* program_title = "Journal de bord";

// A local time as the status line says it: 14:35, or 14:35:07 with the seconds.
inline QString clock_text(const LocalDateTime& t, bool seconds) {
    QString text = QString("%1:%2").arg(t.hour, 2, 10, QChar('0')).arg(t.minute, 2, 10, QChar('0'));
    if (seconds) text += QString(":%1").arg(t.second, 2, 10, QChar('0'));
    return text;
}

// A panel's label `name` at `where`, its caption in UTF-8 with "&" before its access key, which
// gives the focus to `buddy`.
inline QLabel* label_for(QWidget* parent, WindowSide& window, const char* name, const char* caption,
                         QRect where, QWidget* buddy) {
    auto* label = new QLabel(QString::fromUtf8(caption), parent);
    label->setObjectName(name);
    label->setGeometry(where);
    label->setBuddy(buddy);
    window.register_control(name, label);
    return label;
}

// From the keyboard: Enter in the list acts on its current item, as a click would.
template <class Act> void on_enter(QListWidget* list, QObject* context, Act act) {
    for (auto key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* enter = new QShortcut(QKeySequence(key), list, nullptr, nullptr, Qt::WidgetShortcut);
        QObject::connect(enter, &QShortcut::activated, context, [list, act] {
            if (list->currentItem()) act(list->currentItem());
        });
    }
}

} // namespace marivent::app
