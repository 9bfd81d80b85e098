#include "transfer_panel.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>

#include "common/paths.h"
#include "panel_host.h"
#include "panels.h"
#include "prefs/preferences.h"
#include "qt_seams.h"
#include "transfer/transfer_driver.h"
#include "widget_helpers.h"

namespace marivent::app {

TransferPanel::TransferPanel(QObject* parent, PanelHost host) : QObject(parent), w_(host) {
    auto* file1 = qobject_cast<QListWidget*>(w_.window.control("File1"));
    connect(w_.window.menu("mnuozicmap"), &QAction::triggered, this,
            &TransferPanel::mnuozicmap_Click);
    connect(w_.window.menu("mnulirewpts"), &QAction::triggered, this,
            &TransferPanel::mnulirewpts_Click);
    connect(qobject_cast<QPushButton*>(w_.window.control("ok1")), &QPushButton::clicked, this,
            &TransferPanel::ok1_Click);
    connect(qobject_cast<QPushButton*>(w_.window.control("annul")), &QPushButton::clicked, this,
            &TransferPanel::annul_Click);
    connect(file1, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { File1_Click(item->text()); });
    // From the keyboard: the arrows choose a file, Enter converts it.
    on_enter(file1, this, [this](QListWidgetItem* item) { File1_Click(item->text()); });
}

void TransferPanel::list(const std::filesystem::path& folder, const QStringList& patterns,
                         bool no_extension) {
    folder_ = folder;
    patterns_ = patterns;
    no_extension_ = no_extension;
    auto* file1 = qobject_cast<QListWidget*>(w_.window.control("File1"));
    file1->clear();
    const QDir dir(from_utf8(display_path(folder)));
    if (!dir.exists()) {
        w_.window.note(QString("Le dossier %1 n'existe pas.").arg(from_utf8(display_path(folder))));
        w_.window.tell("Le dossier " + display_path(folder) +
                       " n'existe pas : choisissez-le dans Outils > Préférences.");
        return;
    }
    QStringList names = no_extension ? dir.entryList(QDir::Files, QDir::Name)
                                     : dir.entryList(patterns, QDir::Files, QDir::Name);
    if (no_extension) names.removeIf([](const QString& n) { return n.contains('.'); });
    file1->addItems(names);
    if (file1->count() > 0) file1->setCurrentRow(0);
    w_.window.note(
        QString("Fichiers %1 de %2 : Entrée convertit, Échap ferme la liste.")
            .arg(no_extension ? "C-Map ECS (sans extension)" : "OziExplorer (.rte, .wpt, .plt)",
                 from_utf8(display_path(folder))));
}

void TransferPanel::mnuozicmap_Click() {
    QWidget* file1 = w_.window.control("File1");
    show_panels(w_.window, {"File1"});
    list(native_path(w_.root, w_.prefs.ozipath), {"*.rte", "*.wpt", "*.plt"}, false);
    ozicm = 1;
    file1->setFocus();
}

void TransferPanel::mnulirewpts_Click() {
    show_panels(w_.window, {"File1", "Frame1"}); // the panel over its list
    list(native_path(w_.root, w_.prefs.cmappath), {}, true);
    ozicm = 0;
    w_.window.control("waypoin")->setFocus();
}

void TransferPanel::ok1_Click() {
    w_.window.control("Frame1")->hide();
    list(native_path(w_.root, w_.prefs.cmappath), patterns_, no_extension_);
    w_.window.control("File1")->setFocus();
}

void TransferPanel::annul_Click() {
    w_.window.control("Frame1")->hide();
    w_.window.control("File1")->setFocus();
}

void TransferPanel::File1_Click(const QString& name) {
    w_.window.control("Frame1")->hide();
    transfer::Click click;
    click.ozicm = ozicm;
    click.file = folder_ / path_from_utf8(name.toStdString());
    click.root = w_.root;
    click.ozipath = w_.prefs.ozipath;
    click.cmappath = w_.prefs.cmappath;
    click.waypoin = qobject_cast<QCheckBox*>(w_.window.control("waypoin"))->isChecked();
    click.rout = qobject_cast<QCheckBox*>(w_.window.control("rout"))->isChecked();
    const transfer::Conversion conversion = transfer::conversion_of(click);
    const transfer::Outcome out = transfer::convert(conversion, w_.dialogs);
    if (out.lat) w_.display.set_text(Box::lat, *out.lat);
    w_.window.control("File1")->hide();
    w_.window.note(from_utf8(transfer::summary(conversion, out))); // stays until the next command
}

} // namespace marivent::app
