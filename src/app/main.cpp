// marivent: the window "Journal de bord".
#include <QAction>
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "clock_setter.h"
#include "common/paths.h"
#include "demo_gps.h"
#include "journ.h"
#include "qt_printer.h"
#include "qt_seams.h"
#include "window_look.h"

using namespace marivent;

namespace {

bool has_argument(int argc, char* argv[], std::initializer_list<const char*> names) {
    for (int i = 1; i < argc; ++i)
        for (const char* n : names)
            if (std::strcmp(argv[i], n) == 0) return true;
    return false;
}

// The demonstration recording: the installed one (share/marivent beside the program's bin folder)
// when there is one, else the source tree's, for the program run from the build folder.
QString demo_recording() {
    const QString installed = QDir::cleanPath(QCoreApplication::applicationDirPath() + "/" +
                                              MARIVENT_DATA_FROM_BIN + "/demo_route.nmea");
    return QFileInfo::exists(installed) ? installed : QString(MARIVENT_DEMO_RECORDING);
}

// A line for the terminal, in UTF-8.
void say(FILE* to, const QString& text) {
    std::fputs((text.toStdString() + "\n").c_str(), to);
    std::fflush(to);
}

} // namespace

int main(int argc, char* argv[]) {
    // --help needs no display; a screenshot is drawn off screen unless a platform was chosen.
    std::unique_ptr<QCoreApplication> application;
    if (has_argument(argc, argv, {"-h", "--help"})) {
        application = std::make_unique<QCoreApplication>(argc, argv);
    } else {
        if (has_argument(argc, argv, {"--screenshot"}) &&
            qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        application = std::make_unique<QApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName("marivent");
    // The desktop entry and metainfo are named after this id; Wayland matches the window to it.
    QGuiApplication::setDesktopFileName("fr.marivent.Marivent");

    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Marivent, journal de bord : navigation GPS, pilote automatique, journal, transferts "
        "de routes.");
    const QCommandLineOption help_option({"h", "help"}, "Affiche cette aide.");
    const QCommandLineOption root_option(
        "root",
#ifdef _WIN32
        "Dossier qui tient lieu du disque C: (journal, préférences). Sinon la variable "
        "MARIVENT_ROOT, sinon C:\\ quand journal.txt ou journlog.txt y est et qu'on peut y "
        "écrire, sinon le dossier de données locales de l'utilisateur.",
#else
        "Dossier qui tient lieu du disque C: (journal, préférences). Sinon la variable "
        "MARIVENT_ROOT, sinon le dossier de données de l'utilisateur.",
#endif
        "DOSSIER");
    const QCommandLineOption screenshot_option(
        "screenshot", "Enregistre une image PNG de la fenêtre après le démarrage, puis quitte.",
        "FICHIER.png");
    const QCommandLineOption com_option(
        "com",
#ifdef _WIN32
        "Appareil du port k (1 à 4), par exemple --com 2=COM7, ou source réseau : "
#else
        "Appareil du port k (1 à 4), par exemple --com 2=/dev/ttyUSB0, ou source réseau : "
#endif
        "tcp://HÔTE:PORT (serveur NMEA, le pilote répond sur la même connexion), "
        "udp://:PORT (datagrammes reçus sur PORT, le pilote répond à l'expéditeur) ou "
#ifdef _WIN32
        "udp://:PORT>HÔTE:PORT2. Sinon la variable MARIVENT_COMk, sinon COMk.",
#else
        "udp://:PORT>HÔTE:PORT2. Sinon la variable MARIVENT_COMk, sinon /dev/ttyS(k-1).",
#endif
        "k=APPAREIL");
    const QCommandLineOption no_clock_option(
        "no-clock", "Ne règle jamais l'horloge de l'ordinateur sur l'heure du GPS (aussi quand la "
                    "variable MARIVENT_NO_CLOCK est définie).");
    const QCommandLineOption demo_option(
        "demo",
#ifdef _WIN32
        "GPS de démonstration : un enregistrement joué à son rythme sur une connexion locale "
        "que com1 à com4 désignent, sans port série. Choisir Gps > Debut de Communication. "
        "L'horloge n'est pas réglée.");
#else
        "GPS de démonstration : un enregistrement joué à son rythme dans un "
        "pseudo-terminal que com1 à com4 désignent. Choisir Gps > Debut de Communication. "
        "L'horloge n'est pas réglée.");
#endif
    const QCommandLineOption demo_file_option(
        "demo-file", "Enregistrement NMEA du GPS de démonstration.", "FICHIER");
    parser.addOption(help_option);
    parser.addOption(root_option);
    parser.addOption(screenshot_option);
    parser.addOption(com_option);
    parser.addOption(no_clock_option);
    const QCommandLineOption connect_option(
        "connect", "Ouvre la liaison avec le GPS dès le démarrage, comme Gps > Debut de "
                   "Communication : pour un poste de bord qui lance le programme à l'allumage.");
    parser.addOption(demo_option);
    parser.addOption(demo_file_option);
    parser.addOption(connect_option);
    if (!parser.parse(QCoreApplication::arguments())) {
        say(stderr, parser.errorText());
        return 2;
    }
    if (parser.isSet(help_option)) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    app::set_window_look();

    // ROOT's texts in UTF-8. On Windows the variable is taken through Qt, in UTF-16: the C
    // library's getenv gives the ANSI code page's bytes there.
    std::optional<std::string> root_text;
    if (parser.isSet(root_option)) root_text = parser.value(root_option).toStdString();
#ifdef _WIN32
    const std::string root_variable = qEnvironmentVariable("MARIVENT_ROOT").toStdString();
    const DriveCProbes drive_c = system_drive_c();
    const RootChoice root_choice = choose_root(
        root_text, root_variable.c_str(),
        path_from_utf8(QDir::toNativeSeparators(
                           QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation))
                           .toStdString()),
        &drive_c);
#else
    const RootChoice root_choice = choose_root(
        root_text, std::getenv("MARIVENT_ROOT"),
        path_from_utf8(
            QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString()));
#endif
    const std::filesystem::path& root = root_choice.folder;
    const std::optional<std::string> root_problem = prepare_root(root_choice);

    std::array<std::string, 4> com_devices;
    for (const QString& v : parser.values(com_option)) {
        const qsizetype eq = v.indexOf('=');
        const int k = eq > 0 ? v.left(eq).toInt() : 0;
        if (k < 1 || k > 4 || eq + 1 >= v.size()) {
            say(stderr, "marivent : --com attend k=APPAREIL avec k de 1 à 4 (reçu « " + v + " »)");
            return 2;
        }
        com_devices[k - 1] = v.mid(eq + 1).toStdString();
    }

    // A demonstration stands for all four ports, so it is there whatever port is chosen.
    std::unique_ptr<app::DemoGps> demo;
    if (parser.isSet(demo_option)) {
        const QString recording =
            parser.isSet(demo_file_option) ? parser.value(demo_file_option) : demo_recording();
        demo = std::make_unique<app::DemoGps>(recording.toStdString());
        if (!demo->ok()) {
            say(stderr, "marivent : pas de GPS de démonstration : " +
                            QString::fromStdString(demo->error()));
            return 1;
        }
        com_devices.fill(demo->device());
        // The default chart folders, with a route to convert, so Transfert works at once.
        const std::filesystem::path route =
            path_from_utf8(recording.toStdString()).parent_path() / "glenan.rte";
        for (const std::string& d : app::prepare_demo_folders(root, route))
            say(stdout, "Démonstration : " + QString::fromStdString(d));
        say(stdout, "GPS de démonstration sur " + QString::fromStdString(demo->device()) +
                        " (enregistrement " + recording +
                        ") : choisissez Gps > Debut de Communication.");
        std::fflush(stdout);
    }
    const bool no_clock =
        demo || parser.isSet(no_clock_option) || !qEnvironmentVariableIsEmpty("MARIVENT_NO_CLOCK");

    app::QtRegionalSettings regional;
    app::QtDialogs dialogs;
    app::SystemClock clock;
    app::SystemClockSetter clock_setter;
    app::QtTextViewer viewer;
    app::QtPrinter printer;
    app::Journ window(
        root,
        {regional, dialogs, clock, no_clock ? nullptr : &clock_setter, &viewer, nullptr, &printer},
        app::start_serial(
            nmea::start_devices(com_devices, [](const char* n) { return std::getenv(n); })));
    dialogs.set_parent(&window);
    printer.set_parent(&window);
    // Where the journal and settings are, before what the window found in them.
    if (root_problem) window.add_startup_problem(*root_problem);
    if (const std::optional<std::string> notice = root_notice(root_choice))
        window.add_startup_notice(*notice);
    window.show();

    if (parser.isSet(screenshot_option)) {
        for (const auto* said : {&window.startup_problems(), &window.startup_notices()})
            for (const std::string& p : *said)
                say(stderr, QString::fromStdString(p));
        const QString file = parser.value(screenshot_option);
        QTimer::singleShot(0, &window, [&window, file] {
            const bool saved = window.grab().save(file, "PNG");
            if (!saved) say(stderr, "Impossible d'écrire l'image " + file);
            QApplication::exit(saved ? 0 : 1);
        });
        return QApplication::exec();
    }
    // The link first, so the autopilot is steered even while a message waits for the user; a
    // port that cannot be opened is told as the menu tells it.
    const bool connect_at_start = parser.isSet(connect_option);
    QTimer::singleShot(0, &window, [&window, connect_at_start] {
        if (connect_at_start) window.menu("mnugpsdeb")->trigger();
        window.show_startup_problems();
    });
    return QApplication::exec();
}
