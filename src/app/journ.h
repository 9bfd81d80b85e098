// The window `journ`, "Journal de bord": the navigation panel, the raw GPS line, the hidden
// panels and the menus, with the window-level and module-level values of the program.
#pragma once
#include <QMainWindow>
#include <QTimer>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/seams.h"
#include "journal/journal_file.h"
#include "prefs/preferences.h"

class QAction;
class QLineEdit;

namespace marivent::app {

struct Services {
    const RegionalSettings& regional;
    Dialogs& dialogs;
    const Clock& clock;
};

class Journ : public QMainWindow, public Display {
    Q_OBJECT
public:
    // Creates the window and runs the start-up sequence; the caller shows it.
    Journ(std::filesystem::path root, Services services, QWidget* parent = nullptr);
    ~Journ() override;

    // Display: the text boxes by name, as Windows-1252 bytes.
    void set_text(std::string_view box, std::string_view text) override;
    std::string text(std::string_view box) const override;
    void set_speed_colour(long colour) override;

    QWidget* control(const QString& name) const;
    QAction* menu(const QString& name) const;

    // Problems met at start-up, in French; shown once the window is up.
    const std::vector<std::string>& startup_problems() const { return startup_problems_; }
    void show_startup_problems();

    // Menu handlers.
    void mnuquitter_Click();
    void Timer1_Timer();

    const std::filesystem::path root;
    // Preference values: intervalle, decalage, the folders, the port number.
    prefs::Preferences prefs;
    journal::JournalFile journal;
    QTimer Timer1;

    // Module-level and window-level values.
    double compteur = 0;
    int simu = 0;
    int miseheure = 1;
    int gpsmauvais = 1;
    int nblignes = 0;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void build_controls();
    void build_menus();
    void Form_Load();
    void Form_Unload();

    Services services_;
    std::map<QString, QWidget*> controls_;
    std::map<QString, QAction*> menus_;
    std::map<std::string, std::string, std::less<>> texts_; // exact text of each text box
    std::vector<std::string> startup_problems_;
};

} // namespace marivent::app
