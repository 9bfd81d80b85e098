#include "instruments.h"

#include <QAction>
#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>

#include "common/cp1252.h"
#include "common/file_io.h"
#include "common/paths.h"
#include "link/comm_control.h"
#include "nmea/navigation.h"
#include "panel_host.h"
#include "panels.h"
#include "qt_seams.h"
#include "seatalk/capture.h"
#include "widget_helpers.h"

namespace marivent::app {

namespace {
constexpr const char* simulation_file = "mmfile1.txt"; // "c:\mmfile1.txt"
constexpr const char* capture_name = "seafile.txt";    // "c:\seafile.txt"
constexpr const char* decoded_name = "code.txt";       // "c:\code.txt"
} // namespace

Instruments::Instruments(QObject* parent, PanelHost host) : QObject(parent), w_(host) {
    slice_.setInterval(0);
    connect(&slice_, &QTimer::timeout, this, &Instruments::replay_slice);
    connect(w_.window.menu("mnusimu"), &QAction::triggered, this, &Instruments::mnusimu_Click);
    connect(w_.window.menu("mnuseaouvr"), &QAction::triggered, this,
            &Instruments::mnuseaouvr_Click);
    connect(w_.window.menu("mnuseatferm"), &QAction::triggered, this,
            &Instruments::mnuseatferm_Click);
    connect(w_.window.menu("mnuseatxt"), &QAction::triggered, this, &Instruments::mnuseatxt_Click);
    connect(qobject_cast<QPushButton*>(w_.window.control("simuf")), &QPushButton::clicked, this,
            &Instruments::simuf_Click);
    auto* file2 = qobject_cast<QListWidget*>(w_.window.control("File2"));
    connect(file2, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { File2_Click(item->text()); });
    on_enter(file2, this, [this](QListWidgetItem* item) { File2_Click(item->text()); });
}

bool Instruments::port_free(const char* what) {
    if (!w_.port.PortOpen()) return true;
    w_.window.tell(std::string("Le port du GPS est déjà ouvert : ") + what +
                   " ne peut pas commencer. Fermez d'abord la liaison en cours.");
    return false;
}

void Instruments::mnusimu_Click() {
    if (!port_free("la simulation")) return;
    w_.window.control("navigation")
        ->setStyleSheet("QGroupBox#navigation { background-color: rgb(8, 0, 0); }");
    w_.window.control("simuf")->show();
    w_.display.set_text(Box::vi, "0");
    w_.display.set_text(Box::cap, "360");
    w_.display.set_text(Box::wpt2, "nice");
    w_.nav.capwpt = "360";
    auto& port = w_.port;
    port.InputLen = 1;
    port.RThreshold = 1;
    port.SThreshold = 1;
    port.OutBufferSize = 1;
    if (const Status opened = port.set_PortOpen(true); !opened) {
        simuf_Click();
        w_.window.tell("La simulation ne peut pas ouvrir le port du GPS : " + opened.why() + ".");
        return;
    }
    const std::filesystem::path file = w_.root / simulation_file;
    const Status made = ensure_file(file);
    const Result<std::string> bytes =
        made ? read_file(file) : Result<std::string>(failure(made.why()));
    if (!bytes) {
        w_.window.tell("Le fichier de simulation " + display_path(file) + " ne peut pas être lu (" +
                       bytes.why() + ").");
        return;
    }
    // The lines leave in slices between events, so the window stays alive during the replay.
    replay_ = std::make_unique<simu::Replay>(simu::simulation_lines(*bytes));
    slice_.start();
}

void Instruments::replay_slice() {
    auto& port = w_.port;
    for (int puts = 0; puts < 256; ++puts) {
        if (!replay_ || !port.PortOpen() || port.output_waiting()) break; // wait for the line
        const std::optional<char> c = replay_->next();
        if (!c) break;
        port.Output(std::string_view(&*c, 1));
    }
    if (!replay_ || replay_->done() || !port.PortOpen()) slice_.stop();
}

void Instruments::simuf_Click() {
    slice_.stop();
    replay_.reset();
    w_.window.control("navigation")->setStyleSheet(QString());
    w_.window.control("simuf")->hide();
    w_.port.set_PortOpen(false);
}

void Instruments::mnuseaouvr_Click() {
    if (!port_free("la capture SeaTalk")) return;
    seatalk = 1;
    auto& port = w_.port;
    port.Settings = "4800,m,8,1";
    port.ParityReplace = ' ';
    port.InputLen = 1;
    port.RThreshold = 1;
    port.InputMode = 1;
    parity_pending_ = 0;
    const std::filesystem::path file = w_.root / capture_name;
    capture_file_.close();
    capture_file_.clear();
    capture_file_.open(file, std::ios::binary | std::ios::trunc);
    if (!capture_file_) {
        seatalk = 0;
        w_.window.tell("Le fichier de capture " + display_path(file) + " ne peut pas être créé.");
        return;
    }
    if (const Status opened = port.set_PortOpen(true); !opened) {
        seatalk = 0;
        capture_file_.close();
        w_.window.tell("La capture SeaTalk ne peut pas ouvrir le port du GPS : " + opened.why() +
                       ".");
    }
}

void Instruments::capture() {
    auto& port = w_.port;
    const std::string block = port.Input();
    w_.display.set_text(Box::Text2, block);
    if (parity_pending_ > 0) {
        // A byte received with a parity error: marked, not written; the capture goes on.
        --parity_pending_;
        w_.display.set_text(Box::Text2, "P");
        return;
    }
    if (!capture_file_.is_open()) return;
    if (port.InputMode == 1) {
        for (int i = 0; i < port.InputLen && i < static_cast<int>(block.size()); ++i)
            capture_file_ << seatalk::byte_field(static_cast<unsigned char>(block[i]));
    } else {
        capture_file_ << seatalk::text_field(block);
    }
    capture_file_.flush();
}

void Instruments::mnuseatferm_Click() {
    seatalk = 0;
    w_.port.set_PortOpen(false);
    capture_file_.close(); // everything captured is on the disk
}

void Instruments::mnuseatxt_Click() {
    if (capturing()) {
        w_.window.tell(
            "Une capture SeaTalk est en cours : fermez-la (Seatalk > Fermer) avant de la "
            "décoder.");
        return;
    }
    auto* list = qobject_cast<QListWidget*>(w_.window.control("File2"));
    list->clear();
    list->addItems(
        QDir(from_utf8(display_path(w_.root))).entryList({"*.txt"}, QDir::Files, QDir::Name));
    show_panels(w_.window, {"File2"});
    list->setFocus();
    if (list->count() > 0) list->setCurrentRow(0);
    w_.window.note(QString("Captures .txt de %1 : Entrée décode, Échap ferme la liste.")
                       .arg(from_utf8(display_path(w_.root))));
}

void Instruments::File2_Click(const QString& name) {
    const std::filesystem::path input = w_.root / path_from_utf8(name.toStdString());
    const Result<std::string> bytes = read_file(input);
    if (!bytes) {
        w_.window.tell("La capture " + display_path(input) + " ne peut pas être lue (" +
                       bytes.why() + ").");
        return;
    }
    const std::filesystem::path output = w_.root / decoded_name;
    if (const Status written = replace_file(output, seatalk::decode_capture(*bytes)); !written) {
        w_.window.tell("Le fichier " + display_path(output) + " ne peut pas être écrit (" +
                       written.why() + ").");
        w_.window.note(QString("Décodage de %1 : rien n'est écrit.").arg(name));
        return;
    }
    w_.window.control("File2")->hide();
    w_.window.note(QString("Décodage de %1 → %2.").arg(name, from_utf8(display_path(output))));
}

} // namespace marivent::app
