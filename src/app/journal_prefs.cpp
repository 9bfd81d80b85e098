#include "journal_prefs.h"

#include <QLineEdit>

#include "common/number_text.h"
#include "prefs/panel.h"
#include "widget_helpers.h"

namespace marivent::app {

JournalPrefs::JournalPrefs(QObject* parent, PanelHost host) : QObject(parent), w_(host) {
    QWidget* prefer = w_.window.control("prefer");
    // "Entrée au journal si le cap change de plus de [ 30 ] degrés pendant 2 minutes (0 : jamais)"
    anglecap = new QLineEdit(prefer);
    anglecap->setObjectName("anglecap");
    anglecap->setGeometry(twip_rect(3720, 5280, 495, 315));
    anglecap->setMaxLength(3);
    anglecap->setToolTip(QString::fromUtf8(
        "Une entrée marquée « (changement de cap) » quand chaque cap reçu pendant 2 minutes "
        "s'écarte de plus de cet angle du cap de référence, à plus d'un nœud. De 0 à 180 ; 0 : "
        "jamais."));
    w_.window.register_control("anglecap", anglecap);
    label_for(prefer, w_.window, "Labelanglecap", "Entrée au journal si le &cap change de plus de",
              twip_rect(120, 5310, 3555, 255), anglecap);
    label_for(prefer, w_.window, "Labelanglecap2", "degrés pendant 2 minutes (0 : jamais)",
              twip_rect(4290, 5310, 3135, 255), anglecap);
    connect(anglecap, &QLineEdit::editingFinished, this, [this] { keep_typed(); });
}

void JournalPrefs::show(int angle) {
    kept_ = angle;
    anglecap->setText(QString::fromStdString(integer_text(angle)));
}

bool JournalPrefs::keep_typed() {
    // Nothing is kept from a panel put away by Escape (the box loses the focus as it goes).
    if (w_.window.control("prefer")->isHidden()) return true;
    const Result<int> angle = prefs::check_course_angle(anglecap->text().toStdString());
    if (angle)
        kept_ = *angle;
    else
        w_.window.tell("L'angle du changement de cap n'est pas changé : " + angle.why() + ".");
    anglecap->setText(QString::fromStdString(integer_text(kept_)));
    return static_cast<bool>(angle);
}

} // namespace marivent::app
