// The preferences panel `prefer`: spinners on the interval and offset buttons, the drive and folder
// lists, the two folder option buttons, the port list with the device of its selected line, the
// autopilot's line, the journal's entry on a change of course, and OK.
#pragma once
#include <QObject>
#include <QString>
#include <QWidget>
#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "panel_host.h"

class QAbstractButton;
class QComboBox;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace marivent::app {

class JournalPrefs;
class PilotPrefs;

// Two arrows that step the number on the caption of their button.
class UpDown : public QWidget {
    Q_OBJECT
  public:
    UpDown(QWidget* parent, QPushButton* buddy, int min, int max, int increment);
    void step(int direction);

  private:
    QPushButton* buddy_;
    int min_, max_, step_;
};

// The places a user keeps files: drive letters on Windows; ROOT (drive C:), the home folder,
// mounted volumes and "/" elsewhere.
struct Place {
    QString label;
    std::filesystem::path path;
};
std::vector<Place> places(const std::filesystem::path& root);

class PrefsPanel : public QObject {
    Q_OBJECT
  public:
    PrefsPanel(QObject* parent, PanelHost host);

    void mnuoutilpref_Click();
    void Driv_Change(int index);
    void ozichange_Click();
    void cmapchange_Click();
    void ok_Click();
    // Escape: the panel goes, nothing applied or saved, its captions back to what they were when
    // it was shown.
    void cancel();

    // The folder list: the folder it has open, and opening one (a double-click).
    const std::filesystem::path& open_folder() const { return folder_; }
    void open(const std::filesystem::path& folder);

    // "Appareil du port": its text becomes the device of the line it shows, once checked; a
    // refused text is said and the line keeps its device. False when refused.
    bool keep_device();
    // The devices of the port lines as chosen in the panel, applied at OK (empty: the default).
    const std::array<std::string, 4>& chosen_devices() const { return devices_; }

  private:
    void folder_to(QRadioButton* button);
    void list_ports();
    void show_device(int line);
    void show_port_tips();

    PanelHost w_;
    QComboBox* Driv;
    QListWidget* chemin;
    std::filesystem::path folder_;
    std::vector<Place> places_;
    std::vector<std::pair<QAbstractButton*, QString>> shown_captions_; // when the panel was shown
    QComboBox* appareil;
    std::array<std::string, 4> devices_;
    int device_line_ = -1; // the line whose device appareil shows
    PilotPrefs* pilot_;
    JournalPrefs* journal_;
};

} // namespace marivent::app
