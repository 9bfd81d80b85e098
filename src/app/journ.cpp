#include "journ.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSocketNotifier>
#include <QStatusBar>
#include <QVBoxLayout>
#ifdef Q_OS_WIN
#include <QWinEventNotifier>
#endif
#include <cstdio>
#include <functional>

#include "common/cp1252.h"
#include "common/file_io.h"
#include "common/paths.h"
#include "fit_label.h"
#include "help_text.h"
#include "instruments.h"
#include "journal/recording.h"
#include "layout.h"
#include "link/net_device.h"
#include "link/port_device.h"
#include "nmea/gps_link.h"
#include "prefs_panel.h"
#include "qt_seams.h"
#include "transfer_panel.h"
#include "widget_helpers.h"

namespace marivent::app {

namespace {

// One frame of the screen, the most a box waits to show a change.
int frame_interval_ms() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    qreal hz = screen ? screen->refreshRate() : 0;
    if (!(hz >= 24 && hz <= 360)) hz = 60; // a screen that tells no rate, or a strange one
    return static_cast<int>(1000 / hz);
}

// A 32 × 32 icon of 16 colours: a compass rose on blue.
QIcon window_icon() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setBrush(QColor(0, 0, 128));
    p.setPen(Qt::NoPen);
    p.drawEllipse(1, 1, 30, 30);
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygon({{16, 3}, {19, 16}, {16, 29}, {13, 16}}));
    p.setBrush(QColor(255, 0, 0));
    p.drawPolygon(QPolygon({{16, 3}, {19, 16}, {13, 16}}));
    return QIcon(pixmap);
}

} // namespace

SerialSetup posix_serial(const nmea::PortDevices& devices) {
    return {std::make_unique<nmea::PortDevice>(), devices};
}

SerialSetup start_serial(const nmea::StartDevices& devices) {
    return {std::make_unique<nmea::PortDevice>(), devices.devices, devices.given};
}

Journ::Journ(std::filesystem::path root_folder, Services services, SerialSetup serial,
             QWidget* parent)
    : QMainWindow(parent), root(std::move(root_folder)),
      journal(root / std::string(journal_file_name), services.regional, services.clock),
      MSComm1(std::move(serial.device), serial.devices),
      services_(services), start_devices_{std::move(serial.devices), serial.given},
      list_ports_(std::move(serial.list_ports)) {
    decimal_separator_ = services_.regional.decimal_separator();
    // A steady caret: a blinking one redraws twice a second for days at sea, for nothing.
    QApplication::setCursorFlashTime(0);
    MSComm1.OnComm = [this] { MSComm1_OnComm(); };
    MSComm1.on_state_changed = [this] { watch_port(); };
    MSComm1.on_hung_up = [this](const std::string& why) { link_hung_up(why); };
    since_start_.start();
    retry_.setSingleShot(true);
    connect(&retry_, &QTimer::timeout, this, &Journ::retry_link);
    display_frame.setSingleShot(true);
    display_frame.setTimerType(Qt::PreciseTimer);
    display_frame.setInterval(frame_interval_ms());
    connect(&display_frame, &QTimer::timeout, this, &Journ::show_frame);
    freshness_timer_.setSingleShot(true);
    connect(&freshness_timer_, &QTimer::timeout, this, &Journ::freshness_tick);
    status_timer_.setInterval(1000);
    connect(&status_timer_, &QTimer::timeout, this, [this] {
        if (status_timer_.interval() != 1000) status_timer_.setInterval(1000); // back in step
        show_status();
    });
    Form_Load();
    show_status();
}

Journ::~Journ() {
#ifdef Q_OS_WIN
    // It stops waiting before the device, a member, closes the event it waits on.
    delete port_event_;
#endif
}

void Journ::build_controls() {
    auto* client = new QWidget(this);
    client->setObjectName("journ");
    // The boxes are as small as the original's: no inner padding, so their texts fit.
    client->setStyleSheet("QLineEdit { padding: 0px 1px; }");
    client->setFixedSize(client_width_twips / twips_per_pixel,
                         client_height_twips / twips_per_pixel);
    setCentralWidget(client);
    // The status line, below the client area of the tables (which keeps its geometry): what the
    // last command did (or the folder a list shows) above the state of the link.
    auto* lines = new QWidget(this);
    auto* stack = new QVBoxLayout(lines);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    // Folders, device names and counts can be long: one line each, cut to the window's width.
    note_ = new FitLabel(lines);
    note_->setObjectName("note");
    note_->hide();
    status_ = new FitLabel(lines);
    status_->setObjectName("statut");
    stack->addWidget(note_);
    stack->addWidget(status_);
    statusBar()->setSizeGripEnabled(false);
    statusBar()->addWidget(lines, 1);

    for (const ControlRow& row : control_rows()) {
        QWidget* parent = row.parent ? controls_.at(row.parent) : client;
        QWidget* w = nullptr;
        switch (row.kind) {
        case Kind::Frame:
            w = new QGroupBox(QString::fromUtf8(row.caption), parent);
            break;
        case Kind::Label: {
            // The count of the lines left out is written at run time: kept within the window.
            const QString caption = QString::fromUtf8(row.caption);
            w = std::string_view(row.name) == "rejet" ? new FitLabel(caption, parent)
                                                      : new QLabel(caption, parent);
            break;
        }
        case Kind::Button:
            w = new QPushButton(QString::fromUtf8(row.caption), parent);
            break;
        case Kind::OptionButton:
            w = new QRadioButton(QString::fromUtf8(row.caption), parent);
            break;
        case Kind::CheckBox:
            w = new QCheckBox(QString::fromUtf8(row.caption), parent);
            break;
        case Kind::FileList:
        case Kind::ListBox:
            w = new QListWidget(parent);
            break;
        case Kind::TextBox: {
            auto* edit = new QLineEdit(parent);
            BoxView& box = boxes_[row.name];
            box.edit = edit;
            box.background = row.background;
            box.text = utf8_to_cp1252(row.caption);
            edit->setText(shown_text(box.text));
            edit->setCursorPosition(0); // a text wider than its box shows its start
            // What the user types is what the box holds (the journal reads the boxes), and what
            // it shows: a change not yet drawn is dropped, not drawn over the typing.
            connect(edit, &QLineEdit::textEdited, this, [&box](const QString& t) {
                box.text = to_cp1252(t);
                box.stale = false;
            });
            w = edit;
            break;
        }
        }
        w->setObjectName(row.name);
        w->setGeometry(twip_rect(row.left, row.top, row.width, row.height));
        if (row.background >= 0)
            w->setStyleSheet(
                colour_sheet(row.kind == Kind::TextBox ? "QLineEdit" : "QWidget", row.background));
        w->setVisible(row.shown);
        controls_[row.name] = w;
    }
    if (auto* ports = qobject_cast<QListWidget*>(controls_.at("portgps")))
        ports->addItems({"com1", "com2", "com3", "com4"});
    // The boxes the core writes: every one is in the tables (at() says so at start-up).
    for (Box box : all_boxes)
        by_box_[static_cast<std::size_t>(box)] = &boxes_.at(std::string(box_name(box)));
}

void Journ::build_menus() {
    std::map<QString, QMenu*> menus;
    for (const MenuRow& row : menu_rows()) {
        const QString caption = QString::fromUtf8(row.caption);
        QAction* action = nullptr;
        const bool has_items =
            std::any_of(menu_rows().begin(), menu_rows().end(), [&](const MenuRow& r) {
                return r.parent && std::string_view(r.parent) == row.name;
            });
        if (!row.parent && has_items) {
            QMenu* m = menuBar()->addMenu(caption);
            m->setObjectName(row.name);
            menus[row.name] = m;
            action = m->menuAction();
        } else if (!row.parent) {
            action = menuBar()->addAction(caption);
        } else {
            action = menus.at(row.parent)->addAction(caption);
        }
        action->setObjectName(row.name);
        action->setEnabled(row.enabled);
        action->setVisible(row.visible);
        menus_[row.name] = action;
    }
    connect(menus_.at("mnuquitter"), &QAction::triggered, this, &Journ::mnuquitter_Click);
    connect(menus_.at("mnugpsdeb"), &QAction::triggered, this, &Journ::mnugpsdeb_Click);
    connect(menus_.at("mnugpsfin"), &QAction::triggered, this, &Journ::mnugpsfin_Click);
    connect(menus_.at("mnujourecrire"), &QAction::triggered, this, &Journ::mnujourecrire_Click);
    connect(menus_.at("mnujoulire"), &QAction::triggered, this, &Journ::mnujoulire_Click);
    connect(menus_.at("mnujourremarque"), &QAction::triggered, this, &Journ::mnujourremarque_Click);
    connect(menus_.at("mnujourimprimer"), &QAction::triggered, this, &Journ::mnujourimprimer_Click);
    connect(qobject_cast<QLineEdit*>(controls_.at("remarque")), &QLineEdit::returnPressed, this,
            &Journ::write_remark);
    connect(menus_.at("mnujourcorriger"), &QAction::triggered, this, &Journ::mnujourcorriger_Click);
    // Enter in the number goes on to the correction, or writes it when it is typed already.
    connect(qobject_cast<QLineEdit*>(controls_.at("corrligne")), &QLineEdit::returnPressed, this,
            [this] {
                auto* text = qobject_cast<QLineEdit*>(control("correction"));
                if (text->text().trimmed().isEmpty())
                    text->setFocus();
                else
                    write_correction();
            });
    connect(qobject_cast<QLineEdit*>(controls_.at("correction")), &QLineEdit::returnPressed, this,
            &Journ::write_correction);
    qobject_cast<QLabel*>(controls_.at("corrlab1"))->setBuddy(controls_.at("corrligne"));
    qobject_cast<QLabel*>(controls_.at("corrlab2"))->setBuddy(controls_.at("correction"));
    connect(menus_.at("mnuoutilaide"), &QAction::triggered, this, &Journ::mnuoutilaide_Click);
    connect(menus_.at("mnuoutilpref"), &QAction::triggered, this,
            [this] { preferences->mnuoutilpref_Click(); });
}

void Journ::Form_Load() {
    // 1. The window and its controls; the timer counts from now.
    setWindowTitle(program_title);
    setWindowIcon(window_icon());
    build_controls();
    build_menus();
    Timer1.setInterval(60000);
    connect(&Timer1, &QTimer::timeout, this, &Journ::Timer1_Timer);
    Timer1.start();

    // 3. The settings file.
    // A file that cannot be read loses every setting: said in a box. A record not applied keeps
    // its default, which the panel shows: said on the status line.
    const prefs::LoadOutcome loaded =
        prefs::load_settings(root / std::string(settings_file_name), prefs);
    auto& said = loaded.file_usable ? startup_notices_ : startup_problems_;
    said.insert(said.end(), loaded.problems.begin(), loaded.problems.end());
    qobject_cast<QPushButton*>(controls_.at("Command1"))->setText(from_cp1252(prefs.command1));
    qobject_cast<QPushButton*>(controls_.at("Command2"))->setText(from_cp1252(prefs.command2));
    MSComm1.CommPort = prefs.port;
    MSComm1.set_devices(nmea::port_devices(start_devices_, prefs.devices));
    const PanelHost host{*this,   *this, services_.dialogs, root,       prefs,
                         MSComm1, nav,   start_devices_,    list_ports_};
    preferences = new PrefsPanel(this, host);
    instruments = new Instruments(this, host);
    transfers = new TransferPanel(this, host);
    keys();

    // 4.-5.
    compteur = prefs.intervalle;
    nav.miseheure = 1;
    nav.gpsmauvais = 1;

    // 6.-7. The journal.
    const journal::PrepareOutcome prepared = journal.prepare();
    if (!prepared.usable) startup_problems_.push_back(prepared.usable.why());
    if (prepared.notice) startup_notices_.push_back(*prepared.notice);
    // A seal that no longer holds or cannot be read: said at once, and on the status line.
    if (!journal.seal_status().empty()) startup_notices_.push_back(journal.seal_notice());

    // What needs no answer is said on the status line at once; a box would hold the window.
    show_startup_notices();
}

void Journ::show_startup_notices() {
    QStringList notices;
    for (const std::string& n : startup_notices_)
        notices << from_utf8(n);
    note(notices.join('\n'));
}

void Journ::add_startup_problem(const std::string& text) {
    startup_problems_.insert(startup_problems_.begin(), text);
}

void Journ::add_startup_notice(const std::string& text) {
    startup_notices_.insert(startup_notices_.begin(), text);
    show_startup_notices();
}

void Journ::tell(const std::string& text) {
    services_.dialogs.message(text, program_title);
}

void Journ::note(const QString& text) {
    note_->setText(text);
    note_->setVisible(!text.isEmpty());
}

void Journ::show_startup_problems() {
    if (startup_problems_.empty()) return;
    std::string text;
    for (const std::string& p : startup_problems_)
        text += (text.empty() ? "" : "\n") + p;
    services_.dialogs.message(text, program_title);
}

QWidget* Journ::control(const QString& name) const {
    const auto it = controls_.find(name);
    return it == controls_.end() ? nullptr : it->second;
}

QAction* Journ::menu(const QString& name) const {
    const auto it = menus_.find(name);
    return it == menus_.end() ? nullptr : it->second;
}

void Journ::cancel_preferences() {
    preferences->cancel();
}

void Journ::mnuquitter_Click() {
    close();
}

void Journ::mnuoutilaide_Click() {
    if (services_.viewer) services_.viewer->show_text("mariaide.txt", help_text());
}

void Journ::Form_Unload() {
    // Closing the port cannot fail; nothing is saved.
    MSComm1.set_PortOpen(false);
}

void Journ::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

} // namespace marivent::app
