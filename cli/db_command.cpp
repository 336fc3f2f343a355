#include "cli/db_command.h"

#include <algorithm>
#include <cctype>
#include <iostream>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string_view>

#include <fmt/format.h>

#include "cli/cli_errors.h"
#include "cli/json_writer.h"
#include "cli/mdb_module.h"
#include "cli/run_inputs.h"
#include "cli/runtime_module.h"
#include "database/legacy_import.h"
#include "database/structure_store.h"
#include "database/user_library.h"
#include "numbers/input_error.h"
#include "numbers/number_text.h"

namespace lamivex::cli {
namespace {

using database::StructureRecord;
using database::StructureStore;
using database::TableKind;

struct DbOptions {
    std::string file;
    bool onlySubstrates = false;
    bool onlyOverlayers = false;
    bool json = false;
    std::string name;
    std::string length1;
    std::string length2;
    std::string angle;
    std::optional<std::string> notes;
    std::string oldFile;
};

// The help of db shows every action with its whole command line and arguments, so that one
// page covers them all: "lamivex-cli db FILE put-substrate NAME A1 A2 ALPHA [OPTIONS]:".
class ActionsInFull : public CLI::Formatter {
  public:
    std::string make_subcommands(const CLI::App* app, CLI::AppFormatMode mode) const override {
        if (app->get_parent() == nullptr || app->get_parent()->get_parent() != nullptr ||
            mode != CLI::AppFormatMode::Normal) {
            return CLI::Formatter::make_subcommands(app, mode);
        }
        std::string out;
        for (const CLI::App* action : app->get_subcommands({})) {
            std::string usage = "lamivex-cli db FILE " + action->get_name();
            bool hasOptions = false;
            for (const CLI::Option* option : action->get_options()) {
                if (option->get_positional()) {
                    std::string name = option->get_name();
                    std::transform(name.begin(), name.end(), name.begin(),
                                   [](unsigned char c) { return std::toupper(c); });
                    usage += " " + name;
                } else if (option != action->get_help_ptr()) {
                    hasOptions = true;
                }
            }
            out += fmt::format("\n{}{}:\n  {}\n\n", usage, hasOptions ? " [OPTIONS]" : "",
                               action->get_description());
            for (const CLI::Option* option : action->get_options()) {
                if (option != action->get_help_ptr()) {
                    out += make_option(option, option->get_positional());
                }
            }
        }
        return out;
    }
};

std::string kindWord(TableKind kind) {
    return kind == TableKind::Substrate ? "substrate" : "overlayer";
}

// The user's own library, made from the starter database beside this program when missing.
std::filesystem::path userLibrary() {
    std::error_code ec;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
    const database::DbResult<std::filesystem::path> library = database::ensureUserLibrary(
        database::starterDatabasePath(ec ? std::filesystem::path(".") : program.parent_path()));
    if (!library.ok()) {
        failFile({}, library.error);
    }
    return library.value;
}

// FILE as given, or the user's library when none was.
std::string databaseFile(const std::string& file) {
    return file.empty() ? userLibrary().string() : file;
}

StructureStore openStore(const std::string& file) {
    database::DbResult<StructureStore> opened = StructureStore::open(databaseFile(file));
    if (!opened.ok()) {
        failFile({}, opened.error);
    }
    return std::move(opened.value);
}

// The records that cannot be read are named on standard error; the rest is still shown.
void reportUnreadable(std::string_view command, const std::vector<std::string>& unreadable) {
    for (const std::string& problem : unreadable) {
        printRefusal(fmt::format("lamivex-cli {}: {}", command, problem));
    }
}

template <typename T>
T valueOrThrow(database::DbResult<T> result) {
    if (!result.ok()) {
        failFile({}, result.error);
    }
    return std::move(result.value);
}

void recordJson(JsonWriter& json, TableKind kind, const StructureRecord& record) {
    const database::TableNames& n = database::tableNames(kind);
    json.string("name", record.name);
    json.number(n.length1, record.length1);
    json.number(n.length2, record.length2);
    json.number(n.angle, record.angle);
    if (record.Notes) {  // left out when the record has no comments
        json.string("notes", *record.Notes);
    }
}

std::vector<TableKind> kindsOf(const DbOptions& options) {
    if (options.onlySubstrates == options.onlyOverlayers) {
        return {TableKind::Substrate, TableKind::Overlayer};
    }
    return {options.onlySubstrates ? TableKind::Substrate : TableKind::Overlayer};
}

// The database and the action that gave the JSON.
void writeDbInputs(JsonWriter& json, const StructureStore& store, const char* action,
                   const DbOptions& options) {
    beginInputs(json);
    json.string("file", store.file().string());
    json.string("action", action);
    if (std::string_view(action) == "show") {
        json.string("name", options.name);
    } else {
        json.boolean("substrates", options.onlySubstrates || !options.onlyOverlayers);
        json.boolean("overlayers", options.onlyOverlayers || !options.onlySubstrates);
    }
    json.endObject();
}

int runList(const DbOptions& options) {
    const StructureStore store = openStore(options.file);
    const std::vector<TableKind> kinds = kindsOf(options);
    if (options.json) {
        JsonWriter json;
        json.beginObject();
        std::vector<std::string> unreadable;
        for (const TableKind kind : kinds) {
            const database::RecordListing listing =
                valueOrThrow(store.listRecords(kind, database::RecordOrder::Name));
            json.beginArray(kind == TableKind::Substrate ? "substrates" : "overlayers");
            for (const StructureRecord& record : listing.readable) {
                json.beginObject();
                recordJson(json, kind, record);
                json.endObject();
            }
            json.endArray();
            unreadable.insert(unreadable.end(), listing.unreadable.begin(),
                              listing.unreadable.end());
        }
        json.beginArray("unreadable");
        for (const std::string& problem : unreadable) {
            json.string({}, problem);
        }
        json.endArray();
        writeDbInputs(json, store, "list", options);
        json.endObject();
        std::cout << json.text() << '\n';
        reportUnreadable("db list", unreadable);
        return 0;
    }
    for (const TableKind kind : kinds) {
        const std::vector<std::string> names = valueOrThrow(store.names(kind));
        if (kinds.size() == 1) {
            for (const std::string& name : names) {
                fmt::print("{}\n", name);
            }
            continue;
        }
        fmt::print("{}:\n", kind == TableKind::Substrate ? "Substrates" : "Overlayers");
        for (const std::string& name : names) {
            fmt::print("  {}\n", name);
        }
    }
    return 0;
}

int runShow(const DbOptions& options) {
    const StructureStore store = openStore(options.file);
    std::vector<std::pair<TableKind, StructureRecord>> found;
    std::vector<std::string> unreadable;
    for (const TableKind kind : {TableKind::Substrate, TableKind::Overlayer}) {
        database::DbResult<std::optional<StructureRecord>> record =
            store.findFirst(kind, options.name);
        if (!record.ok()) {
            unreadable.push_back(record.error);  // the other kind may still be shown
        } else if (record.value) {
            found.emplace_back(kind, std::move(*record.value));
        }
    }
    if (found.empty()) {
        if (!unreadable.empty()) {
            failFile({}, unreadable.front());
        }
        throw std::runtime_error(fmt::format("no substrate or overlayer named '{}' in {}",
                                             options.name, store.file().string()));
    }
    reportUnreadable("db show", unreadable);
    if (options.json) {
        JsonWriter json;
        json.beginObject();
        for (const auto& [kind, record] : found) {
            json.beginObject(kindWord(kind));
            recordJson(json, kind, record);
            json.endObject();
        }
        writeDbInputs(json, store, "show", options);
        json.endObject();
        std::cout << json.text() << '\n';
        return 0;
    }
    bool first = true;
    for (const auto& [kind, record] : found) {
        const database::TableNames& n = database::tableNames(kind);
        const database::LatticeFieldTexts texts = database::fieldTextsOf(record);
        if (!first) {
            fmt::print("\n");
        }
        first = false;
        fmt::print("{}: {}\n", n.table, texts.name);
        fmt::print("  {:<5} = {}\n", n.length1, texts.length1);
        fmt::print("  {:<5} = {}\n", n.length2, texts.length2);
        fmt::print("  {:<5} = {}\n", n.angle, texts.angle);
        fmt::print("  Notes: {}\n", record.Notes.value_or(""));
    }
    return 0;
}

int runPut(const DbOptions& options, TableKind kind) {
    const StructureRecord record = database::recordFromTexts(
        kind, options.name, options.length1, options.length2, options.angle, options.notes);
    StructureStore store = openStore(options.file);
    // Without --notes an overwrite keeps the stored comments.
    const database::PutOutcome outcome =
        valueOrThrow(store.put(kind, record,
                               options.notes ? database::NotesOnOverwrite::Replace
                                             : database::NotesOnOverwrite::KeepStored));
    fmt::print("{} {} '{}'.\n", outcome == database::PutOutcome::Added ? "Added" : "Replaced",
               kindWord(kind), record.name);
    return 0;
}

int runRemove(const DbOptions& options, TableKind kind) {
    StructureStore store = openStore(options.file);
    if (!valueOrThrow(store.removeFirst(kind, options.name))) {
        throw std::runtime_error(fmt::format("no {} named '{}' in {}", kindWord(kind), options.name,
                                             store.file().string()));
    }
    fmt::print("Removed {} '{}'.\n", kindWord(kind), options.name);
    return 0;
}

void requireFile(const DbOptions& options, std::string_view action) {
    if (options.file.empty()) {
        throw std::runtime_error(
            fmt::format("{} needs the database FILE: lamivex-cli db FILE {}", action, action));
    }
}

int runCreate(const DbOptions& options) {
    requireFile(options, "create");
    (void)valueOrThrow(StructureStore::createEmpty(options.file));
    fmt::print("Created the empty structure database {}.\n", options.file);
    return 0;
}

int runImport(const DbOptions& options) {
    requireFile(options, "import-mdb");
    std::error_code ec;
    if (std::filesystem::exists(options.file, ec)) {
        failFile({}, fmt::format("{} already exists; nothing was imported.", options.file));
    }
    using Entry = const MdbModule* (*)();
    const auto* const module =
        reinterpret_cast<Entry>(moduleEntry("lamivex-mdb.so", kMdbModuleEntry, "old"))();
    const database::LegacyTables tables = valueOrThrow(module->readMdbTables(options.oldFile));
    const database::ImportReport report =
        valueOrThrow(database::writeImportedDatabaseTo(options.file, tables));
    for (const std::string& line : report.skipped) {
        fmt::print("Left out: {}\n", line);
    }
    fmt::print("Imported {} substrates and {} overlayers into {}.\n", report.substrates,
               report.overlayers, report.target.string());
    return 0;
}

void addPutCommand(CLI::App& db, const std::shared_ptr<DbOptions>& options, TableKind kind,
                   int& exitStatus) {
    const database::TableNames& n = database::tableNames(kind);
    const std::string word = kindWord(kind);
    CLI::App* put = db.add_subcommand(
        "put-" + word,
        fmt::format("Store {0} {1}; a stored {1} of the same name (letter case ignored) is "
                    "overwritten and takes the new spelling.",
                    kind == TableKind::Substrate ? "a" : "an", word));
    put->add_option("name", options->name, fmt::format("{} name", n.table))
        ->required()
        ->type_name("NAME");
    put->add_option(std::string(n.length1), options->length1,
                    fmt::format("Lattice constant {}, Angstroms", n.length1))
        ->required()
        ->type_name("NUMBER");
    put->add_option(std::string(n.length2), options->length2,
                    fmt::format("Lattice constant {}, Angstroms", n.length2))
        ->required()
        ->type_name("NUMBER");
    put->add_option(std::string(n.angle), options->angle,
                    fmt::format("Angle from {} to {}, degrees", n.length1, n.length2))
        ->required()
        ->type_name("NUMBER");
    put->add_option("--notes", options->notes,
                    "Comments (source, surface); an overwrite without it keeps the stored ones")
        ->type_name("TEXT");
    const std::string command = "db put-" + word;
    put->callback([options, kind, command, &exitStatus] {
        exitStatus = reportErrors(command, [&] { return runPut(*options, kind); });
    });
}

void addRemoveCommand(CLI::App& db, const std::shared_ptr<DbOptions>& options, TableKind kind,
                      int& exitStatus) {
    const std::string word = kindWord(kind);
    CLI::App* remove = db.add_subcommand(
        "remove-" + word,
        fmt::format("Remove the first {0} of that name (letter case ignored); no other record "
                    "is touched.",
                    word));
    remove->add_option("name", options->name, "Name")->required()->type_name("NAME");
    const std::string command = "db remove-" + word;
    remove->callback([options, kind, command, &exitStatus] {
        exitStatus = reportErrors(command, [&] { return runRemove(*options, kind); });
    });
}

}  // namespace

void addDbCommand(CLI::App& app, int& exitStatus) {
    auto options = std::make_shared<DbOptions>();
    CLI::App* db = app.add_subcommand(
        "db", "Work on a structure database: named substrate and overlayer lattices.");
    db->formatter(std::make_shared<ActionsInFull>());
    db->add_option("file", options->file,
                   "Structure database file (.sqlite); without it, your own library "
                   "$XDG_DATA_HOME/lamivex/structures.sqlite (~/.local/share/lamivex/"
                   "structures.sqlite), made from the starter database on first use")
        ->type_name("FILE");
    db->require_subcommand(1);
    db->footer(
        "Names are matched as they are written, ignoring the letter case of A-Z only; "
        "quotes and * ? # [ ] % _ are ordinary characters. Numbers use '.' as the decimal "
        "point. Exit status 2 with one line on standard error when an input is refused or "
        "a name is not found. Without FILE the actions work on your own library, "
        "$XDG_DATA_HOME/lamivex/structures.sqlite (~/.local/share/lamivex/structures.sqlite "
        "when XDG_DATA_HOME is not set), which is first copied from the starter database "
        "share/lamivex/structures.sqlite of the installation; the starter database itself is "
        "never changed. The manual: share/doc/lamivex/manual.md.\n"
        "\n"
        "Examples:\n"
        "  $ lamivex-cli db mine.sqlite create\n"
        "  $ lamivex-cli db mine.sqlite put-substrate \"Si(100)\" 3.84 3.84 90 --notes "
        "\"unreconstructed\"\n"
        "  $ lamivex-cli db mine.sqlite list --json\n"
        "  $ lamivex-cli db show \"Au(111)\"\n"
        "  $ lamivex-cli scan --substrate-from mine.sqlite:\"Si(100)\"");

    CLI::App* list = db->add_subcommand("list", "List the stored names in alphabetical order.");
    list->add_flag("--substrates", options->onlySubstrates, "Only the substrates");
    list->add_flag("--overlayers", options->onlyOverlayers, "Only the overlayers");
    list->add_flag("--json", options->json, "Print whole records as one JSON object");
    list->callback([options, &exitStatus] {
        exitStatus = reportErrors("db list", [&] { return runList(*options); });
    });

    CLI::App* show = db->add_subcommand(
        "show", "Show the substrate and the overlayer of that name (letter case ignored).");
    show->add_option("name", options->name, "Name")->required()->type_name("NAME");
    show->add_flag("--json", options->json, "Print the records as one JSON object");
    show->callback([options, &exitStatus] {
        exitStatus = reportErrors("db show", [&] { return runShow(*options); });
    });

    addPutCommand(*db, options, TableKind::Substrate, exitStatus);
    addPutCommand(*db, options, TableKind::Overlayer, exitStatus);
    addRemoveCommand(*db, options, TableKind::Substrate, exitStatus);
    addRemoveCommand(*db, options, TableKind::Overlayer, exitStatus);

    CLI::App* create = db->add_subcommand("create", "Create FILE as an empty structure database.");
    create->callback([options, &exitStatus] {
        exitStatus = reportErrors("db create", [&] { return runCreate(*options); });
    });

    CLI::App* import = db->add_subcommand(
        "import-mdb",
        "Create FILE as a new structure database holding the records of an older .mdb file, "
        "which is left unchanged.");
    import->add_option("old", options->oldFile, "The Access (.mdb) database file")
        ->required()
        ->type_name("OLD.mdb");
    import->callback([options, &exitStatus] {
        exitStatus = reportErrors("db import-mdb", [&] { return runImport(*options);
});
}  // namespace lamivex::cli
);
}

}  // namespace lamivex::cli
