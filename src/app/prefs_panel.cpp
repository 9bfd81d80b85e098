#include "prefs_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QStorageInfo>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "common/paths.h"
#include "journal_prefs.h"
#include "layout.h"
#include "link/comm_control.h"
#include "link/port_list.h"
#include "panel_host.h"
#include "panels.h"
#include "pilot_prefs.h"
#include "prefs/panel.h"
#include "prefs/preferences.h"
#include "qt_seams.h"
#include "widget_helpers.h"

namespace marivent::app {

namespace {

QString native(const std::filesystem::path& p) {
    return QString::fromStdString(p.string());
}

} // namespace

UpDown::UpDown(QWidget* parent, QPushButton* buddy, int min, int max, int increment)
    : QWidget(parent), buddy_(buddy), min_(min), max_(max), step_(increment) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (int direction : {+1, -1}) {
        auto* arrow = new QToolButton(this);
        arrow->setArrowType(direction > 0 ? Qt::UpArrow : Qt::DownArrow);
        arrow->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        arrow->setFocusPolicy(Qt::NoFocus);
        connect(arrow, &QToolButton::clicked, this, [this, direction] { this->step(direction); });
        layout->addWidget(arrow);
    }
}

void UpDown::step(int direction) {
    const prefs::Spinner spinner{min_, max_, step_};
    buddy_->setText(
        from_cp1252(prefs::step_caption(spinner, to_cp1252(buddy_->text()), direction)));
}

std::vector<Place> places([[maybe_unused]] const std::filesystem::path& root) {
    std::vector<Place> out;
#ifdef _WIN32
    for (const QFileInfo& drive : QDir::drives())
        out.push_back({drive.path(), drive.path().toStdString()});
#else
    out.push_back({"c: (" + native(root) + ")", root});
    out.push_back({"Dossier personnel (" + QDir::homePath() + ")", QDir::homePath().toStdString()});
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString path = volume.rootPath();
        if (path == "/" || !(path.startsWith("/media") || path.startsWith("/mnt") ||
                             path.startsWith("/run/media")))
            continue;
        out.push_back({path, path.toStdString()});
    }
    out.push_back({"/", "/"});
#endif
    return out;
}

PrefsPanel::PrefsPanel(QObject* parent, PanelHost host) : QObject(parent), w_(host) {
    QWidget* prefer = w_.window.control("prefer");
    QWidget* frame2 = w_.window.control("Frame2");
    auto* command1 = qobject_cast<QPushButton*>(w_.window.control("Command1"));
    auto* command2 = qobject_cast<QPushButton*>(w_.window.control("Command2"));

    const auto spinner = [&](const char* name, QPushButton* buddy, prefs::Spinner s, QRect r) {
        auto* u = new UpDown(prefer, buddy, s.min, s.max, s.step);
        u->setObjectName(name);
        u->setGeometry(r);
        w_.window.register_control(name, u);
        // From the keyboard: the arrow keys on the button step its spinner.
        for (const auto& [key, direction] :
             {std::pair{Qt::Key_Up, +1}, std::pair{Qt::Key_Down, -1}}) {
            auto* arrow =
                new QShortcut(QKeySequence(key), buddy, nullptr, nullptr, Qt::WidgetShortcut);
            connect(arrow, &QShortcut::activated, u, [u, d = direction] { u->step(d); });
        }
    };
    spinner("UpDown1", command1, prefs::interval_spinner, twip_rect(5520, 360, 240, 375));
    spinner("UpDown2", command2, prefs::offset_spinner, twip_rect(2880, 840, 195, 255));

    Driv = new QComboBox(frame2);
    Driv->setObjectName("Driv");
    Driv->setGeometry(twip_rect(240, 240, 2535, 315));
    places_ = places(w_.root);
    for (const Place& p : places_)
        Driv->addItem(p.label);
    w_.window.register_control("Driv", Driv);
    connect(Driv, &QComboBox::activated, this, &PrefsPanel::Driv_Change);

    chemin = new QListWidget(frame2);
    chemin->setObjectName("chemin");
    chemin->setGeometry(twip_rect(240, 600, 2535, 990));
    w_.window.register_control("chemin", chemin);
    const auto open_item = [this](QListWidgetItem* item) {
        if (!item) return;
        const QString target = item->data(Qt::UserRole).toString();
        if (!target.isEmpty()) open(target.toStdString());
    };
    connect(chemin, &QListWidget::itemDoubleClicked, this, open_item);
    on_enter(chemin, this, open_item); // Enter opens, as a double-click does
    open(w_.root);

    // The port list says which device each line stands for; beside it, the device of the
    // selected line, one of the machine's serial ports or a path or network address typed in.
    auto* ports = qobject_cast<QListWidget*>(w_.window.control("portgps"));
    show_port_tips();
    auto* label = new QLabel("&Appareil du port", prefer);
    label->setObjectName("Labelappareil");
    label->setGeometry(twip_rect(2760, 3600, 2415, 255));
    w_.window.register_control("Labelappareil", label);
    appareil = new QComboBox(prefer);
    appareil->setObjectName("appareil");
    appareil->setGeometry(twip_rect(2760, 3840, 6015, 315));
    appareil->setEditable(true);
    appareil->setInsertPolicy(QComboBox::NoInsert);
    label->setBuddy(appareil);
    w_.window.register_control("appareil", appareil);
    connect(appareil->lineEdit(), &QLineEdit::editingFinished, this, [this] { keep_device(); });
    connect(appareil, &QComboBox::activated, this, [this] { keep_device(); });
    connect(ports, &QListWidget::currentRowChanged, this, [this](int row) {
        keep_device();
        show_device(row);
    });

    pilot_ = new PilotPrefs(this, w_);
    journal_ = new JournalPrefs(this, w_);

    connect(qobject_cast<QRadioButton*>(w_.window.control("ozichange")), &QRadioButton::clicked,
            this, &PrefsPanel::ozichange_Click);
    connect(qobject_cast<QRadioButton*>(w_.window.control("cmapchange")), &QRadioButton::clicked,
            this, &PrefsPanel::cmapchange_Click);
    connect(qobject_cast<QPushButton*>(w_.window.control("ok")), &QPushButton::clicked, this,
            &PrefsPanel::ok_Click);

    // The tags beside the folders and the port list are never read: Tab passes them by.
    for (const char* tag : {"Text1", "Text3", "Text4"})
        w_.window.control(tag)->setFocusPolicy(Qt::NoFocus);
    // Tab goes through the panel in reading order, to OK.
    const char* order[] = {"Command1",    "Command2", "Driv",     "chemin", "ozichange",
                           "cmapchange",  "portgps",  "appareil", "pilote", "relevement",
                           "declinaison", "emetteur", "anglecap", "ok"};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        QWidget::setTabOrder(w_.window.control(order[i]), w_.window.control(order[i + 1]));
}

void PrefsPanel::open(const std::filesystem::path& folder) {
    folder_ = folder;
    chemin->clear();
    // The folders from the top down to the open one, then the open one's subfolders.
    std::vector<std::filesystem::path> chain;
    for (std::filesystem::path p = folder;; p = p.parent_path()) {
        chain.push_back(p);
        if (p == p.parent_path() || p.empty()) break;
    }
    std::reverse(chain.begin(), chain.end());
    int depth = 0;
    for (const auto& p : chain) {
        const QString name =
            p.has_filename() ? QString::fromStdString(p.filename().string()) : native(p);
        auto* item = new QListWidgetItem(QString(depth++ * 2, ' ') + name, chemin);
        item->setData(Qt::UserRole, native(p));
    }
    QStringList subfolders =
        QDir(native(folder)).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& sub : subfolders) {
        auto* item = new QListWidgetItem(QString(depth * 2, ' ') + sub, chemin);
        item->setData(Qt::UserRole, native(folder / sub.toStdString()));
    }
    chemin->setCurrentRow(static_cast<int>(chain.size()) - 1);
}

void PrefsPanel::show_port_tips() {
    auto* ports = qobject_cast<QListWidget*>(w_.window.control("portgps"));
    for (int k = 0; k < ports->count(); ++k)
        ports->item(k)->setToolTip(QString::fromStdString(w_.port.device_of(k + 1)));
}

void PrefsPanel::list_ports() {
    // Listed again at each showing, so a receiver plugged in since is offered. The first line is
    // the default of the line shown (show_device); each port's exact bytes are its value.
    appareil->clear();
    appareil->addItem(QString(), QByteArray());
    for (const nmea::SerialPortName& port : w_.serial_ports())
        appareil->addItem(from_utf8(nmea::port_label(port)),
                          QByteArray::fromStdString(port.device));
}

void PrefsPanel::show_device(int line) {
    device_line_ = line;
    if (line < 0 || line >= static_cast<int>(devices_.size())) return;
    const auto k = static_cast<std::size_t>(line);
    const std::string& start = w_.start_devices.devices[k];
    appareil->setItemText(0, "Par défaut (" + from_utf8(start) + ")");
    // A device given by --com or MARIVENT_COMk is kept whatever the line's preference says.
    const bool given = w_.start_devices.given[k];
    appareil->setEnabled(!given);
    appareil->setToolTip(given ? QString("Donné au démarrage (--com %1= ou MARIVENT_COM%1) : la "
                                         "préférence ne sert pas tant qu'il l'est.")
                                     .arg(line + 1)
                               : QString());
    const std::string& shown = given ? start : devices_[k];
    const int index =
        shown.empty() ? 0 : appareil->findData(QByteArray::fromStdString(shown), Qt::UserRole);
    if (index >= 0 && !given) {
        appareil->setCurrentIndex(index);
    } else {
        appareil->setCurrentIndex(-1);
        appareil->setEditText(from_utf8(shown));
    }
}

bool PrefsPanel::keep_device() {
    // Nothing is kept from a panel put away by Escape (the box loses the focus as it goes).
    if (device_line_ < 0 || device_line_ >= static_cast<int>(devices_.size()) ||
        !appareil->isEnabled() || w_.window.control("prefer")->isHidden())
        return true;
    const auto k = static_cast<std::size_t>(device_line_);
    // A line of the list stands for its port; anything else is what was typed.
    const QString text = appareil->currentText();
    const int index = appareil->findText(text, Qt::MatchExactly);
    const std::string value =
        index >= 0 ? appareil->itemData(index).toByteArray().toStdString() : text.toStdString();
    const Result<std::string> device = prefs::check_device(value);
    if (!device) {
        w_.window.tell(QString("L'appareil du port com%1 n'est pas changé : %2.")
                           .arg(device_line_ + 1)
                           .arg(from_utf8(device.why()))
                           .toStdString());
        show_device(device_line_);
        return false;
    }
    devices_[k] = *device;
    return true;
}

void PrefsPanel::mnuoutilpref_Click() {
    devices_ = w_.prefs.devices;
    device_line_ = -1; // what appareil showed before is not kept
    list_ports();
    auto* ports = qobject_cast<QListWidget*>(w_.window.control("portgps"));
    {
        const QSignalBlocker quiet(ports);
        ports->setCurrentRow(1);
    }
    show_device(ports->currentRow());
    qobject_cast<QCheckBox*>(w_.window.control("tousemet"))->setChecked(w_.prefs.all_talkers);
    pilot_->show(w_.prefs.pilot_words);
    journal_->show(w_.prefs.course_angle);
    if (w_.window.control("prefer")->isHidden()) {
        shown_captions_.clear();
        for (const char* name : {"Command1", "Command2", "ozichange", "cmapchange"}) {
            auto* b = qobject_cast<QAbstractButton*>(w_.window.control(name));
            shown_captions_.emplace_back(b, b->text());
        }
    }
    show_panels(w_.window, {"prefer"});   // any list put away; over the simulator button
    w_.window.control("Label7")->raise(); // which stand above it, as the window's own lines
    w_.window.control("Text2")->raise();
    w_.window.control("Command1")->setFocus();
}

void PrefsPanel::Driv_Change(int index) {
    if (index >= 0 && index < static_cast<int>(places_.size())) open(places_[index].path);
}

void PrefsPanel::folder_to(QRadioButton* button) {
    // The full native path of the open folder, without a trailing separator but at the top.
    QString path = QDir::toNativeSeparators(native(folder_));
    while (path.size() > 1 && (path.endsWith('/') || path.endsWith('\\')) && !path.endsWith(":\\"))
        path.chop(1);
    button->setText(path);
    if (from_cp1252(to_cp1252(path)) != path)
        w_.window.tell(
            "Le chemin " + path.toStdString() +
            " contient des caractères que le fichier des préférences ne peut pas garder ; ils "
            "seront remplacés par « ? ».");
}

void PrefsPanel::ozichange_Click() {
    folder_to(qobject_cast<QRadioButton*>(w_.window.control("ozichange")));
}
void PrefsPanel::cmapchange_Click() {
    folder_to(qobject_cast<QRadioButton*>(w_.window.control("cmapchange")));
}

void PrefsPanel::cancel() {
    w_.window.control("prefer")->hide();
    for (const auto& [button, caption] : shown_captions_)
        button->setText(caption);
}

void PrefsPanel::ok_Click() {
    const auto caption = [&](const char* name) {
        return to_cp1252(qobject_cast<QAbstractButton*>(w_.window.control(name))->text());
    };
    keep_device();
    pilot_->keep_typed();
    journal_->keep_typed();
    w_.window.control("prefer")->hide();
    auto* ports = qobject_cast<QListWidget*>(w_.window.control("portgps"));
    const prefs::PanelCaptions panel{
        caption("Command1"),
        caption("Command2"),
        caption("ozichange"),
        caption("cmapchange"),
        std::max(0, ports->currentRow()),
        qobject_cast<QCheckBox*>(w_.window.control("tousemet"))->isChecked(),
        devices_,
        pilot_->chosen(),
        journal_->chosen()};
    const int old_port = w_.port.CommPort;
    const std::string old_device = w_.port.device_of(old_port);
    const prefs::SettingsToWrite saved = prefs::apply_ok(panel, w_.prefs);
    w_.port.CommPort = saved.port;
    w_.port.set_devices(nmea::port_devices(w_.start_devices, w_.prefs.devices));
    show_port_tips();
    if (w_.port.PortOpen() &&
        (saved.port != old_port || w_.port.device_of(saved.port) != old_device))
        w_.window.tell(
            QString("Le port com%1 (%2) servira à la prochaine ouverture de la liaison ; la "
                    "liaison en cours reste sur com%3.")
                .arg(saved.port)
                .arg(QString::fromStdString(w_.port.device_of(saved.port)))
                .arg(old_port)
                .toStdString());
    std::vector<std::string> problems =
        prefs::save_settings(w_.root / std::string(settings_file_name), saved);
    for (const std::string& p : problems)
        w_.window.tell(p);
}

} // namespace marivent::app
