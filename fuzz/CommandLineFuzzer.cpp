// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Fuzzes how the three programs read their command lines: nivra (the viewer's options, and the
// options of its subcommands info, stars and export), nivra-data (its options; the subcommand
// itself is never run, as every one of them reads or writes files) and nivra-launcher. The
// arguments are laid out as the system hands them to a program (each in a block of its own,
// ended by a zero, after the program's name) and turned into the parsers' arguments as each
// program's main does.
//
// Besides crashes and reads outside the arguments, it checks that a line is refused with a
// reason or accepted, and that an accepted line means what it says: the options read back from
// the result, written out again in another of the accepted forms, read the same.
//
// An input is a byte of choices, then the arguments, each ended by a zero byte (the last one may
// go without). The choices byte, bits 0-1: the program (0 nivra, 1 nivra-data, 2 nivra-launcher,
// 3 all three in turn); bits 2-4: the Slurm job array task nivra-data's "--shard slurm" reads
// (kSlurmTasks).

#include <QMap>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/CommandLine.h"
#include "cli/ExportCommand.h"
#include "cli/Options.h"
#include "cli/Subcommand.h"
#include "cli/SubcommandList.h"
#include "datatool/DataToolOptions.h"
#include "ephemeris/EphemerisComputation.h"
#include "fuzz/FuzzSupport.h"
#include "gui/Launcher.h"

namespace {

// SLURM_ARRAY_TASK_ID and SLURM_ARRAY_TASK_COUNT as a job array task may find them (null:
// unset): a task of a whole array, the last one, out of range, not numbers, blank, huge.
struct SlurmTask {
    const char* Id;
    const char* Count;
};
constexpr std::array<SlurmTask, 8> kSlurmTasks = {{{nullptr, nullptr},
                                                   {"0", "1"},
                                                   {"7", "8"},
                                                   {"-1", "4"},
                                                   {"abc", ""},
                                                   {"8", "8"},
                                                   {"4294967296", "4294967297"},
                                                   {" 1", "2 "}}};

// A command line as the system hands it to main: every argument a block of its own, ended by a
// zero, so that a read past one is caught; argv[argc] is null.
class ArgumentVector {
  public:
    ArgumentVector(const char* program, const std::vector<std::string>& arguments) {
        Add(program);
        for (const std::string& argument : arguments) {
            Add(argument);
        }
        pointers_.push_back(nullptr);
    }
    int Count() const { return static_cast<int>(blocks_.size()); }
    char** Values() { return pointers_.data(); }

  private:
    void Add(const std::string& text) {
        auto block = std::make_unique<char[]>(text.size() + 1);
        std::copy(text.begin(), text.end(), block.get());
        block[text.size()] = '\0';
        pointers_.push_back(block.get());
        blocks_.push_back(std::move(block));
    }

    std::vector<std::unique_ptr<char[]>> blocks_;
    std::vector<char*> pointers_;
};

// The arguments after the program's name, as nivra's and nivra-launcher's main read them.
QStringList QtArguments(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    return arguments;
}

bool AsksForHelp(const QStringList& arguments) {
    return arguments.contains("-h") || arguments.contains("--help");
}

bool AsksForVersion(const QStringList& arguments) {
    return arguments.contains("--version");
}

// Standard output and error go nowhere while a parser that prints its usage runs: every refused
// line would print it. Only the C streams are swapped, so a sanitizer's report (written to the
// file descriptor) still shows.
class QuietStreams {
  public:
    QuietStreams() {
        static std::FILE* nowhere = std::fopen("/dev/null", "w");
        FuzzCheck(nowhere != nullptr, "/dev/null opens");
        out_ = stdout;
        error_ = stderr;
        stdout = nowhere;
        stderr = nowhere;
    }
    ~QuietStreams() {
        stdout = out_;
        stderr = error_;
    }
    QuietStreams(const QuietStreams&) = delete;
    QuietStreams& operator=(const QuietStreams&) = delete;

  private:
    std::FILE* out_;
    std::FILE* error_;
};

// ---------------------------------------------------------------------------------------------
// nivra: the viewer

bool SameLine(const CommandLine& a, const CommandLine& b) {
    return a.Action == b.Action && a.Folder == b.Folder && a.Verbose == b.Verbose &&
           a.Star == b.Star;
}

// An accepted viewer line, written out in both forms of every option, in two orders.
void CheckViewerRoundTrip(const CommandLine& line) {
    QStringList separate;
    QStringList joined;
    if (line.Folder) {
        separate << "--folder" << *line.Folder;
        joined.prepend("--folder=" + *line.Folder);
    }
    if (line.Star) {
        separate << "--star" << QString::number(*line.Star);
        joined.prepend("--star=" + QString::number(*line.Star));
    }
    if (line.Verbose) {
        separate << "--verbose";
        joined.prepend("--verbose");
    }
    FuzzCheck(
        SameLine(ParseCommandLine(separate), line) && SameLine(ParseCommandLine(joined), line),
        "an accepted viewer line reads the same written out again");
}

void CheckViewer(const QStringList& arguments) {
    const CommandLine line = ParseCommandLine(arguments);
    FuzzCheck((line.Action == CommandLine::Mode::Error) == !line.Error.isEmpty(),
              "a viewer line is refused exactly when there is a reason");
    if (line.Action == CommandLine::Mode::Help || line.Action == CommandLine::Mode::Version) {
        FuzzCheck(line.Action == CommandLine::Mode::Help ? AsksForHelp(arguments)
                                                         : AsksForVersion(arguments),
                  "the viewer's usage or version is asked for");
        return;
    }
    if (line.Action != CommandLine::Mode::Viewer) {
        return;
    }
    FuzzCheck(!line.Folder || !line.Folder->isEmpty(), "an accepted folder is named");
    FuzzCheck(!line.Star || *line.Star != 0, "an accepted star is an SPK-ID");
    CheckViewerRoundTrip(line);
    // Nothing on an accepted line is ignored: without any one of its arguments it is refused or
    // reads otherwise.
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QStringList shorter = arguments;
        shorter.removeAt(i);
        FuzzCheck(!SameLine(ParseCommandLine(shorter), line),
                  "every argument of an accepted viewer line counts");
    }
}

// ---------------------------------------------------------------------------------------------
// nivra info and nivra stars: options read against the rules their usage gives

// ParseOptions read back: every option written "--name=value" or as two arguments, in reverse.
void CheckOptionsRoundTrip(const ParsedOptions& options, const std::vector<OptionRule>& rules) {
    QStringList joined;
    QStringList separate;
    for (auto value = options.Values.constBegin(); value != options.Values.constEnd(); ++value) {
        joined << "--" + value.key() + "=" + value.value();
        separate.prepend(value.value());
        separate.prepend("--" + value.key());
    }
    for (const QStringList& written : {joined, separate}) {
        const ParsedOptions again = ParseOptions(written, rules);
        FuzzCheck(again.Error.isEmpty() && !again.Help && again.Values == options.Values,
                  "accepted options read the same written out again");
    }
}

void CheckSubcommandOptions(const Subcommand& command, const QStringList& arguments,
                            const std::vector<OptionRule>& rules, const QStringList& required) {
    int exitCode = -1;
    std::optional<ParsedOptions> options;
    {
        const QuietStreams quiet;
        options = ReadSubcommandOptions(command, arguments, rules, required, exitCode);
    }
    if (!options) {
        FuzzCheck(exitCode == 0 || exitCode == 2, "a subcommand that ends at once exits 0 or 2");
        FuzzCheck(exitCode == 2 || AsksForHelp(arguments), "a subcommand's usage is asked for");
        return;
    }
    for (const QString& name : required) {
        FuzzCheck(options->Has(name), "every required option is given");
    }
    for (auto value = options->Values.constBegin(); value != options->Values.constEnd(); ++value) {
        FuzzCheck(!value.value().isEmpty(), "every option given has a value");
        FuzzCheck(std::any_of(rules.begin(), rules.end(),
                              [&](const OptionRule& rule) { return rule.Name == value.key(); }),
                  "every option given is one of the subcommand's");
    }
    CheckOptionsRoundTrip(*options, rules);
    if (options->Has("star")) {
        const QString text = options->Value("star");
        QString error;
        const std::optional<std::uint32_t> id = ParseStarOption("--star", text, error);
        FuzzCheck(id ? *id != 0 && text.size() <= 10 : !error.isEmpty(),
                  "a star is an SPK-ID of at most ten digits, or refused with a reason");
        FuzzCheck(!id || ParseSpkId(QString::number(*id)) == id,
                  "an SPK-ID reads the same written out again");
    }
}

// ---------------------------------------------------------------------------------------------
// nivra export

constexpr std::array<const char*, 2> kLookNames = {"save", "export"};
constexpr std::array<const char*, 5> kKindNames = {"constellations", "perihelion", "travel", "view",
                                                   "years"};
constexpr std::array<const char*, 4> kFrameNames = {"astrometric", "earth", "galactic",
                                                    "geometric"};

bool SameRequest(const ExportRequest& a, const ExportRequest& b) {
    return a.Folder == b.Folder && a.Star == b.Star && a.Year == b.Year && a.Looks == b.Looks &&
           a.Kinds == b.Kinds && a.Frames == b.Frames && a.Format == b.Format;
}

// Values chosen from a menu: at least one, each once, in menu order.
template <typename Value>
bool InMenuOrder(const std::vector<Value>& chosen, std::size_t menuSize) {
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        const auto at = static_cast<std::size_t>(chosen[i]);
        if (at >= menuSize || (i > 0 && at <= static_cast<std::size_t>(chosen[i - 1]))) {
            return false;
        }
    }
    return !chosen.empty();
}

// The value of a menu option: the one item chosen, or the word for all of them.
template <typename Value, std::size_t N>
QString MenuValue(const std::vector<Value>& chosen, const std::array<const char*, N>& names,
                  const char* all) {
    return chosen.size() == N ? QString(all) : QString(names[static_cast<std::size_t>(chosen[0])]);
}

void CheckExport(const QStringList& arguments) {
    QString error;
    const std::optional<ExportRequest> request = ParseExportRequest(arguments, error);
    if (!request) {
        FuzzCheck(!error.isEmpty(), "a refused export says why");
        return;
    }
    FuzzCheck(request->Star != 0, "an export names its star");
    FuzzCheck(request->Year == 0 || (request->Year > 1900 && request->Year <= 2019),
              "an export's year is one the year selector offers");
    FuzzCheck(InMenuOrder(request->Looks, kLookNames.size()) &&
                  InMenuOrder(request->Kinds, kKindNames.size()) &&
                  InMenuOrder(request->Frames, kFrameNames.size()),
              "looks, kinds and frames come each once, in menu order");
    FuzzCheck(request->Format == ChartFileFormat::Jpeg || request->Format == ChartFileFormat::Png,
              "an export writes JPEG or PNG");

    // Written out again: as two arguments each in lower case, and joined in upper case in the
    // reverse order (names are read without regard to case). Without a folder, the viewer's.
    QStringList options = {
        "--star",   QString::number(request->Star),
        "--year",   QString::number(request->Year == 0 ? 1900 : request->Year),
        "--look",   MenuValue(request->Looks, kLookNames, "both"),
        "--kind",   MenuValue(request->Kinds, kKindNames, "all"),
        "--frame",  MenuValue(request->Frames, kFrameNames, "all"),
        "--format", request->Format == ChartFileFormat::Png ? "png" : "jpeg",
    };
    QStringList joined;
    for (qsizetype i = 0; i < options.size(); i += 2) {
        joined.prepend(options[i] + "=" + options[i + 1].toUpper());
    }
    if (!request->Folder.isEmpty()) {
        // A path keeps its case.
        options << "--folder" << request->Folder;
        joined << "--folder=" + request->Folder;
    }
    for (const QStringList& written : {options, joined}) {
        QString again;
        const std::optional<ExportRequest> read = ParseExportRequest(written, again);
        FuzzCheck(read && SameRequest(*read, *request),
                  "an accepted export reads the same written out again");
    }
}

void CheckNivra(const QStringList& arguments) {
    const Subcommand* command = arguments.isEmpty() ? nullptr : FindSubcommand(arguments.front());
    if (command == nullptr) {
        CheckViewer(arguments);
        return;
    }
    FuzzCheck(arguments.front() == QLatin1String(command->Name),
              "a subcommand is found by its own name");
    const QStringList rest = arguments.mid(1);
    const QString name = QLatin1String(command->Name);
    if (name == "export") {
        CheckExport(rest);
    } else if (name == "info") {
        // info and stars keep their option rules to themselves (and run start-up once the
        // options are read): these are the options their usage names.
        CheckSubcommandOptions(*command, rest, {{"folder"}, {"star"}}, {"star"});
    } else if (name == "stars") {
        CheckSubcommandOptions(*command, rest, {{"folder"}, {"sort"}}, {});
    }
}

// ---------------------------------------------------------------------------------------------
// nivra-data

std::string ShardText(const Shard& part) {
    return std::to_string(part.Index) + "/" + std::to_string(part.Count);
}

bool SameOptions(const DataToolOptions& a, const DataToolOptions& b) {
    return a.Out == b.Out && a.Catalogue == b.Catalogue && a.From == b.From && a.To == b.To &&
           a.Spk == b.Spk && a.Files == b.Files && a.TwoBody == b.TwoBody && a.NoWait == b.NoWait &&
           a.Force == b.Force && a.Verbose == b.Verbose && a.Threads == b.Threads &&
           a.OrbitClass == b.OrbitClass && a.Part.has_value() == b.Part.has_value() &&
           (!a.Part || (a.Part->Index == b.Part->Index && a.Part->Count == b.Part->Count)) &&
           a.Datas == b.Datas && a.Error == b.Error;
}

// The options read back, written out again: the files first, then every option with a value,
// as two arguments or `joined` ("--name=value"), and the SPK-IDs last (they run on to the next
// option).
std::vector<std::string> WrittenOut(const DataToolOptions& options, bool joined) {
    std::vector<std::string> line = options.Files;
    const auto add = [&](const char* name, const std::string& value) {
        if (joined) {
            line.push_back(std::string(name) + "=" + value);
        } else {
            line.push_back(name);
            line.push_back(value);
        }
    };
    if (!options.Out.empty())
        add("--out", options.Out);
    if (!options.Catalogue.empty())
        add("--catalogue", options.Catalogue);
    add("--from", std::to_string(options.From));
    add("--to", std::to_string(options.To));
    if (options.OrbitClass)
        add("--class", std::to_string(*options.OrbitClass));
    if (options.Part)
        add("--shard", ShardText(*options.Part));
    if (!options.Datas.empty())
        add("--datas", options.Datas);
    for (const auto& [set, name] : {std::pair{options.TwoBody, "--two-body"},
                                    {options.NoWait, "--no-wait"},
                                    {options.Force, "--force"},
                                    {options.Verbose, "--verbose"}}) {
        if (set)
            line.push_back(name);
    }
    if (options.Threads != 0)
        add("--threads", std::to_string(options.Threads));
    if (!options.Spk.empty()) {
        add("--spk", std::to_string(options.Spk.front()));
        for (std::size_t i = 1; i < options.Spk.size(); ++i)
            line.push_back(std::to_string(options.Spk[i]));
    }
    return line;
}

void CheckDataTool(const std::vector<std::string>& arguments) {
    // argv[1] names the subcommand; its options follow.
    if (arguments.empty()) {
        return;
    }
    const DataToolOptions options = ParseDataToolOptions({arguments.begin() + 1, arguments.end()});
    if (!options.Error.empty()) {
        return;
    }
    FuzzCheck(options.From >= kFirstEphemerisYear && options.From <= options.To &&
                  options.To <= kLastEphemerisYear,
              "the years run forward inside the ephemeris range");
    for (const std::uint32_t id : options.Spk) {
        FuzzCheck(id != 0, "every SPK-ID is one");
    }
    FuzzCheck(options.Threads == 0 || (options.Threads >= 1 && options.Threads <= 1024),
              "the thread count is 1 to 1024");
    FuzzCheck(!options.Part || (options.Part->Count >= 1 && options.Part->Count <= 1'000'000 &&
                                options.Part->Index < options.Part->Count),
              "a shard is one of 1 to 1,000,000");
    for (const std::string& file : options.Files) {
        FuzzCheck(file.rfind("--", 0) != 0, "no option is taken for a file");
    }
    for (const bool joined : {false, true}) {
        FuzzCheck(SameOptions(ParseDataToolOptions(WrittenOut(options, joined)), options),
                  "accepted nivra-data options read the same written out again");
    }
}

// ---------------------------------------------------------------------------------------------
// nivra-launcher

bool SameLauncherLine(const LauncherCommandLine& a, const LauncherCommandLine& b) {
    return a.Action == b.Action && a.Folder == b.Folder && a.PrepareOnly == b.PrepareOnly;
}

void CheckLauncher(const QStringList& arguments) {
    const LauncherCommandLine line = ParseLauncherArguments(arguments);
    FuzzCheck((line.Action == LauncherCommandLine::Mode::Error) == !line.Error.isEmpty(),
              "a launcher line is refused exactly when there is a reason");
    if (line.Action == LauncherCommandLine::Mode::Help ||
        line.Action == LauncherCommandLine::Mode::Version) {
        FuzzCheck(line.Action == LauncherCommandLine::Mode::Help ? AsksForHelp(arguments)
                                                                 : AsksForVersion(arguments),
                  "the launcher's usage or version is asked for");
        return;
    }
    if (line.Action != LauncherCommandLine::Mode::Run) {
        return;
    }
    FuzzCheck(!line.Folder || !line.Folder->isEmpty(), "an accepted folder is named");
    // Written out again: the folder joined to its option, and (when it does not look like an
    // option itself, which the launcher refuses there) as the argument after it.
    QStringList joined;
    QStringList separate;
    if (line.PrepareOnly) {
        joined << "--prepare-only";
        separate << "--prepare-only";
    }
    if (line.Folder) {
        joined.prepend("--folder=" + *line.Folder);
        separate << "--folder" << *line.Folder;
    }
    FuzzCheck(SameLauncherLine(ParseLauncherArguments(joined), line) &&
                  ((line.Folder && line.Folder->startsWith('-')) ||
                   SameLauncherLine(ParseLauncherArguments(separate), line)),
              "an accepted launcher line reads the same written out again");
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QStringList shorter = arguments;
        shorter.removeAt(i);
        FuzzCheck(!SameLauncherLine(ParseLauncherArguments(shorter), line),
                  "every argument of an accepted launcher line counts");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const unsigned program = data[0] & 3u;
    const SlurmTask& task = kSlurmTasks[(data[0] >> 2) & 7u];
    std::vector<std::string> arguments;
    std::string argument;
    for (std::size_t i = 1; i < size; ++i) {
        if (data[i] == 0) {
            arguments.push_back(argument);
            argument.clear();
        } else {
            argument += static_cast<char>(data[i]);
        }
    }
    if (!argument.empty()) {
        arguments.push_back(argument);
    }

    if (program == 0 || program == 3) {
        ArgumentVector argv("nivra", arguments);
        CheckNivra(QtArguments(argv.Count(), argv.Values()));
    }
    if (program == 1 || program == 3) {
        for (const auto& [name, value] :
             {std::pair{"SLURM_ARRAY_TASK_ID", task.Id}, {"SLURM_ARRAY_TASK_COUNT", task.Count}}) {
            if (value == nullptr) {
                unsetenv(name);
            } else {
                setenv(name, value, 1);
            }
        }
        ArgumentVector argv("nivra-data", arguments);
        CheckDataTool(std::vector<std::string>(argv.Values() + 1, argv.Values() + argv.Count()));
    }
    if (program == 2 || program == 3) {
        ArgumentVector argv("nivra-launcher", arguments);
        CheckLauncher(QtArguments(argv.Count(), argv.Values()));
    }
    return 0;
}
