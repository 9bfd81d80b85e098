#include "pilot_prefs.h"

#include <QComboBox>
#include <QLineEdit>

#include "prefs/panel.h"
#include "qt_seams.h"
#include "widget_helpers.h"

namespace marivent::app {

namespace {

// The items of the two lists: what the user reads, then the word the settings file keeps.
constexpr std::pair<const char*, const char*> kinds[] = {
    {"APA", "apa"}, {"APB", "apb"}, {"APB + RMB + XTE", "apb+rmb+xte"}};
constexpr std::pair<const char*, const char*> references[] = {{"vrai", "vrai"},
                                                              {"magnétique", "magnetique"}};

} // namespace

PilotPrefs::PilotPrefs(QObject* parent, PanelHost host) : QObject(parent), w_(host) {
    QWidget* prefer = w_.window.control("prefer");
    pilote = new QComboBox(prefer);
    pilote->setObjectName("pilote");
    for (const auto& [shown, word] : kinds)
        pilote->addItem(shown, QString(word));
    pilote->setGeometry(twip_rect(1200, 4320, 1935, 315));
    label_for(prefer, w_.window, "Labelpilote", "Au &pilote", twip_rect(120, 4350, 1035, 255),
              pilote);

    relevement = new QComboBox(prefer);
    relevement->setObjectName("relevement");
    for (const auto& [shown, word] : references)
        relevement->addItem(QString::fromUtf8(shown), QString(word));
    relevement->setGeometry(twip_rect(4440, 4320, 1455, 315));
    label_for(prefer, w_.window, "Labelrelevement", "&Relèvement", twip_rect(3240, 4350, 1155, 255),
              relevement);

    declinaison = new QLineEdit(prefer);
    declinaison->setObjectName("declinaison");
    declinaison->setGeometry(twip_rect(1200, 4800, 975, 315));
    declinaison->setPlaceholderText("2,5W");
    declinaison->setToolTip(QString::fromUtf8(
        "La déclinaison quand le GPS n'en donne pas (RMC) : des degrés puis E ou W, par exemple "
        "2,5W ou 1.5E. Vide : aucune."));
    label_for(prefer, w_.window, "Labeldeclinaison", "&Déclinaison",
              twip_rect(120, 4830, 1035, 255), declinaison);

    emetteur = new QLineEdit(prefer);
    emetteur->setObjectName("emetteur");
    emetteur->setGeometry(twip_rect(3360, 4800, 615, 315));
    emetteur->setMaxLength(2);
    emetteur->setToolTip(QString::fromUtf8("Les deux lettres de l'émetteur des phrases envoyées "
                                           "au pilote (AG par défaut)."));
    label_for(prefer, w_.window, "Labelemetteur", "Émette&ur", twip_rect(2400, 4830, 915, 255),
              emetteur);

    for (const auto& [name, widget] : {std::pair<const char*, QWidget*>{"pilote", pilote},
                                       {"relevement", relevement},
                                       {"declinaison", declinaison},
                                       {"emetteur", emetteur}})
        w_.window.register_control(name, widget);
    connect(declinaison, &QLineEdit::editingFinished, this, [this] { keep_typed(); });
    connect(emetteur, &QLineEdit::editingFinished, this, [this] { keep_typed(); });
}

void PilotPrefs::show(const prefs::PilotRecords& words) {
    kept_ = words;
    const int kind = pilote->findData(QString::fromStdString(words.kind));
    pilote->setCurrentIndex(kind < 0 ? 0 : kind);
    const int reference = relevement->findData(QString::fromStdString(words.reference));
    relevement->setCurrentIndex(reference < 0 ? 0 : reference);
    declinaison->setText(QString::fromStdString(words.variation));
    emetteur->setText(QString::fromStdString(words.talker));
}

bool PilotPrefs::keep_typed() {
    // Nothing is kept from a panel put away by Escape (a box loses the focus as it goes).
    if (w_.window.control("prefer")->isHidden()) return true;
    bool all_kept = true;
    const Result<std::string> variation = prefs::check_variation(declinaison->text().toStdString());
    if (variation) {
        kept_.variation = *variation;
    } else {
        all_kept = false;
        w_.window.tell("La déclinaison n'est pas changée : " + variation.why() + ".");
    }
    const Result<std::string> talker = prefs::check_talker(emetteur->text().toStdString());
    if (talker) {
        kept_.talker = *talker;
    } else {
        all_kept = false;
        w_.window.tell("L'émetteur n'est pas changé : " + talker.why() + ".");
    }
    declinaison->setText(QString::fromStdString(kept_.variation));
    emetteur->setText(QString::fromStdString(kept_.talker));
    return all_kept;
}

prefs::PilotRecords PilotPrefs::chosen() const {
    prefs::PilotRecords words = kept_;
    words.kind = pilote->currentData().toString().toStdString();
    words.reference = relevement->currentData().toString().toStdString();
    return words;
}

} // namespace marivent::app
