// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// One numeric value of an SBDB export as written, with the number it holds.
struct SbdbValue {
    std::string Field;  // the field it came from, '.' written '_': "e", "epoch_mjd", "per_y"
    std::string Text;   // as written: a JSON string trimmed, a JSON number in its shortest form;
                        // empty when the value is null or the field absent
    std::optional<double> Number;  // set when Text is a finite number (converted where noted)

    bool Given() const { return !Text.empty(); }
    // "e = 1.0000001": how messages quote the value.
    std::string Quoted() const { return Field + " = " + Text; }
};

// One body of an SBDB Query API export, with the fields the catalogue uses, as found by name.
// Units as SBDB gives them, converted where noted.
struct SbdbBody {
    int Row = 0;                          // 1 for the first row of "data"
    std::string FullName;                 // trimmed
    std::string SpkIdText;                // the export's spkid as written, when it has one
    std::optional<std::uint32_t> SpkId;   // that spkid, when it is a whole number 1 to 2^32 - 1
    std::optional<std::uint32_t> Number;  // number of a numbered asteroid, from the name
    std::string OrbitClass;               // SBDB class code (MBA, APO, JFc, ...)
    bool Neo = false;
    std::optional<bool> Pha;  // the export's pha flag, when it has one
    SbdbValue Eccentricity;
    SbdbValue SemiMajorAxis;       // au
    SbdbValue PerihelionDistance;  // au
    SbdbValue AphelionDistance;    // au
    SbdbValue Inclination;         // degrees
    SbdbValue AscendingNode;       // degrees
    SbdbValue ArgumentPerihelion;  // degrees
    SbdbValue MeanAnomaly;         // degrees
    SbdbValue MeanMotion;          // degrees/day, as the export gives it
    SbdbValue PerihelionTime;      // Julian day (TDB)
    SbdbValue Epoch;               // Julian day (TDB), from epoch_mjd (MJD) or epoch (JD)
    SbdbValue PeriodDays;          // days, from per_y (Julian years) or per (days)
    SbdbValue EarthMoid;           // au
    SbdbValue AbsoluteMagnitude;
    SbdbValue Diameter;        // km
    SbdbValue RotationPeriod;  // hours
    SbdbValue Albedo;
};

struct SbdbFile {
    std::vector<SbdbBody> Bodies;
    std::string Error;  // set when the file as a whole cannot be read; then Bodies is empty
};

// Reads an SBDB Query API JSON object ({"fields": [...], "data": [[...], ...]}). Values may be
// numbers, numeric strings or null; field names are matched with '.' and '_' alike ("per.y",
// "per_y"), in any case. A file that is not such an object, lacks the full_name field or holds a
// row that is not an array is an error as a whole. `fileName` names the file in the error text.
// Of a key given twice in the object, the last value counts.
SbdbFile ReadSbdbJson(const QByteArray& bytes, const std::string& fileName);

// The same for an export of any size in the file at `path`, read in pieces of 64 KiB: each body
// is handed to `onBody` as soon as its row is read, and the body passed is reused for the next
// row, so memory does not grow with the export. A regular file is read twice, first to check it
// whole, so that a file in error hands over no body at all. A pipe is read once: its "fields"
// must come before its "data", and the bodies before an error in it have been handed over.
// Returns the error, as ReadSbdbJson gives it; empty when the file was read. `onProgress`, when
// given, is told after each piece how many bytes have been read of how many (both passes of a
// file; the second number is 0 for a pipe, whose size is not known).
std::string ReadSbdbFile(
    const std::string& path, const std::string& fileName,
    const std::function<void(const SbdbBody&)>& onBody,
    const std::function<void(std::uint64_t read, std::uint64_t total)>& onProgress = {});
