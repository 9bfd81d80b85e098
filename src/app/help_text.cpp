#include "help_text.h"

#include "common/cp1252.h"

namespace marivent::app {

namespace {

constexpr const char* help_utf8 =
    "\t\t\t\tJournal de bord\r\n"
    "\r\n"
    "Journal:\r\n"
    "\tLe journal est écrit automatiquement à l'intervalle donné\r\n"
    "\tdans Outil/Préférences.\r\n"
    "\tEnregistrer la position écrit tout de suite la position\r\n"
    "\tactuelle dans le journal.\r\n"
    "\r\n"
    "Gps\r\n"
    "\tOuvre et ferme la communication avec le GPS (com1 ou le port\r\n"
    "\tchoisi dans les préférences).\r\n"
    "\r\n"
    "Transfert\r\n"
    "\tConvertit les routes et waypoints OziExplorer en routes C-Map\r\n"
    "\tECS, et les routes C-Map ECS en fichiers OziExplorer.\r\n"
    "\r\n"
    "Outils\r\n"
    "\tPréferences:\r\n"
    "\tIndiquer les dossiers des fichiers C-Map ECS et OziExplorer.\r\n"
    "\tPar défaut : c:\\Program Files\\cmapecs\\routes\r\n"
    "\tet c:\\oziexplorer\\data\\\r\n";

} // namespace

const std::string& help_text() {
    static const std::string text = utf8_to_cp1252(help_utf8);
    return text;
}

} // namespace marivent::app
