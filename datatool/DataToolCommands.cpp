// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "datatool/DataToolCommands.h"

#include <QCoreApplication>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "datatool/DataToolOptions.h"
#include "datatool/DriftReport.h"
#include "datatool/ProgressLine.h"
#include "datatool/SampleFolder.h"
#include "data/TextFormat.h"
#include "data/Version.h"
#include "sbdb/ProblemSummary.h"
#include "writers/CatalogueFile.h"
#include "writers/DataMarks.h"
#include "writers/EphemerisRun.h"

namespace {

const char* kUsageText =
    "Usage:\n"
    "  nivra-data catalogue --out FILE FILE.json... [--verbose] [--no-wait]\n"
    "      Builds a catalogue (Nivra.db) from SBDB Query API exports; FILE's folder is made\n"
    "      when missing.\n"
    "  nivra-data ephemeris --catalogue FILE --out DIR [--from YEAR --to YEAR] [--spk ID ...]\n"
    "                       [--class CODE] [--two-body] [--threads N] [--shard K/N|slurm]\n"
    "                       [--verbose] [--no-wait]\n"
    "      Writes one DIR/<SPK-ID>.Nvr per star (years 1900-2100, default 2000-2019; every\n"
    "      star, or --class: the stars of an orbit class, 19 near-Earth, 25 potentially\n"
    "      hazardous) and marks those stars as having data in the catalogue. --shard: only\n"
    "      the K-th of N slices of the stars (K from 0; slurm: the task of a Slurm job array\n"
    "      numbered 0 to N - 1), and only their files: the catalogue is not written (mark it\n"
    "      when every shard is done).\n"
    "  nivra-data mark --catalogue FILE --datas DIR [--threads N] [--verbose] [--no-wait]\n"
    "      Marks every star with a complete file in DIR as having data, and takes the mark back\n"
    "      from a star whose file is missing or damaged (each damaged file is named).\n"
    "  nivra-data sample DIR [--force] [--no-wait]\n"
    "      Builds a complete program folder from the built-in SBDB data, in a folder that holds\n"
    "      no catalogue, ephemeris file or picture (--force: whatever it holds).\n"
    "  nivra-data drift --catalogue FILE --spk ID ... [--from YEAR --to YEAR]\n"
    "      For each year, the largest angle between the two-body and the perturbed positions.\n"
    "  nivra-data --help | --version\n"
    "Each command takes the options shown with it, and no other.\n"
    "On a terminal, long runs show one progress line; --verbose prints a line per star (as\n"
    "they always do into a file or a pipe). --threads: how many cores to use (default all).\n"
    "One writer of a catalogue at a time: another one waits for it (--no-wait: fails at once).\n"
    "Exit codes: 0 done; 1 failed, nothing done; 2 bad command line; 3 done, but bodies or\n"
    "stars were left out (each named on standard error); 4 a file could not be written (named).\n";

int Usage(const std::string& problem) {
    std::fprintf(stderr, "nivra-data: %s (see nivra-data --help)\n", problem.c_str());
    return kDataToolUsage;
}

void PrintLine(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

void PrintProblems(const std::vector<std::string>& problems) {
    for (const std::string& problem : problems)
        std::fprintf(stderr, "%s\n", problem.c_str());
}

// How a writer meets another writer of its catalogue: it waits, saying so once, unless told
// --no-wait.
LockWaiting Waiting(const DataToolOptions& options) {
    return {!options.NoWait, [](const std::string& line) {
                std::fprintf(stderr, "nivra-data: %s\n", line.c_str());
            }};
}

// What updates a progress line, when there is one.
std::function<void(std::uint64_t, std::uint64_t)> Progress(std::optional<ProgressLine>& line) {
    if (!line)
        return {};
    return [&line](std::uint64_t done, std::uint64_t total) { line->Update(done, total); };
}

// The exit code of a run that wrote what it could: 4 when something could not be written, 3
// when bodies or stars were left out, 0 when everything asked was done.
int Outcome(const std::vector<std::string>& writeFailures, bool leftOut) {
    if (!writeFailures.empty())
        return kDataToolNotWritten;
    return leftOut ? kDataToolPartly : kDataToolDone;
}

int Catalogue(const DataToolOptions& options) {
    if (options.Out.empty() || options.Files.empty())
        return Usage("catalogue needs --out FILE and at least one FILE.json");
    for (const std::string& file : options.Files) {
        std::error_code notThere;
        if (std::filesystem::equivalent(options.Out, file, notThere))
            return Usage("--out " + options.Out + " is the export " + file + " itself");
    }
    const std::filesystem::path folder = std::filesystem::path(options.Out).parent_path();
    if (!folder.empty()) {
        std::error_code made;
        std::filesystem::create_directories(folder, made);
        if (!std::filesystem::is_directory(folder)) {
            std::fprintf(stderr, "nivra-data: cannot create %s: %s\n", folder.c_str(),
                         made ? made.message().c_str() : "not a folder");
            return kDataToolNotWritten;
        }
    }
    ProblemSummary problems;
    std::optional<ProgressLine> progress;
    if (ProgressLine::OnTerminal(stdout))
        progress.emplace(stdout, "reading the exports", ProgressLine::Unit::Bytes);
    const CatalogueFileOutcome built = WriteCatalogueFromExports(
        options.Out, options.Files, (folder.empty() ? "." : folder.string()) + "/Datas",
        [&](ProblemKind kind, const std::string& line, const std::string& reason) {
            problems.Add(kind, line, reason);
        },
        Waiting(options), Progress(progress));
    if (progress)
        progress->Clear();
    PrintProblems(problems.Lines());
    using Result = CatalogueFileOutcome::Result;
    switch (built.Outcome) {
        case Result::FileError:
        case Result::NoBody:
            std::fprintf(stderr, "nivra-data: %s not written: %s\n", options.Out.c_str(),
                         built.Outcome == Result::FileError
                             ? "a file could not be read as an SBDB export"
                             : "no body could be loaded");
            return kDataToolFailed;
        case Result::CannotRead:
            std::fprintf(stderr, "nivra-data: %s; %s not written\n", built.Error.c_str(),
                         options.Out.c_str());
            return kDataToolFailed;
        case Result::CannotWrite:
            std::fprintf(stderr, "nivra-data: %s\n", built.Error.c_str());
            return kDataToolNotWritten;
        case Result::Written:
            break;
    }
    std::printf("%s: %zu stars (%zu with an ephemeris file), %zu orbit classes\n",
                options.Out.c_str(), built.Stars, built.StarsWithFiles, built.Classes);
    const std::size_t leftOut =
        problems.Count(ProblemKind::Refused) + problems.Count(ProblemKind::WithoutSpkId);
    const std::size_t unknown = problems.Count(ProblemKind::Note);
    if (leftOut + unknown > 0) {
        std::fprintf(stderr, "%s left out, %s left unknown (named above)\n",
                     CountText(leftOut, "body", "bodies").c_str(),
                     CountText(unknown, "value", "values").c_str());
        return kDataToolPartly;
    }
    return kDataToolDone;
}

int Ephemeris(const DataToolOptions& options) {
    if (options.Catalogue.empty() || options.Out.empty() || !options.Files.empty()) {
        return Usage("ephemeris needs --catalogue FILE and --out DIR");
    }
    EphemerisRun run;
    run.CataloguePath = options.Catalogue;
    run.OutFolder = options.Out;
    run.FirstYear = options.From;
    run.LastYear = options.To;
    run.SpkIds = options.Spk;
    run.Model = options.TwoBody ? OrbitModel::TwoBody : OrbitModel::Perturbed;
    run.Threads = options.Threads;
    run.OrbitClass = options.OrbitClass;
    run.Part = options.Part;
    run.Waiting = Waiting(options);
    std::optional<ProgressLine> progress;
    if (!options.Verbose && ProgressLine::OnTerminal(stdout))
        progress.emplace(stdout, "ephemeris", ProgressLine::Unit::Stars);
    run.Advanced = Progress(progress);
    EphemerisRunReport report;
    std::string error;
    const bool ok = RunEphemeris(run, report, error, progress ? nullptr : PrintLine);
    if (progress)
        progress->Clear();
    PrintProblems(report.Problems);
    PrintProblems(report.WriteFailures);
    if (!ok) {
        std::fprintf(stderr, "nivra-data: %s\n", error.c_str());
        return kDataToolFailed;
    }
    if (options.Part) {
        std::printf("shard %u/%u: ", options.Part->Index, options.Part->Count);
    }
    std::printf("%s, %lld records in %.2f s (%.0f records per second)\n",
                CountText(static_cast<std::size_t>(report.FilesWritten), "file", "files").c_str(),
                report.Records, report.Seconds,
                report.Seconds > 0 ? report.Records / report.Seconds : 0.0);
    return Outcome(report.WriteFailures, !report.Problems.empty());
}

int Mark(const DataToolOptions& options) {
    if (options.Catalogue.empty() || options.Datas.empty() || !options.Files.empty())
        return Usage("mark needs --catalogue FILE and --datas DIR");
    DataMarkReport report;
    std::string error;
    std::optional<ProgressLine> progress;
    if (!options.Verbose && ProgressLine::OnTerminal(stdout))
        progress.emplace(stdout, "mark", ProgressLine::Unit::Stars);
    const bool ok = MarkFromDisk(options.Catalogue, options.Datas, report, error,
                                 static_cast<unsigned>(options.Threads), Waiting(options),
                                 Progress(progress));
    if (progress)
        progress->Clear();
    PrintProblems(report.Damaged);
    if (!ok) {
        std::fprintf(stderr, "nivra-data: %s\n", error.c_str());
        return report.CannotWrite ? kDataToolNotWritten : kDataToolFailed;
    }
    std::printf(
        "%s: %zu of %s marked as having a complete file (%zu newly); marks taken back: %s "
        "missing, %zu damaged; %s\n",
        options.Catalogue.c_str(), report.Marked, CountText(report.Stars, "star", "stars").c_str(),
        report.NewlyMarked, CountText(report.Missing, "file", "files").c_str(),
        report.DamagedUnmarked, report.Changed ? "catalogue written" : "nothing to change");
    return report.Damaged.empty() ? kDataToolDone : kDataToolPartly;
}

int Sample(const DataToolOptions& options) {
    if (options.Files.size() != 1)
        return Usage("sample needs one folder");
    SampleReport report;
    std::string error;
    const bool ok = BuildSampleFolder(options.Files[0], report, error, PrintLine,
                                      SampleOptions{options.Force, Waiting(options)});
    if (report.WithoutSpkId > 0) {
        // The shipped exports' comets and unnumbered asteroids, by design: no exit code of their
        // own.
        std::fprintf(stderr, "%s without an SPK-ID left out of the catalogue\n",
                     CountText(static_cast<std::size_t>(report.WithoutSpkId), "body", "bodies")
                         .c_str());
    }
    PrintProblems(report.Problems);
    PrintProblems(report.WriteFailures);
    if (!ok) {
        std::fprintf(stderr, "nivra-data: %s\n", error.c_str());
        return kDataToolFailed;
    }
    if (!report.WriteFailures.empty())
        return kDataToolNotWritten;
    std::printf("%s: %d stars in the catalogue, %d ephemeris files (%lld records in %.2f s)\n",
                options.Files[0].c_str(), report.Stars, report.EphemerisFiles, report.Records,
                report.EphemerisSeconds);
    return Outcome(report.WriteFailures, !report.Problems.empty());
}

int Drift(const DataToolOptions& options) {
    if (options.Catalogue.empty() || options.Spk.empty())
        return Usage("drift needs --catalogue FILE and --spk ID");
    std::vector<EphemerisStar> stars;
    std::vector<std::string> problems;
    std::string error;
    if (!ReadEphemerisStars(options.Catalogue, options.Spk, stars, problems, error)) {
        std::fprintf(stderr, "nivra-data: %s\n", error.c_str());
        return kDataToolFailed;
    }
    PrintProblems(problems);
    for (const EphemerisStar& star : stars) {
        std::string failure;
        const std::vector<YearDrift> drift = MeasureDrift(star, options.From, options.To, failure);
        if (!failure.empty()) {
            std::fprintf(stderr, "%u %s: %s\n", star.SpkId, star.Name.c_str(), failure.c_str());
            problems.push_back(failure);
            continue;
        }
        std::printf(
            "%u %s (elements of JD %.1f): largest two-body minus perturbed angle per year, "
            "arcseconds\n",
            star.SpkId, star.Name.c_str(), star.Elements.Epoch);
        for (const YearDrift& year : drift)
            std::printf("  %d %10.1f\n", year.Year, year.MaxArcseconds);
    }
    if (stars.empty())
        return kDataToolFailed;
    return problems.empty() ? kDataToolDone : kDataToolPartly;
}

}  // namespace

int RunDataTool(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.empty())
        return Usage("a command is needed: catalogue, ephemeris, mark, sample or drift");
    for (const std::string& argument : arguments) {
        if (argument == "--help" || argument == "-h") {
            std::fputs(kUsageText, stdout);
            return kDataToolDone;
        }
        if (argument == "--version") {
            std::printf("nivra-data %s\n", kNivraVersion);
            return kDataToolDone;
        }
    }
    const std::string command = arguments[0];
    const DataToolOptions options = ParseDataToolOptions({arguments.begin() + 1, arguments.end()});
    if (!options.Error.empty())
        return Usage(options.Error);
    // Each command takes the options its usage lists, and no other: one it would not use is
    // refused rather than left unheeded.
    static const std::map<std::string, std::set<std::string>> kTaken = {
        {"catalogue", {"--out", "--verbose", "--no-wait"}},
        {"ephemeris",
         {"--catalogue", "--out", "--from", "--to", "--spk", "--class", "--two-body", "--threads",
          "--shard", "--verbose", "--no-wait"}},
        {"mark", {"--catalogue", "--datas", "--threads", "--verbose", "--no-wait"}},
        {"sample", {"--force", "--no-wait"}},
        {"drift", {"--catalogue", "--spk", "--from", "--to"}},
    };
    if (const auto taken = kTaken.find(command); taken != kTaken.end()) {
        for (const std::string& option : options.Given) {
            if (!taken->second.count(option))
                return Usage(command + " takes no " + option);
        }
    }
    if (command == "catalogue")
        return Catalogue(options);
    if (command == "ephemeris")
        return Ephemeris(options);
    if (command == "sample")
        return Sample(options);
    if (command == "mark")
        return Mark(options);
    if (command == "drift")
        return Drift(options);
    return Usage("unknown command \"" + command + "\"");
}
