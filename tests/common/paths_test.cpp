#include <gtest/gtest.h>

#include <set>

#include "common/file_io.h"
#include "common/paths.h"
#include "fakes.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

using namespace marivent;
using marivent::testing::TempRoot;
using marivent::testing::write_bytes;

TEST(Root, OptionThenEnvironmentThenPlatformDefault) {
    EXPECT_EQ(choose_root(std::string("/a"), "/b", "/c").folder, "/a");
    EXPECT_EQ(choose_root(std::nullopt, "/b", "/c").folder, "/b");
    EXPECT_EQ(choose_root(std::nullopt, "", "/c").folder, "/c");
    EXPECT_EQ(choose_root(std::string(""), nullptr, "/c").folder, "/c");
    EXPECT_EQ(choose_root(std::string("/a"), "/b", "/c").origin, RootOrigin::option);
    EXPECT_EQ(choose_root(std::nullopt, "/b", "/c").origin, RootOrigin::environment);
}

TEST(Root, WithoutDriveCTheApplicationDataFolderIsTakenAndNothingIsSaid) {
    const RootChoice c = choose_root(std::nullopt, nullptr, "/home/marin/.local/share/marivent");
    EXPECT_EQ(c.folder, "/home/marin/.local/share/marivent");
    EXPECT_EQ(c.origin, RootOrigin::app_data);
    EXPECT_EQ(c.drive_c, DriveCVerdict::not_asked);
    EXPECT_EQ(root_notice(c), std::nullopt);
}

// Drive C: as the facts of a test make it: the files there, whether it can be written, and how
// often the write probe ran (it creates a file on the user's drive).
struct FakeDriveC {
    std::set<std::string> files;
    bool writable = true;
    int write_probes = 0;
    DriveCProbes probes() {
        return {"C:\\",
                [this](const std::filesystem::path& f) {
                    return files.count(f.filename().string()) > 0;
                },
                [this](const std::filesystem::path&) {
                    ++write_probes;
                    return writable;
                }};
    }
};

const std::filesystem::path local_data = "/Users/marin/AppData/Local/marivent";

RootChoice windows_choice(FakeDriveC& c, const std::optional<std::string>& option = std::nullopt,
                          const char* variable = nullptr) {
    const DriveCProbes probes = c.probes();
    return choose_root(option, variable, local_data, &probes);
}

TEST(WindowsRoot, TheOptionAndTheVariableWinOverDriveCWithoutWritingThere) {
    FakeDriveC c{{"journal.txt", "journlog.txt"}};
    const RootChoice by_option = windows_choice(c, std::string("D:/bord"), "E:/bord");
    EXPECT_EQ(by_option.folder, "D:/bord");
    EXPECT_EQ(by_option.origin, RootOrigin::option);
    const RootChoice by_variable = windows_choice(c, std::nullopt, "E:/bord");
    EXPECT_EQ(by_variable.folder, "E:/bord");
    EXPECT_EQ(by_variable.origin, RootOrigin::environment);
    EXPECT_EQ(c.write_probes, 0);
    EXPECT_EQ(root_notice(by_option), std::nullopt);
    EXPECT_EQ(root_notice(by_variable), std::nullopt);
    // An empty variable is no choice.
    EXPECT_EQ(windows_choice(c, std::string(""), "").origin, RootOrigin::drive_c);
}

TEST(WindowsRoot, DriveCWithTheOlderJournalOrSettingsAndWritableIsKept) {
    for (const char* file : {"journal.txt", "journlog.txt"}) {
        FakeDriveC c{{file}};
        const RootChoice choice = windows_choice(c);
        EXPECT_EQ(choice.folder, "C:\\") << file;
        EXPECT_EQ(choice.origin, RootOrigin::drive_c) << file;
        EXPECT_EQ(c.write_probes, 1) << file;
        EXPECT_EQ(root_notice(choice), std::nullopt) << file; // where the sailor looks
    }
}

TEST(WindowsRoot, DriveCThatCannotBeWrittenGivesTheLocalDataFolderAndSaysWhy) {
    FakeDriveC c{{"journal.txt", "journlog.txt"}, false};
    const RootChoice choice = windows_choice(c);
    EXPECT_EQ(choice.folder, local_data);
    EXPECT_EQ(choice.origin, RootOrigin::app_data);
    EXPECT_EQ(choice.drive_c, DriveCVerdict::not_writable);
    EXPECT_EQ(root_notice(choice), "Journal et préférences dans " + display_path(local_data) +
                                       " (C:\\ n'est pas accessible en écriture).");
}

TEST(WindowsRoot, DriveCWithoutTheOlderFilesIsNeitherTakenNorWritten) {
    FakeDriveC c{{"autoexec.bat", "journal.txt.bak"}};
    const RootChoice choice = windows_choice(c);
    EXPECT_EQ(choice.folder, local_data);
    EXPECT_EQ(choice.drive_c, DriveCVerdict::no_older_files);
    EXPECT_EQ(c.write_probes, 0);
    EXPECT_EQ(root_notice(choice), "Journal et préférences dans " + display_path(local_data) + ".");
}

TEST(FolderWritable, AFileIsCreatedAndRemovedInAFolderThatExists) {
    TempRoot root;
    EXPECT_TRUE(folder_writable(root.path()));
    EXPECT_TRUE(std::filesystem::is_empty(root.path())); // nothing left behind
    const Status missing = folder_writable(root / "absent");
    EXPECT_FALSE(missing);
    EXPECT_EQ(missing.why(), "dossier ou fichier introuvable");
}

TEST(PrepareRoot, AMissingFolderIsCreatedWithItsParents) {
    TempRoot root;
    const RootChoice choice{root / "a" / "b", RootOrigin::option};
    EXPECT_EQ(prepare_root(choice), std::nullopt);
    EXPECT_TRUE(std::filesystem::is_directory(root / "a" / "b"));
    EXPECT_EQ(prepare_root(choice), std::nullopt); // and found again
}

TEST(PrepareRoot, AFolderThatCannotBeMadeIsToldWithWhereItCameFrom) {
    TempRoot root;
    write_bytes(root / "fichier", "x");
    const std::filesystem::path under_a_file = root / "fichier" / "bord";
    const std::string shown = display_path(under_a_file);
    const std::optional<std::string> by_option = prepare_root({under_a_file, RootOrigin::option});
    ASSERT_TRUE(by_option);
#ifndef _WIN32
    EXPECT_EQ(*by_option, "Le dossier " + shown +
                              " (option --root) n'existe pas et ne peut pas être créé (un élément "
                              "du chemin n'est pas un dossier) : le journal et les préférences ne "
                              "peuvent pas y être enregistrés.");
#else
    EXPECT_EQ(by_option->rfind("Le dossier " + shown + " (option --root) n'existe pas", 0), 0u)
        << *by_option;
#endif
    const std::optional<std::string> by_variable =
        prepare_root({under_a_file, RootOrigin::environment});
    ASSERT_TRUE(by_variable);
    EXPECT_EQ(by_variable->rfind("Le dossier " + shown + " (variable MARIVENT_ROOT) n'existe", 0),
              0u)
        << *by_variable;
    const std::optional<std::string> data = prepare_root({under_a_file, RootOrigin::app_data});
    ASSERT_TRUE(data);
    EXPECT_EQ(data->rfind("Le dossier de données " + shown + " n'existe", 0), 0u) << *data;
}

TEST(PrepareRoot, AFolderThatCannotBeWrittenIsToldAndKept) {
    TempRoot root;
    const auto refused = [](const std::filesystem::path&) -> Status {
        return failure("accès refusé");
    };
    const RootChoice named{root.path(), RootOrigin::option};
    EXPECT_EQ(prepare_root(named, refused),
              "Le dossier " + display_path(root.path()) +
                  " (option --root) n'est pas accessible en écriture (accès refusé) : les "
                  "préférences ne peuvent pas y être enregistrées.");
    EXPECT_EQ(prepare_root({root.path(), RootOrigin::drive_c}, refused)
                  ->rfind("Le dossier " + display_path(root.path()) + " n'est pas", 0),
              0u);
}

#ifndef _WIN32
TEST(FolderWritable, TheRightsOfTheFolderDecide) {
    TempRoot root;
    const std::filesystem::path bord = root / "bord";
    std::filesystem::create_directory(bord);
    ::chmod(bord.c_str(), 0555);
    const Status written = folder_writable(bord);
    ::chmod(bord.c_str(), 0755);
    if (written) GTEST_SKIP() << "the superuser writes in any folder";
    EXPECT_EQ(written.why(), "accès refusé");
    EXPECT_TRUE(std::filesystem::is_empty(bord));
}

TEST(NativePath, DriveCLiesUnderRoot) {
    EXPECT_EQ(native_path("/r", "c:\\oziexplorer\\data\\"), "/r/oziexplorer/data");
    EXPECT_EQ(native_path("/r", "C:\\Program Files\\cmapecs\\routes"),
              "/r/Program Files/cmapecs/routes");
    EXPECT_EQ(native_path("/r", "c:/journal.txt"), "/r/journal.txt");
    EXPECT_EQ(native_path("/r", "c:"), "/r");
}

TEST(NativePath, OtherTextsAreNativePathsInUtf8) {
    EXPECT_EQ(native_path("/r", "/home/marin/routes"), "/home/marin/routes");
    EXPECT_EQ(native_path("/r", "/home/marin/d\xE9part").string(), "/home/marin/départ");
}
#else
TEST(NativePath, DriveCIsTheRealDriveOnWindowsWhateverRoot) {
    EXPECT_EQ(display_path(native_path("D:\\bord", "c:\\oziexplorer\\data\\")),
              "C:\\oziexplorer\\data");
    EXPECT_EQ(display_path(native_path("D:\\bord", "d:\\cartes")), "d:\\cartes");
}
#endif

// Windows's rule, tried on every system: the text names the drive itself, ROOT plays no part.
TEST(NativePath, DriveCItselfGivesTheDrivesOwnPath) {
    const auto itself = [](std::string_view text) {
        return display_path(native_path("/r", text, DriveC::itself));
    };
    EXPECT_EQ(itself("c:\\oziexplorer\\data\\"), "C:\\oziexplorer\\data");
    EXPECT_EQ(itself("C:\\Program Files\\cmapecs\\routes"), "C:\\Program Files\\cmapecs\\routes");
    EXPECT_EQ(itself("c:/journal.txt"), "C:\\journal.txt");
    EXPECT_EQ(itself("c:\\\\mes routes//ici\\"), "C:\\mes routes\\ici");
    EXPECT_EQ(itself("c:"), "C:\\");
    EXPECT_EQ(itself("c:\\"), "C:\\");
    EXPECT_EQ(itself("c:\\d\xE9part"), "C:\\départ"); // Windows-1252 in the settings
    // Texts on another drive, or none, are as the other rule takes them.
    for (const char* other : {"d:\\cartes", "/home/marin/routes", "routes"})
        EXPECT_EQ(native_path("/r", other, DriveC::itself),
                  native_path("/r", other, DriveC::under_root))
            << other;
}

} // namespace
