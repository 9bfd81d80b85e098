#include "layout.h"

namespace marivent::app {

namespace {

using K = Kind;

// Parents come before their children.
constexpr ControlRow controls[] = {
    // The window's own controls.
    {"navigation", K::Frame, nullptr, "NAVIGATION", 0, 0, 9135, 1695, true},
    {"Frame1", K::Frame, nullptr, "waypoints transférés en tant que", 2280, 1920, 2655, 2775,
     false},
    {"File1", K::FileList, nullptr, "", 0, 1680, 2175, 3015, false},
    {"File2", K::FileList, nullptr, "", 0, 1800, 2175, 2820, false},
    {"prefer", K::Frame, nullptr, "Préférences", 0, 1680, 9135, 5775, false},
    // Journal > Remarque: one line typed into the journal, Enter writes it, Escape leaves.
    {"remarquef", K::Frame, nullptr, "Remarque au journal (Entrée : écrire, Échap : laisser)", 0,
     1680, 9135, 735, false},
    // Journal > Corriger: a line's number and its correction, appended; the line stays as it is.
    {"corrigerf", K::Frame, nullptr,
     "Correction d'une ligne du journal (Entrée : écrire, Échap : laisser)", 0, 1680, 9135, 735,
     false},
    {"simuf", K::Button, nullptr, "Fin de la simulation", 6480, 1800, 1815, 375, false},
    {"Label9", K::Label, nullptr, "Ce qui va au pilote", 120, 6240, 1815, 255, false},
    {"otopil", K::TextBox, nullptr, "Text1", 120, 6600, 7935, 495, false},
    {"Label7", K::Label, nullptr, "Ce qui sort du Gps", 120, 7320, 2175, 255, true},
    // What the link left out: damaged lines from the GPS, sentences the autopilot did not get.
    {"rejet", K::Label, nullptr, "", 2400, 7320, 6825, 255, false},
    {"Text2", K::TextBox, nullptr, "", 120, 7680, 9105, 555, true, rgb(255, 255, 128)},

    // The navigation panel: the display boxes and their labels.
    {"Label1", K::Label, "navigation", "  Vitesse", 600, 360, 735, 255, true},
    {"vi", K::TextBox, "navigation", "Bonjour", 600, 600, 735, 285, true},
    {"Label2", K::Label, "navigation", "  Route", 1440, 360, 855, 255, true},
    {"cap", K::TextBox, "navigation", "Au Hazard", 1440, 600, 855, 285, true},
    {"Label3", K::Label, "navigation", "Wpt 1", 3840, 360, 615, 255, true},
    {"Wpt1", K::TextBox, "navigation", "Maison", 3720, 600, 855, 315, true},
    {"Label5", K::Label, "navigation", "Route", 4800, 360, 735, 255, true},
    {"wcap", K::TextBox, "navigation", "Tout droit", 5520, 360, 855, 285, true},
    {"Label6", K::Label, "navigation", "Distance", 4800, 720, 735, 255, true},
    {"wdist", K::TextBox, "navigation", "Illimitée", 5520, 720, 855, 285, true},
    {"Label11", K::Label, "navigation", "Vmg", 4800, 1080, 735, 255, true},
    {"vmg", K::TextBox, "navigation", "la meilleur", 5520, 1050, 855, 285, true},
    {"heur", K::TextBox, "navigation", "Teheur", 5520, 1320, 855, 285, true, rgb(192, 255, 255)},
    {"Label4", K::Label, "navigation", "Wpt 2", 6720, 360, 615, 255, true},
    {"wpt2", K::TextBox, "navigation", "", 6600, 600, 1695, 285, true},
    {"lat", K::TextBox, "navigation", "ici et", 0, 1290, 975, 285, true},
    {"longit", K::TextBox, "navigation", "la", 1080, 1290, 1095, 285, true},

    // The transfer panel: a box and its label on each of the first two rows, the buttons below.
    {"waypoin", K::CheckBox, "Frame1", "", 240, 480, 255, 255, true},
    {"Label13", K::Label, "Frame1", "liste de waypoints", 600, 480, 1935, 255, true},
    {"rout", K::CheckBox, "Frame1", "", 240, 1080, 255, 255, true},
    {"Label14", K::Label, "Frame1", "route", 600, 1080, 1935, 255, true},
    {"annul", K::Button, "Frame1", "ANNULE", 120, 2160, 1095, 375, true},
    {"ok1", K::Button, "Frame1", "O K", 1440, 2160, 1095, 375, true},

    // The preferences panel (its spinners, drive and folder lists are added by the panel code).
    {"Label10", K::Label, "prefer", "En minutes , l'intervalle d'enregistrement dans le journal",
     120, 360, 4455, 375, true},
    {"Command1", K::Button, "prefer", "30", 4560, 360, 945, 375, true},
    {"Label12", K::Label, "prefer", "Différence  Heure locale-TU", 120, 840, 2295, 255, true},
    {"Command2", K::Button, "prefer", "0", 2400, 840, 540, 255, true},
    {"Frame2", K::Frame, "prefer", "Chemin des fichiers", 120, 1200, 8655, 1815, true},
    {"ozichange", K::OptionButton, "Frame2", "c:\\oziexplorer\\data", 3000, 240, 3255, 315, true},
    {"Text1", K::TextBox, "Frame2", "oziexplorer\\data", 6480, 240, 1695, 285, true},
    {"cmapchange", K::OptionButton, "Frame2", "c:\\cmapecs\\routes", 3000, 1080, 3135, 255, true},
    {"Text3", K::TextBox, "Frame2", "cmapecs\\routes", 6480, 1080, 1695, 285, true},
    {"Text4", K::TextBox, "prefer", "Port du Gps", 120, 3240, 1095, 375, true},
    {"portgps", K::ListBox, "prefer", "", 1200, 3240, 1335, 840, true},
    // Beside the port list: take today's GNSS talkers and any talker's RMB as the GPS's.
    {"tousemet", K::CheckBox, "prefer", "Tous les é&metteurs", 2760, 3240, 2415, 255, true},
    {"ok", K::Button, "prefer", "OK", 7200, 4800, 735, 375, true},

    {"remarque", K::TextBox, "remarquef", "", 120, 300, 8895, 315, true},
    {"corrlab1", K::Label, "corrigerf", "N° de &ligne", 120, 330, 975, 255, true},
    {"corrligne", K::TextBox, "corrigerf", "", 1080, 300, 735, 315, true},
    {"corrlab2", K::Label, "corrigerf", "&Correction", 1920, 330, 975, 255, true},
    {"correction", K::TextBox, "corrigerf", "", 2880, 300, 6135, 315, true},
};

// In the order of the menu bar; items follow their menu.
constexpr MenuRow menus[] = {
    {"mnujournal", "&Journal", nullptr},
    {"mnujourecrire", "&Enregister la position", "mnujournal"},
    {"mnujoulire", "&Lire", "mnujournal"},
    {"mnujourremarque", "&Remarque", "mnujournal"},
    {"mnujourcorriger", "&Corriger", "mnujournal"},
    {"mnujourimprimer", "&Imprimer", "mnujournal"},
    {"mnuquitter", "&Quitter", "mnujournal"},
    {"mnugps", "&Gps", nullptr},
    {"mnugpsdeb", "&Debut de Communication", "mnugps"},
    {"mnugpsfin", "&Fin de Communication", "mnugps"},
    {"mnusimu", "&Simulateur", "mnugps", false, false},
    {"mnuseat", "&Seatalk", nullptr, false, true}, // switched off: shown greyed
    {"mnuseaouvr", "&Ouvrir", "mnuseat"},
    {"mnuseatferm", "&Fermer", "mnuseat"},
    {"mnuseatxt", "&texte", "mnuseat"},
    {"mnutransfert", "&Transfert", nullptr},
    {"mnuozicmap", "&Ozi vers Cmap", "mnutransfert"},
    {"mnulirewpts", "&Cmap vers Ozi", "mnutransfert"},
    {"mnuoutil", "&Outils", nullptr},
    {"mnuoutilaide", "&Aide", "mnuoutil"},
    {"mnuoutilpref", "&Préférences", "mnuoutil"},
    {"mnuheure", "heure", nullptr},
};

} // namespace

std::span<const ControlRow> control_rows() {
    return controls;
}
std::span<const MenuRow> menu_rows() {
    return menus;
}

} // namespace marivent::app
