// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "datatool/SampleFolder.h"

#include <unistd.h>

#include <QString>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <set>

#include "datatool/SamplePictures.h"
#include "data/ProgramFolderContents.h"
#include "drawing/Imaging.h"
#include "sbdb/ShippedExports.h"
#include "writers/CatalogueFile.h"
#include "writers/AtomicFile.h"
#include "writers/EphemerisRun.h"

const std::vector<SampleStar>& SampleStars() {
    static const std::vector<SampleStar> stars = {
        {2000001, "Ceres, the dwarf planet of the main belt"},
        {2000002, "Pallas, steeply inclined"},
        {2000003, "Juno"},
        {2000004, "Vesta, the brightest asteroid"},
        {2000006, "Hebe"},
        {2000008, "Flora"},
        {2000009, "Metis"},
        {2000010, "Hygiea"},
        {2000016, "Psyche, a metal world"},
        {2000021, "Lutetia, seen by Rosetta"},
        {2000031, "Euphrosyne"},
        {2000216, "Kleopatra"},
        {2000243, "Ida, seen by Galileo"},
        {2000433, "Eros, the first near-Earth asteroid found"},
        {2001036, "Ganymed, the largest near-Earth asteroid"},
        {2000132, "Aethra, a Mars-crosser"},
        {2000323, "Brucia, a Mars-crosser"},
        {2000434, "Hungaria, of the inner edge of the belt"},
        {2000153, "Hilda, in 3:2 resonance with Jupiter"},
        {2000190, "Ismene, a Hilda"},
        {2000334, "Chicago, a Hilda"},
        {2000087, "Sylvia, of the outer belt"},
        {2000588, "Achilles, the first Jupiter Trojan"},
        {2000624, "Hektor, the largest Trojan"},
        {2000617, "Patroclus, a Trojan of the trailing camp"},
        {2000911, "Agamemnon, a Trojan"},
        {2001172, "Aneas, a Trojan"},
        {2002060, "Chiron, the first Centaur"},
        {2005145, "Pholus, a Centaur"},
        {2010199, "Chariklo, a Centaur with rings"},
        {2007066, "Nessus, a Centaur"},
        {2134340, "Pluto"},
        {2136199, "Eris"},
        {2136108, "Haumea"},
        {2136472, "Makemake"},
        {2050000, "Quaoar"},
        {2090377, "Sedna, far beyond Neptune"},
        {2090482, "Orcus, a plutino"},
        {2486958, "Arrokoth, seen by New Horizons"},
        {2020000, "Varuna"},
    };
    return stars;
}

namespace {

// Writes `image` as the JPEG file `path` in one step.
bool WritePicture(const std::string& path, const QImage& image, std::string& error) {
    const Imaging::SaveParams jpeg = Imaging::ChartImageSaveParams();
    return ReplaceFileAtomically(
        path,
        [&](const std::string& temporary, std::string& why) {
            if (Imaging::SaveJpeg(QString::fromStdString(temporary), image, jpeg) == 0)
                return true;
            why = "the picture could not be written";
            return false;
        },
        error);
}

}  // namespace

bool BuildSampleFolder(const std::string& folder, SampleReport& report, std::string& error,
                       const std::function<void(const std::string&)>& progress,
                       const SampleOptions& options) {
    namespace fs = std::filesystem;
    const ProgramFolderContents found = LookAtProgramFolder(folder);
    if (found.HoldsAnything() && !found.SampleUnfinished && !options.Force) {
        report.Refused = true;
        error = folder + " holds " + found.Description() +
                "; the sample fills only a folder without them (--force fills it all the same)";
        return false;
    }
    std::error_code made;
    for (const char* sub : {"", "/Datas", "/Configuration", "/Images"}) {
        fs::create_directories(folder + sub, made);
        if (!fs::is_directory(folder + sub)) {
            report.WriteFailures.push_back("cannot create " + folder + sub +
                                           (made ? ": " + made.message() : ""));
            return true;
        }
    }
    // Until the last file is written, the folder says that what it holds is an unfinished
    // sample's: a first start stopped half-way is finished by the next one.
    const std::string unfinished = folder + "/" + kSampleUnfinishedMark;
    std::string why;
    if (!found.SampleUnfinished &&
        !ReplaceFileAtomically(
            unfinished,
            [](const std::string& temporary, std::string& writeWhy) {
                static constexpr char kText[] = "A sample sky is being made in this folder.\n";
                return WriteWholeFile(temporary, kText, sizeof kText - 1, writeWhy);
            },
            why)) {
        report.WriteFailures.push_back(why);
        return true;
    }

    std::vector<NamedSbdbFile> files;
    for (const char* name : {"asteroids.json", "comets.json"}) {
        const std::string bytes = ReadShippedExport(name);
        files.push_back({name, ReadSbdbJson(QByteArray::fromStdString(bytes), name)});
    }
    CatalogueReport catalogueReport;
    CatalogueContent content = BuildCatalogue(files, catalogueReport);
    report.Stars = static_cast<int>(content.Stars.size());
    report.WithoutSpkId = static_cast<int>(catalogueReport.WithoutSpkId.size());
    for (const auto* lines :
         {&catalogueReport.FileErrors, &catalogueReport.Refused, &catalogueReport.Notes})
        report.Problems.insert(report.Problems.end(), lines->begin(), lines->end());
    const std::string catalogue = folder + "/Nivra.db";
    {
        // The marks kept are read from the files under the lock, so that no writer marks a star
        // in between and sees its mark undone.
        const std::optional<CatalogueLock> lock =
            CatalogueLock::Take(catalogue, options.Waiting, error);
        if (!lock || !MarkStarsWithCompleteFiles(content, folder + "/Datas", error))
            return false;
        if (!WriteCatalogueFile(catalogue, content, why, *lock)) {
            report.WriteFailures.push_back(why);
            return true;
        }
    }
    if (progress)
        progress("catalogue: " + std::to_string(content.Stars.size()) + " stars in " + catalogue);

    EphemerisRun run;
    run.CataloguePath = catalogue;
    run.OutFolder = folder + "/Datas";
    run.FirstYear = kSampleFirstYear;
    run.LastYear = kSampleLastYear;
    run.Waiting = options.Waiting;
    for (const SampleStar& star : SampleStars())
        run.SpkIds.push_back(star.SpkId);
    EphemerisRunReport ephemeris;
    if (!RunEphemeris(run, ephemeris, error, progress))
        return false;
    report.EphemerisFiles = ephemeris.FilesWritten;
    report.Records = ephemeris.Records;
    report.EphemerisSeconds = ephemeris.Seconds;
    report.Problems.insert(report.Problems.end(), ephemeris.Problems.begin(),
                           ephemeris.Problems.end());
    report.WriteFailures.insert(report.WriteFailures.end(), ephemeris.WriteFailures.begin(),
                                ephemeris.WriteFailures.end());

    std::vector<OrbitalElements> orbits;
    const std::set<std::uint32_t> inner = {2000001, 2000004, 2000433, 2001036,
                                           2000434, 2000153, 2000588, 2000132};
    for (const CatalogueStar& star : content.Stars) {
        if (!inner.count(star.SpkId))
            continue;
        orbits.push_back({star.PerihelionDistance, star.Eccentricity, star.Inclination,
                          star.AscendingNodeLongitude, star.ArgumentPerihelion, star.MeanAnomaly,
                          star.Epoch});
    }
    const std::string background = folder + "/Configuration/Background.jpg";
    const std::string about = folder + "/Configuration/BckAbout.jpg";
    for (const auto& [path, image] :
         {std::pair{background, MakeStarField(1920, 1080)},
          std::pair{about, MakeOrbitsPicture(654, 488, orbits)}}) {
        if (!WritePicture(path, image, why))
            report.WriteFailures.push_back(why);
    }
    if (!report.WriteFailures.empty())
        return true;  // the mark stays: the next sample finishes this one
    if (progress)
        progress("pictures: " + background + ", " + about);
    // Another sample made at the same time in the same folder may have finished first.
    if (::unlink(unfinished.c_str()) != 0 && errno != ENOENT)
        report.WriteFailures.push_back("cannot remove " + unfinished + ": " + std::strerror(errno));
    else if (!SyncFolder(folder, why))
        report.WriteFailures.push_back("cannot sync " + folder + ": " + why);
    return true;
}
