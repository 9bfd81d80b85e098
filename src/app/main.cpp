// marivent: the window "Journal de bord".
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QStandardPaths>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "common/paths.h"
#include "journ.h"
#include "qt_seams.h"

using namespace marivent;

namespace {

bool has_argument(int argc, char* argv[], std::initializer_list<const char*> names) {
    for (int i = 1; i < argc; ++i)
        for (const char* n : names)
            if (std::strcmp(argv[i], n) == 0) return true;
    return false;
}

} // namespace

int main(int argc, char* argv[]) {
    // --help needs no display; a screenshot is drawn off screen unless a platform was chosen.
    std::unique_ptr<QCoreApplication> application;
    if (has_argument(argc, argv, {"-h", "--help"})) {
        application = std::make_unique<QCoreApplication>(argc, argv);
    } else {
        if (has_argument(argc, argv, {"--screenshot"}) && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        application = std::make_unique<QApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName("marivent");

    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Marivent, journal de bord : navigation GPS, pilote automatique, journal, transferts "
        "de routes.");
    const QCommandLineOption help_option({"h", "help"}, "Affiche cette aide.");
    const QCommandLineOption root_option(
        "root", "Dossier qui tient lieu du disque C: (journal, préférences). Sinon la variable "
                "MARIVENT_ROOT, sinon le dossier de données de l'utilisateur.",
        "DOSSIER");
    const QCommandLineOption screenshot_option(
        "screenshot", "Enregistre une image PNG de la fenêtre après le démarrage, puis quitte.",
        "FICHIER.png");
    parser.addOption(help_option);
    parser.addOption(root_option);
    parser.addOption(screenshot_option);
    if (!parser.parse(QCoreApplication::arguments())) {
        std::fprintf(stderr, "%s\n", qPrintable(parser.errorText()));
        return 2;
    }
    if (parser.isSet(help_option)) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    QApplication::setStyle("Fusion");
    QFont font = QApplication::font();
    font.setPixelSize(11);
    QApplication::setFont(font);

    std::optional<std::string> root_text;
    if (parser.isSet(root_option)) root_text = parser.value(root_option).toStdString();
    const std::filesystem::path root = choose_root(
        root_text, std::getenv("MARIVENT_ROOT"),
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString());
    QDir().mkpath(QString::fromStdString(root.string())); // a missing ROOT is reported by start-up

    app::QtRegionalSettings regional;
    app::QtDialogs dialogs;
    app::SystemClock clock;
    app::Journ window(root, {regional, dialogs, clock});
    dialogs.set_parent(&window);
    window.show();

    if (parser.isSet(screenshot_option)) {
        for (const std::string& p : window.startup_problems()) std::fprintf(stderr, "%s\n", p.c_str());
        const QString file = parser.value(screenshot_option);
        QTimer::singleShot(0, &window, [&window, file] {
            const bool saved = window.grab().save(file, "PNG");
            if (!saved) std::fprintf(stderr, "Impossible d'écrire l'image %s\n", qPrintable(file));
            QApplication::exit(saved ? 0 : 1);
        });
        return QApplication::exec();
    }
    QTimer::singleShot(0, &window, [&window] { window.show_startup_problems(); });
    return QApplication::exec();
}
