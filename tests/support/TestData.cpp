// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/TestData.h"

#include <sqlite3.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace TestData {

namespace {

void Exec(sqlite3* db, const std::string& sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string message = error != nullptr ? error : "unknown error";
        sqlite3_free(error);
        throw std::runtime_error("test catalogue: " + message + " in " + sql);
    }
}

std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c;
        if (c == '\'') {
            quoted += '\'';
        }
    }
    return quoted + "'";
}

std::string Number(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.17g", value);
    return buffer;
}

class ByteWriter {
  public:
    explicit ByteWriter(std::vector<std::byte>& bytes) : bytes_(bytes) {}
    void At(std::size_t offset, std::uint64_t value, int width) {
        if (bytes_.size() < offset + static_cast<std::size_t>(width)) {
            bytes_.resize(offset + static_cast<std::size_t>(width));
        }
        for (int i = 0; i < width; ++i) {
            bytes_[offset + static_cast<std::size_t>(i)] =
                static_cast<std::byte>((value >> (8 * i)) & 0xFF);
        }
    }
    void Double(std::size_t offset, double value) {
        std::uint64_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        At(offset, bits, 8);
    }

  private:
    std::vector<std::byte>& bytes_;
};

constexpr std::size_t kHeader = 176;
constexpr std::size_t kRecord = 88;

}  // namespace

void WriteCatalogue(const std::string& path, const std::vector<OrbitClass>& classes,
                    const std::vector<Star>& stars) {
    std::filesystem::remove(path);
    sqlite3* db = nullptr;
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) {
        sqlite3_close(db);
        throw std::runtime_error("cannot create test catalogue " + path);
    }
    Exec(db, "CREATE TABLE [Orbites] ([Index] INTEGER, [Name] TEXT)");
    Exec(db,
         "CREATE TABLE [AllStars] ([SpkId] INTEGER, [Name] TEXT, [OrbiteType] INTEGER, "
         "[OrbiteTypeNeo] INTEGER, [OrbiteTypePha] INTEGER, [DatasForIt] INTEGER, "
         "[Eccentricity] REAL, [SemiMajorAxis] REAL, [PerihelionDistance] REAL, "
         "[Inclination] REAL, [AscendingNodeLongitude] REAL, [ArgumentPerihelion] REAL, "
         "[MeanAnomaly] REAL, [OrbitalPeriod] REAL, [MeanMotion] REAL, [ApelionDistance] REAL, "
         "[EarthMOID] REAL, [AbsoluteMagnitude] REAL, [Diameter] REAL, [RotationPeriod] REAL, "
         "[GeometricAlbedo] REAL, [TimePerihelionPassage] REAL)");
    Exec(db, "BEGIN");
    for (const OrbitClass& orbit : classes) {
        Exec(db, "INSERT INTO [Orbites] VALUES (" + std::to_string(orbit.Index) + ", " +
                     Quote(orbit.Name) + ")");
    }
    for (const Star& s : stars) {
        Exec(db, "INSERT INTO [AllStars] VALUES (" + std::to_string(s.Id) + ", " + Quote(s.Name) +
                     ", " + std::to_string(s.OrbiteType) + ", " + std::to_string(s.OrbiteTypeNeo) +
                     ", " + std::to_string(s.OrbiteTypePha) + ", " + std::to_string(s.DatasForIt) +
                     ", " + Number(s.Eccentricity) + ", " + Number(s.SemiMajorAxis) + ", " +
                     Number(s.PerihelionDistance) + ", " + Number(s.Inclination) + ", " +
                     Number(s.AscendingNodeLongitude) + ", " + Number(s.ArgumentPerihelion) + ", " +
                     Number(s.MeanAnomaly) + ", " + Number(s.OrbitalPeriod) + ", " +
                     Number(s.MeanMotion) + ", " + Number(s.ApelionDistance) + ", " +
                     Number(s.EarthMOID) + ", " + Number(s.AbsoluteMagnitude) + ", " +
                     Number(s.Diameter) + ", " + Number(s.RotationPeriod) + ", " +
                     Number(s.GeometricAlbedo) + ", " + Number(s.TimePerihelionPassage) + ")");
    }
    Exec(db, "COMMIT");
    sqlite3_close(db);
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

NvrFile NvrFile::Daily(std::uint32_t id, int fromYear, int toYear) {
    NvrFile file;
    file.Id = id;
    file.FirstYear = fromYear;
    file.LastYear = toYear;
    int n = 0;
    for (int year = fromYear; year <= toYear; ++year) {
        for (int month = 1; month <= 12; ++month) {
            for (int day = 1; day <= DaysInMonth(year, month); ++day, ++n) {
                Record record;
                record.Year = year;
                record.Month = month;
                record.Day = day;
                record.Constellation = 1 + n % 88;
                record.Astrometric = {std::fmod(0.25 * n, 360.0), 60.0 + 0.001 * n};
                record.Earth = {std::fmod(1.0 + 0.25 * n, 360.0), 70.0 + 0.001 * n};
                record.Galactic = {std::fmod(2.0 + 0.25 * n, 360.0), 80.0 + 0.001 * n};
                record.Geometric = {std::fmod(3.0 + 0.25 * n, 360.0), 90.0 + 0.001 * n};
                file.Records.push_back(record);
            }
        }
    }
    return file;
}

std::size_t NvrFile::NaturalFirstRecordOffset() const {
    return kHeader + EphemerisLink.size() + 1 + OrbitDiagramLink.size() + 1 +
           PhysicalParameterLink.size() + 1;
}

std::vector<std::byte> NvrFile::Bytes() const {
    std::vector<std::byte> bytes(kHeader);
    ByteWriter write(bytes);
    // Link texts right after the header, each with its zero.
    std::size_t at = kHeader;
    auto text = [&](const std::string& link) {
        const std::size_t start = at;
        for (char c : link) {
            write.At(at++, static_cast<unsigned char>(c), 1);
        }
        write.At(at++, 0, 1);
        return start;
    };
    const std::size_t ephemeris = text(EphemerisLink);
    const std::size_t orbit = text(OrbitDiagramLink);
    const std::size_t physical = text(PhysicalParameterLink);
    const std::size_t first = at;

    write.At(0,
             static_cast<std::uint32_t>(
                 FirstRecordOffsetOverride.value_or(static_cast<std::int32_t>(first))),
             4);
    write.At(108, Id, 4);
    write.At(116, static_cast<std::uint32_t>(FirstYear), 4);
    write.At(120, static_cast<std::uint32_t>(LastYear), 4);
    write.At(152, orbit, 8);
    write.At(160, physical, 8);
    write.At(168, EphemerisLinkOverride.value_or(ephemeris), 8);

    for (const Record& r : Records) {
        write.At(at + 0, r.Tag, 4);
        write.At(at + 4, static_cast<std::uint64_t>(r.Year), 2);
        write.At(at + 6, static_cast<std::uint64_t>(r.Month), 2);
        write.At(at + 8, 0, 2);
        write.At(at + 10, static_cast<std::uint64_t>(r.Day), 2);
        write.At(at + 12, static_cast<std::uint64_t>(r.Hour), 2);
        write.At(at + 14, static_cast<std::uint64_t>(r.Minute), 2);
        write.At(at + 16, static_cast<std::uint64_t>(r.Second), 2);
        write.At(at + 18, 0, 2);
        write.At(at + 20, static_cast<std::uint32_t>(r.Constellation), 4);
        write.Double(at + 24, r.Astrometric.First);
        write.Double(at + 32, r.Astrometric.Second);
        write.Double(at + 40, r.Geometric.First);
        write.Double(at + 48, r.Geometric.Second);
        write.Double(at + 56, r.Galactic.First);
        write.Double(at + 64, r.Galactic.Second);
        write.Double(at + 72, r.Earth.First);
        write.Double(at + 80, r.Earth.Second);
        at += kRecord;
    }
    if (Terminator) {
        bytes.resize(at + kRecord);
    }
    if (TruncateTo && *TruncateTo < bytes.size()) {
        bytes.resize(*TruncateTo);
    }
    return bytes;
}

void NvrFile::Write(const std::string& path) const {
    const std::vector<std::byte> bytes = Bytes();
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write test file " + path);
    }
}

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "nivra-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot make a temporary folder");
    }
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void MakeProgramFolder(const std::string& folder, const std::vector<OrbitClass>& classes,
                       const std::vector<Star>& stars, const std::vector<NvrFile>& files) {
    std::filesystem::create_directories(folder + "/Datas");
    std::filesystem::create_directories(folder + "/Configuration");
    WriteCatalogue(folder + "/Nivra.db", classes, stars);
    for (const NvrFile& file : files) {
        file.Write(folder + "/Datas/" + std::to_string(file.Id) + ".Nvr");
    }
}

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace TestData
