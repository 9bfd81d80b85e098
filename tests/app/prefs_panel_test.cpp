// The preferences panel in the window, offscreen.
#include <gtest/gtest.h>

#include <QCheckBox>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <cstdio>
#include <map>

#include "journ.h"
#include "prefs_panel.h"
#include "scripted_serial.h"
#include "window_support.h"

namespace {

using namespace marivent;
using marivent::app::Journ;
#ifndef _WIN32
using marivent::testing::GpsSide;
#endif
using marivent::testing::read_bytes;
using marivent::testing::wait_for;
using marivent::testing::write_bytes;

struct PanelTest : marivent::testing::WindowFixture {
    static QString caption(Journ& w, const char* name) {
        return qobject_cast<QAbstractButton*>(w.control(name))->text();
    }
    static void ok(Journ& w) { qobject_cast<QPushButton*>(w.control("ok"))->click(); }
};

std::string record(std::string text) {
    std::string r(2, '\0');
    r[0] = static_cast<char>(text.size());
    return r + text;
}

TEST_F(PanelTest, TheMenuShowsThePanelWithCom2SelectedOverTheOtherPanels) {
    auto w = open();
    EXPECT_FALSE(w->control("prefer")->isVisible());
    w->menu("mnuoutilpref")->trigger();
    EXPECT_TRUE(w->control("prefer")->isVisible());
    EXPECT_EQ(qobject_cast<QListWidget*>(w->control("portgps"))->currentRow(), 1);
    for (const char* c :
         {"Label10", "Command1", "UpDown1", "Label12", "Command2", "UpDown2", "Frame2", "Driv",
          "chemin", "ozichange", "Text1", "cmapchange", "Text3", "Text4", "portgps", "ok"})
        EXPECT_TRUE(w->control(c)->isVisible()) << c;
    EXPECT_EQ(w->control("UpDown1")->geometry(), QRect(368, 24, 16, 25));
    EXPECT_EQ(w->control("chemin")->geometry(), QRect(16, 40, 169, 66));
}

// Alt and a letter reaches one control of the panel shown, or a menu: none is taken twice.
TEST_F(PanelTest, EveryAccessKeyOfThePanelAndOfTheMenuBarIsItsOwn) {
    auto w = open();
    w->menu("mnuoutilpref")->trigger();
    std::map<QString, QString> owners;
    const auto take = [&](const QString& caption, const QString& who) {
        const qsizetype at = caption.indexOf('&');
        if (at < 0 || at + 1 >= caption.size()) return;
        const QString key = caption.mid(at + 1, 1).toLower();
        EXPECT_FALSE(owners.count(key)) << who.toStdString() << " and " << owners[key].toStdString()
                                        << ": Alt+" << key.toStdString();
        owners[key] = who;
    };
    for (QAction* a : w->menuBar()->actions())
        take(a->text(), a->objectName());
    for (QWidget* c : w->control("prefer")->findChildren<QWidget*>()) {
        if (!c->isVisible()) continue;
        if (auto* label = qobject_cast<QLabel*>(c)) take(label->text(), c->objectName());
        if (auto* button = qobject_cast<QAbstractButton*>(c)) take(button->text(), c->objectName());
    }
    EXPECT_EQ(owners["c"], "Labelanglecap");
    EXPECT_EQ(owners["p"], "Labelpilote");
    EXPECT_EQ(owners.size(), 12u); // five menus, seven controls
}

TEST_F(PanelTest, OkAtOnceAfterAStartWithPort3GivesPort2AndTheInitialFolders) {
    write_bytes(root / "journlog.txt",
                record("30") + std::string(124, 'a') + record("1") + std::string(125, 'b') +
                    record("c:\\mes routes") + std::string(113, 'c') + record("d:\\cmap") +
                    std::string(119, 'd') + std::string("\x02\x00\x03\x00", 4));
    auto w = open();
    EXPECT_EQ(w->MSComm1.CommPort, 3);
    EXPECT_EQ(w->prefs.ozipath, "c:\\mes routes");
    w->menu("mnuoutilpref")->trigger();
    ok(*w);
    EXPECT_FALSE(w->control("prefer")->isVisible());
    EXPECT_EQ(w->MSComm1.CommPort, 2);
    EXPECT_EQ(w->prefs.ozipath, "c:\\oziexplorer\\data");
    EXPECT_EQ(w->prefs.cmappath, "c:\\cmapecs\\routes");
    const std::string file = read_bytes(root / "journlog.txt");
    ASSERT_EQ(file.size(), 1795u); // the fifteen records
    EXPECT_EQ(file.substr(0, 4), std::string("\x02\x00"
                                             "30",
                                             4));
    EXPECT_EQ(file.substr(128, 3), std::string("\x01\x00"
                                               "1",
                                               3));
    EXPECT_EQ(file.substr(256, 21), std::string("\x13\x00", 2) + "c:\\oziexplorer\\data");
    EXPECT_EQ(file.substr(384, 19), std::string("\x11\x00", 2) + "c:\\cmapecs\\routes");
    EXPECT_EQ(file.substr(512, 4), std::string("\x02\x00\x02\x00", 4));
    EXPECT_EQ(file.substr(640, 3), std::string("\x01\x00"
                                               "0",
                                               3));        // "Tous les émetteurs" off
    EXPECT_EQ(file.substr(277, 10), std::string(10, 'c')); // the old tail of record 3 is left
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(PanelTest, TheTalkerOptionIsShownAppliedOnOkAndKept) {
    auto w = open();
    auto* box = qobject_cast<QCheckBox*>(w->control("tousemet"));
    ASSERT_NE(box, nullptr);
    w->menu("mnuoutilpref")->trigger();
    EXPECT_FALSE(box->isChecked()); // off by default
    EXPECT_TRUE(box->isVisible());
    box->setChecked(true);
    EXPECT_FALSE(w->prefs.all_talkers); // applied on OK only
    ok(*w);
    EXPECT_TRUE(w->prefs.all_talkers);
    EXPECT_EQ(read_bytes(root / "journlog.txt").substr(640, 3), std::string("\x01\x00"
                                                                            "1",
                                                                            3));
    // The next start takes it from the file, and the panel shows it.
    w.reset();
    auto again = open();
    EXPECT_TRUE(again->prefs.all_talkers);
    again->menu("mnuoutilpref")->trigger();
    EXPECT_TRUE(qobject_cast<QCheckBox*>(again->control("tousemet"))->isChecked());
}

TEST_F(PanelTest, AFolderChosenInTheListsReachesTheCaptionTheValueAndRecord4) {
    SKIP_WHERE_C_IS_THE_REAL_DRIVE();
    std::filesystem::create_directories(root / "cartes" / "routes");
    auto w = open();
    w->menu("mnuoutilpref")->trigger();
    auto* driv = qobject_cast<QComboBox*>(w->control("Driv"));
    ASSERT_GE(driv->count(), 2);
    EXPECT_TRUE(driv->itemText(0).startsWith("c:"));
    w->preferences->Driv_Change(0);
    EXPECT_EQ(w->preferences->open_folder(), root.path());
    // A double-click on a subfolder opens it; a single click only highlights.
    auto* chemin = qobject_cast<QListWidget*>(w->control("chemin"));
    const auto find = [&](const QString& name) {
        for (int i = 0; i < chemin->count(); ++i)
            if (chemin->item(i)->text().trimmed() == name) return chemin->item(i);
        return static_cast<QListWidgetItem*>(nullptr);
    };
    ASSERT_TRUE(find("cartes"));
    chemin->setCurrentItem(find("cartes"));
    EXPECT_EQ(w->preferences->open_folder(), root.path());
    emit chemin->itemDoubleClicked(find("cartes"));
    ASSERT_TRUE(find("routes"));
    emit chemin->itemDoubleClicked(find("routes"));
    const std::filesystem::path chosen = root / "cartes" / "routes";
    EXPECT_EQ(w->preferences->open_folder(), chosen);
    qobject_cast<QRadioButton*>(w->control("cmapchange"))->click();
    EXPECT_EQ(caption(*w, "cmapchange"), QString::fromStdString(chosen.string()));
    ok(*w);
    EXPECT_EQ(w->prefs.cmappath, chosen.string());
    const std::string file = read_bytes(root / "journlog.txt");
    EXPECT_EQ(static_cast<unsigned char>(file[384]), chosen.string().size());
    EXPECT_EQ(file.substr(386, chosen.string().size()), chosen.string());
}

TEST_F(PanelTest, IntervalAndOffsetFromTheSpinnersTakeEffectAtOk) {
    auto w = open();
    w->menu("mnuoutilpref")->trigger();
    auto* up1 = static_cast<app::UpDown*>(w->control("UpDown1"));
    auto* up2 = static_cast<app::UpDown*>(w->control("UpDown2"));
    for (int i = 0; i < 3; ++i)
        up1->step(+1);
    up2->step(+1);
    up2->step(+1);
    EXPECT_EQ(caption(*w, "Command1"), "45");
    EXPECT_EQ(caption(*w, "Command2"), "2");
    EXPECT_EQ(w->prefs.intervalle, 30); // nothing applied before OK
    const double count = w->compteur;
    ok(*w);
    EXPECT_EQ(w->prefs.intervalle, 45);
    EXPECT_EQ(w->prefs.decalage, "2");
    EXPECT_EQ(w->compteur, count); // the journal counter is not touched
    const std::string file = read_bytes(root / "journlog.txt");
    EXPECT_EQ(file.substr(0, 4), std::string("\x02\x00"
                                             "45",
                                             4));
    EXPECT_EQ(file.substr(128, 3), std::string("\x01\x00"
                                               "2",
                                               3));
}

TEST_F(PanelTest, ASettingsFileThatCannotBeWrittenStillAppliesTheValuesAndSaysSo) {
    auto w = open();
    std::filesystem::remove(root / "journlog.txt");
    std::filesystem::create_directory(root / "journlog.txt");
    w->menu("mnuoutilpref")->trigger();
    static_cast<app::UpDown*>(w->control("UpDown1"))->step(-1);
    ok(*w);
    EXPECT_EQ(w->prefs.intervalle, 25);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].text.find("pas été enregistrées"), std::string::npos);
}

TEST_F(PanelTest, AFolderTooLongForItsRecordIsToldAndTheOthersAreSaved) {
    std::filesystem::path deep = root.path();
    while (deep.string().size() <= 130)
        deep /= "dossier-de-cartes-marines";
    std::filesystem::create_directories(deep);
    auto w = open();
    w->menu("mnuoutilpref")->trigger();
    w->preferences->open(deep);
    qobject_cast<QRadioButton*>(w->control("ozichange"))->click();
    ok(*w);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].text.find("126"), std::string::npos);
    EXPECT_EQ(w->prefs.ozipath, deep.string()); // applied in the running program
    const std::string file = read_bytes(root / "journlog.txt");
    EXPECT_EQ(file.substr(384, 19), std::string("\x11\x00", 2) + "c:\\cmapecs\\routes");
}

TEST_F(PanelTest, ANewPortWhileTheLinkIsOpenServesAtTheNextOpening) {
    marivent::testing::ScriptedSerial::State dev;
    auto w = open(
        {std::make_unique<marivent::testing::ScriptedSerial>(dev), {"/dev/a", "/dev/b", "", ""}});
    w->menu("mnugpsdeb")->trigger();
    ASSERT_TRUE(w->MSComm1.PortOpen());
    w->menu("mnuoutilpref")->trigger();
    ok(*w); // com2 is preselected
    EXPECT_TRUE(w->MSComm1.PortOpen());
    EXPECT_EQ(dev.path, "/dev/a");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].text.find("prochaine ouverture"), std::string::npos);
    w->menu("mnugpsfin")->trigger();
    w->menu("mnugpsdeb")->trigger();
    EXPECT_EQ(dev.path, "/dev/b");
}

// "Appareil du port": the device of the line selected in portgps.
struct DeviceTest : PanelTest {
    marivent::testing::ScriptedSerial::State dev;
    // Defaults that open nothing, so a line left on its default never reaches a real port.
    app::SerialSetup serial(std::array<bool, 4> given = {}) {
        return {
            std::make_unique<marivent::testing::ScriptedSerial>(dev),
            {"/nonexistent/com1", "/nonexistent/com2", "/nonexistent/com3", "/nonexistent/com4"},
            given};
    }
    std::unique_ptr<Journ> open_panel(app::SerialSetup s) {
        auto w = open(std::move(s));
        QApplication::setActiveWindow(w.get()); // access keys go to the active window
        w->menu("mnuoutilpref")->trigger();
        return w;
    }
    static QComboBox* appareil(Journ& w) { return qobject_cast<QComboBox*>(w.control("appareil")); }
    static QListWidget* ports(Journ& w) { return qobject_cast<QListWidget*>(w.control("portgps")); }
    // Types over the device shown, as a user does after Alt+A.
    static void type(Journ& w, const QString& text) {
        QTest::keyClick(&w, Qt::Key_A, Qt::AltModifier);
        ASSERT_TRUE(appareil(w)->hasFocus());
        appareil(w)->lineEdit()->selectAll();
        QTest::keyClicks(appareil(w)->lineEdit(), text);
    }
    // From the device, through the pilot's line and the journal's, to OK.
    static void tab_to_ok_and_press(Journ& w) {
        for (const char* next :
             {"pilote", "relevement", "declinaison", "emetteur", "anglecap", "ok"}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            ASSERT_EQ(QApplication::focusWidget(), w.control(next)) << next;
        }
        QTest::keyClick(w.control("ok"), Qt::Key_Return);
    }
    std::string record_text(int n) {
        const std::string file = read_bytes(root / "journlog.txt");
        const std::size_t at = static_cast<std::size_t>(n - 1) * 128;
        return file.substr(at + 2, static_cast<unsigned char>(file[at]));
    }
};

TEST_F(DeviceTest, ALineTakesAListedPortOrATypedAddressByKeyboardKeptForTheNextStart) {
    const std::string ublox = machine_ports[0].device;
    auto w = open_panel(serial());
    Journ& j = *w;
    // Beside the list, between it and OK in the Tab order; com2 preselected, on its default.
    EXPECT_TRUE(appareil(j)->isVisible());
    EXPECT_TRUE(appareil(j)->isEditable());
    EXPECT_EQ(appareil(j)->currentText(), "Par défaut (/nonexistent/com2)");
    ASSERT_EQ(appareil(j)->count(), 3);
    EXPECT_EQ(appareil(j)->itemText(1), QString::fromStdString(ublox) + " — ttyACM0");
    EXPECT_EQ(appareil(j)->itemText(2), "/dev/ttyUSB0");
    EXPECT_EQ(qobject_cast<QLabel*>(j.control("Labelappareil"))->buddy(), appareil(j));
    ports(j)->setFocus();
    QTest::keyClick(ports(j), Qt::Key_Tab);
    EXPECT_TRUE(appareil(j)->hasFocus());

    // com3: the first listed port, chosen with the arrow key.
    QTest::keyClick(appareil(j), Qt::Key_Tab, Qt::ShiftModifier);
    ASSERT_TRUE(ports(j)->hasFocus());
    QTest::keyClick(ports(j), Qt::Key_Down);
    ASSERT_EQ(ports(j)->currentRow(), 2);
    EXPECT_EQ(appareil(j)->currentText(), "Par défaut (/nonexistent/com3)");
    QTest::keyClick(&j, Qt::Key_A, Qt::AltModifier);
    ASSERT_TRUE(appareil(j)->hasFocus());
    QTest::keyClick(appareil(j), Qt::Key_Down);
    EXPECT_EQ(appareil(j)->currentIndex(), 1);
    // com4: a network address typed in; Shift+Tab back to the list keeps what was chosen.
    QTest::keyClick(appareil(j), Qt::Key_Tab, Qt::ShiftModifier);
    ASSERT_TRUE(ports(j)->hasFocus());
    QTest::keyClick(ports(j), Qt::Key_Down);
    type(j, "  tcp://localhost:10110 ");
    tab_to_ok_and_press(j);

    EXPECT_FALSE(j.control("prefer")->isVisible());
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(j.prefs.devices,
              (std::array<std::string, 4>{"", "", ublox, "tcp://localhost:10110"}));
    EXPECT_EQ(j.MSComm1.device_of(2), "/nonexistent/com2");
    EXPECT_EQ(j.MSComm1.device_of(3), ublox);
    EXPECT_EQ(j.MSComm1.device_of(4), "tcp://localhost:10110");
    EXPECT_EQ(ports(j)->item(2)->toolTip(), QString::fromStdString(ublox));
    EXPECT_EQ(record_text(8), "");
    EXPECT_EQ(record_text(9), ublox);
    EXPECT_EQ(record_text(10), "tcp://localhost:10110");

    // The next start reads them; the panel shows each line's.
    w.reset();
    auto again = open_panel(serial());
    EXPECT_EQ(again->MSComm1.device_of(3), ublox);
    ports(*again)->setCurrentRow(2);
    EXPECT_EQ(appareil(*again)->currentIndex(), 1);
    ports(*again)->setCurrentRow(3);
    EXPECT_EQ(appareil(*again)->currentText(), "tcp://localhost:10110");
    // Back to the default: the first line of the list, the one below a typed text.
    appareil(*again)->setFocus();
    QTest::keyClick(appareil(*again), Qt::Key_Down);
    EXPECT_EQ(appareil(*again)->currentIndex(), 0);
    tab_to_ok_and_press(*again);
    EXPECT_EQ(again->MSComm1.device_of(4), "/nonexistent/com4");
    EXPECT_EQ(record_text(10), "");
    EXPECT_EQ(record_text(9), ublox);
}

TEST_F(DeviceTest, ABadAddressOrATooLongNameIsRefusedInFrenchAndTheLineKeepsItsDevice) {
    auto w = open_panel(serial());
    type(*w, "udp://:10110");
    tab_to_ok_and_press(*w);
    ASSERT_EQ(w->MSComm1.device_of(2), "udp://:10110");

    w->menu("mnuoutilpref")->trigger();
    EXPECT_EQ(appareil(*w)->currentText(), "udp://:10110");
    type(*w, "tcp://bateau");
    QTest::keyClick(appareil(*w)->lineEdit(), Qt::Key_Return);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              "L'appareil du port com2 n'est pas changé : « tcp://bateau » n'est pas une adresse "
              "tcp://HÔTE:PORT.");
    EXPECT_EQ(appareil(*w)->currentText(), "udp://:10110"); // shown again
    type(*w, "/dev/serial/by-id/" + QString(120, 'x'));
    tab_to_ok_and_press(*w); // leaving the box checks it, before OK
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_NE(dialogs.messages[1].text.find("126 octets"), std::string::npos);
    EXPECT_FALSE(w->control("prefer")->isVisible());
    EXPECT_EQ(w->MSComm1.device_of(2), "udp://:10110");
    EXPECT_EQ(record_text(8), "udp://:10110");

    // Escape puts it away without a word and keeps nothing of what was typed.
    w->menu("mnuoutilpref")->trigger();
    type(*w, "tcp://");
    QTest::keyClick(appareil(*w)->lineEdit(), Qt::Key_Escape);
    EXPECT_FALSE(w->control("prefer")->isVisible());
    EXPECT_EQ(dialogs.messages.size(), 2u);
    w->menu("mnuoutilpref")->trigger();
    EXPECT_EQ(appareil(*w)->currentText(), "udp://:10110");

    // Typed and OK clicked at once, without leaving the box: checked all the same.
    w->menu("mnuoutilpref")->trigger();
    appareil(*w)->setEditText("udp://:70000");
    ok(*w);
    ASSERT_EQ(dialogs.messages.size(), 3u);
    EXPECT_NE(dialogs.messages[2].text.find("udp://:PORT"), std::string::npos);
    EXPECT_EQ(record_text(8), "udp://:10110");
}

TEST_F(DeviceTest, APortGivenAtStartKeepsItsDeviceWhateverThePreferenceSays) {
    {
        auto w = open_panel(serial());
        type(*w, "/dev/ttyUSB7");
        tab_to_ok_and_press(*w);
    }
    // com2 given by --com 2= or MARIVENT_COM2: the box shows it, greyed, and the preference waits.
    auto w = open_panel(serial({false, true, false, false}));
    EXPECT_EQ(w->MSComm1.device_of(2), "/nonexistent/com2");
    EXPECT_FALSE(appareil(*w)->isEnabled());
    EXPECT_EQ(appareil(*w)->currentText(), "/nonexistent/com2");
    EXPECT_FALSE(appareil(*w)->toolTip().isEmpty());
    ok(*w);
    EXPECT_EQ(record_text(8), "/dev/ttyUSB7");
    EXPECT_EQ(w->prefs.devices[1], "/dev/ttyUSB7");
}

TEST_F(DeviceTest, ANewDeviceForTheOpenPortServesAtTheNextOpening) {
    auto w = open_panel(serial());
    ok(*w); // com2
    w->menu("mnugpsdeb")->trigger();
    ASSERT_TRUE(w->MSComm1.PortOpen());
    ASSERT_EQ(dev.path, "/nonexistent/com2");
    w->menu("mnuoutilpref")->trigger();
    type(*w, "/dev/ttyUSB0");
    tab_to_ok_and_press(*w);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              "Le port com2 (/dev/ttyUSB0) servira à la prochaine ouverture de la liaison ; la "
              "liaison en cours reste sur com2.");
    EXPECT_EQ(dev.path, "/nonexistent/com2");
    w->menu("mnugpsfin")->trigger();
    w->menu("mnugpsdeb")->trigger();
    EXPECT_EQ(dev.path, "/dev/ttyUSB0");
    // OK again with nothing changed: nothing said.
    w->menu("mnuoutilpref")->trigger();
    ok(*w);
    EXPECT_EQ(dialogs.messages.size(), 1u);
}

#ifndef _WIN32 // a pseudo-terminal GPS
// The whole way: com2 pointed at a pseudo-terminal through the panel, and the link reads it.
TEST_F(DeviceTest, Com2PointedAtAPseudoTerminalIsWhatTheLinkReads) {
    GpsSide gps;
    ASSERT_FALSE(gps.device.empty());
    auto w = open(app::posix_serial({"/nonexistent/com1", "/nonexistent/com2", "", ""}));
    QApplication::setActiveWindow(w.get());
    w->menu("mnuoutilpref")->trigger();
    type(*w, QString::fromStdString(gps.device));
    tab_to_ok_and_press(*w);
    w->menu("mnugpsdeb")->trigger();
    ASSERT_TRUE(w->MSComm1.PortOpen())
        << (dialogs.messages.empty() ? "" : dialogs.messages[0].text);
    const std::string gga = "$GPGGA,103016,4512.345,N,00512.345,E,1,08,0.9,545.4,M,46.9,M,,*49";
    ASSERT_TRUE(gps.send("\r\n" + gga + "\r\n"));
    EXPECT_TRUE(wait_for([&] { return w->text(Box::Text2) == "\n" + gga; })) << w->text(Box::Text2);
    EXPECT_TRUE(dialogs.messages.empty());
}

// The autopilot's line chosen by the keyboard, then the pseudo-terminal GPS's RMB steers with it.
TEST_F(DeviceTest, ThePilotsChoiceMadeByKeyboardIsWhatGoesOutOfThePort) {
    const auto whole = [](std::string body) {
        unsigned sum = 0;
        for (char c : body)
            sum ^= static_cast<unsigned char>(c);
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02X", sum);
        return "$" + body + "*" + hex + "\r\n";
    };
    GpsSide gps;
    ASSERT_FALSE(gps.device.empty());
    auto w = open(app::posix_serial({"/nonexistent/com1", gps.device, "", ""}));
    Journ& j = *w;
    QApplication::setActiveWindow(&j);
    j.menu("mnuoutilpref")->trigger();
    auto* pilote = qobject_cast<QComboBox*>(j.control("pilote"));
    auto* declinaison = qobject_cast<QLineEdit*>(j.control("declinaison"));
    EXPECT_EQ(pilote->currentText(), "APA"); // a new settings file: today's sentence
    QTest::keyClick(&j, Qt::Key_P, Qt::AltModifier);
    ASSERT_TRUE(pilote->hasFocus());
    QTest::keyClick(pilote, Qt::Key_Down);
    QTest::keyClick(pilote, Qt::Key_Down);
    EXPECT_EQ(pilote->currentText(), "APB + RMB + XTE");
    QTest::keyClick(&j, Qt::Key_R, Qt::AltModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_EQ(qobject_cast<QComboBox*>(j.control("relevement"))->currentText(), "magnétique");
    // An unreadable variation is refused in French and the box keeps the old value.
    QTest::keyClick(&j, Qt::Key_D, Qt::AltModifier);
    ASSERT_TRUE(declinaison->hasFocus());
    QTest::keyClicks(declinaison, "abc");
    QTest::keyClick(declinaison, Qt::Key_Tab);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              "La déclinaison n'est pas changée : déclinaison « abc » : le sens E (est) ou W "
              "(ouest) manque, par exemple 2,5W.");
    EXPECT_EQ(declinaison->text(), "");
    QTest::keyClick(&j, Qt::Key_D, Qt::AltModifier);
    QTest::keyClicks(declinaison, "2,5W");
    QTest::keyClick(&j, Qt::Key_U, Qt::AltModifier);
    auto* emetteur = qobject_cast<QLineEdit*>(j.control("emetteur"));
    ASSERT_TRUE(emetteur->hasFocus());
    emetteur->selectAll();
    QTest::keyClicks(emetteur, "gp");
    QTest::keyClick(emetteur, Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab); // past the journal's angle
    ASSERT_EQ(QApplication::focusWidget(), j.control("ok"));
    QTest::keyClick(j.control("ok"), Qt::Key_Return);
    EXPECT_FALSE(j.control("prefer")->isVisible());
    EXPECT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(record_text(11), "apb+rmb+xte");
    EXPECT_EQ(record_text(12), "magnetique");
    EXPECT_EQ(record_text(13), "2,5W");
    EXPECT_EQ(record_text(14), "GP");

    // The GPS gives no variation in its RMC: the user's 2.5 W makes 53.0 true 55.5 magnetic. The
    // set goes once, after the RMB only.
    j.menu("mnugpsdeb")->trigger();
    ASSERT_TRUE(j.MSComm1.PortOpen());
    const std::string rmb =
        "$GPRMB,A,0.03,L,,Fl.W.3s,6004.899,N,01942.501,E,0.993,53.0,0.4,V,D*51\r\n";
    const std::string gga =
        "$GPGGA,095202,6004.3030,N,01940.9154,E,2,09,1.3,-2.0,M,21.7,M,,*6A\r\n";
    ASSERT_TRUE(gps.send("\r\n" +
                         whole("GPRMC,095202,A,6004.3030,N,01940.9154,E,1.7,124.6,"
                               "030610,,,D") +
                         rmb + gga));
    const std::string set = whole("GPAPB,A,A,0.03,L,N,V,,,,Fl.W.3s,55.5,M,55.5,M") +
                            whole("GPRMB,A,0.03,L,,Fl.W.3s,6004.899,N,01942.501,E,0.993,53.0,"
                                  "0.4,V") +
                            whole("GPXTE,A,A,0.03,L,N");
    std::string out;
    EXPECT_TRUE(wait_for([&] {
        out += gps.receive();
        return out.size() >= set.size() &&
               j.text(Box::Text2) == "\n" + gga.substr(0, gga.size() - 2);
    }));
    EXPECT_EQ(out, set);
    EXPECT_EQ(j.text(Box::otopil), set);
    j.show_status();
    const QString status = j.findChild<QLabel*>("statut")->text();
    EXPECT_TRUE(status.contains("au pilote : APB + RMB + XTE, magnétique, émetteur GP à "))
        << status.toStdString();

    // Without a variation, no bearing goes: the XTE alone, said once and on the status line.
    j.menu("mnuoutilpref")->trigger();
    QTest::keyClick(&j, Qt::Key_D, Qt::AltModifier);
    declinaison->selectAll();
    QTest::keyClick(declinaison, Qt::Key_Delete);
    qobject_cast<QPushButton*>(j.control("ok"))->click();
    EXPECT_EQ(record_text(13), "");
    ASSERT_TRUE(gps.send(rmb + gga));
    const std::string xte = whole("GPXTE,A,A,0.03,L,N");
    out.clear();
    EXPECT_TRUE(wait_for([&] {
        out += gps.receive();
        return out.size() >= xte.size();
    }));
    EXPECT_EQ(out, xte);
    const QString why = "APB et RMB non envoyées : pas de déclinaison connue : relèvement "
                        "magnétique impossible";
    EXPECT_EQ(j.findChild<QLabel*>("note")->text(), "Pilote : " + why + ".");
    j.show_status();
    EXPECT_TRUE(j.findChild<QLabel*>("statut")->text().endsWith(" — " + why))
        << j.findChild<QLabel*>("statut")->text().toStdString();

    // APB alone in true, then APA again: each as chosen, the refusal no longer said.
    const auto choose = [&](int kind_steps, int reference_steps) {
        j.menu("mnuoutilpref")->trigger();
        QTest::keyClick(&j, Qt::Key_P, Qt::AltModifier);
        for (int i = 0; i < kind_steps; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
        QTest::keyClick(&j, Qt::Key_R, Qt::AltModifier);
        for (int i = 0; i < reference_steps; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
        QTest::keyClick(&j, Qt::Key_U, Qt::AltModifier);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(j.control("ok"), Qt::Key_Return);
        gps.receive();
        out.clear();
    };
    const auto answer_to = [&](const std::string& lines, const std::string& want) {
        EXPECT_TRUE(gps.send(lines));
        EXPECT_TRUE(wait_for([&] {
            out += gps.receive();
            return out.size() >= want.size();
        }));
        return out;
    };
    choose(1, 1);
    EXPECT_EQ(record_text(11), "apb");
    EXPECT_EQ(record_text(12), "vrai");
    const std::string apb = whole("GPAPB,A,A,0.03,L,N,V,,,,Fl.W.3s,53.0,T,53.0,T");
    EXPECT_EQ(answer_to(rmb + gga, apb), apb);
    j.show_status();
    EXPECT_TRUE(
        j.findChild<QLabel*>("statut")->text().contains("au pilote : APB, vrai, émetteur GP"))
        << j.findChild<QLabel*>("statut")->text().toStdString();
    EXPECT_FALSE(j.findChild<QLabel*>("statut")->text().contains(why));
    choose(1, 0);
    EXPECT_EQ(record_text(11), "apa");
    const std::string apa = whole("GPAPA,A,A,0.03,L,N,A,A,53.0,T,Fl.W.3s");
    EXPECT_EQ(answer_to(rmb + gga, apa + apa), apa + apa); // after each line, as ever
    EXPECT_EQ(dialogs.messages.size(), 1u);
}
#endif

} // namespace
