// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ephemeris/Orbit.h"
#include "ephemeris/OrbitPropagation.h"
#include "ephemeris/SkyPlace.h"

class PlanetTable;

// A star of the catalogue with what its ephemeris needs.
struct EphemerisStar {
    std::uint32_t SpkId = 0;
    std::string Name;
    OrbitalElements Elements;
};

// One daily record: civil date and time (UTC), constellation and the four frames.
struct EphemerisEntry {
    int Year = 0;
    int Month = 0;
    int DayOfWeek = 0;
    int Day = 0;
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
    int Constellation = 0;
    SkyAngles Astrometric;
    SkyAngles Earth;
    SkyAngles Galactic;
    SkyAngles Geometric;
};

// Years the Earth's ephemeris (ERFA eraEpv00) is made for.
inline constexpr int kFirstEphemerisYear = 1900;
inline constexpr int kLastEphemerisYear = 2100;

// Years the elements' epoch of a perturbed ephemeris may lie in (from 1 January of the first to
// 31 December of the last): the planets are tabulated from the epoch to the records, and
// eraPlan94 is meant for 1000-3000. A star with an older or later epoch gets no perturbed file;
// the two-body model (--two-body) takes any epoch.
inline constexpr int kFirstPerturbedEpochYear = 1800;
inline constexpr int kLastPerturbedEpochYear = 2200;

// Daily records at 00:00:00 UTC from 1 January of `firstYear` to 31 December of `lastYear`, or
// why the orbit could not be followed.
struct EphemerisComputation {
    std::vector<EphemerisEntry> Entries;
    std::string Failure;
};
EphemerisComputation ComputeEphemeris(const EphemerisStar& star, int firstYear, int lastYear,
                                      OrbitModel model);

// The parts of ComputeEphemeris, for runs of many stars that share the days and the planets.

// Every day of the years, with what all stars share for it, computed on `threads` threads.
std::vector<DayContext> MakeDays(int firstYear, int lastYear, unsigned threads);

// Why the perturbed model cannot start from the star's epoch; empty when it can.
std::string PerturbedEpochProblem(const EphemerisStar& star);

// The planets over the days and the epochs of the stars, with the Earth of the days' table.
std::unique_ptr<PlanetTable> PlanetsFor(const std::vector<EphemerisStar>& stars,
                                        const std::vector<DayContext>& days, unsigned threads);

// The star's record of each of `days`; `planets` (for the perturbed model) must cover the days
// and the star's epoch.
EphemerisComputation ComputeEntries(const EphemerisStar& star, const std::vector<DayContext>& days,
                                    OrbitModel model, const PlanetTable* planets);
