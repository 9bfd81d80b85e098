// What the sub-commands of marivent-convert share: messages on the error output, the
// replacement question answered by --force, and the sub-commands themselves.
#pragma once
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "common/seams.h"

namespace marivent::cli {

// Messages on the error output; the replacement question answered by --force.
class ConsoleDialogs : public Dialogs {
  public:
    explicit ConsoleDialogs(bool force) : force_(force) {}
    void message(std::string_view text, std::string_view) override;
    bool ask_yes_no(std::string_view, std::string_view, std::string_view) override {
        return force_;
    }

  private:
    bool force_;
};

// "marivent-convert : TEXT (voir --help)" on the error output; returns the usage exit code 2.
int usage_error(const std::string& text);

// "marivent-convert : TEXT" on the error output.
void say_error(const std::string& text);

// That `file` was not replaced without --force; `more` when files after it are not written either.
void say_not_replaced(const std::filesystem::path& file, bool more);

// ozi2cmap and cmap2ozi (`args[0]`, with the options after it); the exit code.
int transfer_command(const std::vector<std::string_view>& args);

// journal2gpx, journal2csv and journal2pdf (`args[0]`, with the options after it); the exit code.
enum class JournalExport { gpx, csv, pdf };
int journal_command(JournalExport kind, const std::vector<std::string_view>& args);

// journal-verifier: the journal checked against its seal; 0 when intact, else 1.
int seal_command(const std::vector<std::string_view>& args);

} // namespace marivent::cli
