// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ephemeris/EphemerisComputation.h"

#include <erfa.h>

#include <algorithm>
#include <functional>

#include "ephemeris/Constellations.h"
#include "ephemeris/EarthTable.h"
#include "ephemeris/NumberText.h"
#include "ephemeris/ParallelFor.h"
#include "ephemeris/PlanetTable.h"

// Every day of the years, with what all stars share for it, computed on `threads` threads.
std::vector<DayContext> MakeDays(int firstYear, int lastYear, unsigned threads) {
    struct Date {
        int Year, Month, Day;
    };
    std::vector<Date> dates;
    for (int year = firstYear; year <= lastYear; ++year) {
        for (int month = 1; month <= 12; ++month) {
            static constexpr int kLength[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
            const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
            const int length = month == 2 && leap ? 29 : kLength[month - 1];
            for (int day = 1; day <= length; ++day)
                dates.push_back({year, month, day});
        }
    }
    // TT - UTC stays within a few minutes of a day's start over the years.
    const auto earth = std::make_shared<const EarthTable>(
        CivilJulianDay(firstYear, 1, 1, 0).Value(), CivilJulianDay(lastYear, 12, 31, 0).Value() + 1,
        threads);
    std::vector<DayContext> days(dates.size());
    constexpr std::size_t kDaysPerTask = 64;
    ParallelFor((dates.size() + kDaysPerTask - 1) / kDaysPerTask, threads, [&](std::size_t task) {
        const std::size_t end = std::min(dates.size(), (task + 1) * kDaysPerTask);
        for (std::size_t d = task * kDaysPerTask; d < end; ++d) {
            days[d] = MakeDayContext(dates[d].Year, dates[d].Month, dates[d].Day, earth.get());
            days[d].EarthSamples = earth;
        }
    });
    return days;
}

EphemerisComputation ComputeEntries(const EphemerisStar& star, const std::vector<DayContext>& days,
                                    OrbitModel model, const PlanetTable* planets) {
    std::vector<double> times;
    times.reserve(days.size());
    for (const DayContext& day : days)
        times.push_back(day.TT.Value());
    EphemerisComputation result;
    const Propagation propagation = PropagateOrbit(star.Elements, times, model, planets);
    if (!propagation.Failure.empty()) {
        result.Failure = propagation.Failure;
        return result;
    }
    const std::vector<StateVector>& states = propagation.States;
    const ConstellationFinder& constellations = ConstellationFinder::Builtin();

    result.Entries.reserve(days.size());
    for (std::size_t i = 0; i < days.size(); ++i) {
        const DayContext& day = days[i];
        const StateVector& state = states[i];
        const double t = times[i];
        std::function<Vector3(double)> at;
        if (model == OrbitModel::TwoBody) {
            at = [&](double when) { return KeplerState(star.Elements, when).Position; };
        } else {
            // Over the light time (minutes to hours) a second-order step from the day's state
            // is exact far below the file's precision.
            at = [&](double when) {
                const double dt = when - t;
                const double r = Norm(state.Position);
                const Vector3 acceleration = (-kSunGM / (r * r * r)) * state.Position;
                return state.Position + dt * state.Velocity + (0.5 * dt * dt) * acceleration;
            };
        }
        const SkyPlace place = ComputeSkyPlace(day, at, constellations);
        EphemerisEntry entry;
        entry.Year = day.Year;
        entry.Month = day.Month;
        entry.Day = day.Day;
        entry.DayOfWeek = day.DayOfWeek;
        entry.Constellation = place.Constellation;
        entry.Astrometric = place.Astrometric;
        entry.Earth = place.Earth;
        entry.Galactic = place.Galactic;
        entry.Geometric = place.Geometric;
        result.Entries.push_back(entry);
    }
    return result;
}

// Why the perturbed model cannot start from the star's epoch; empty when it can.
std::string PerturbedEpochProblem(const EphemerisStar& star) {
    const double first = CivilJulianDay(kFirstPerturbedEpochYear, 1, 1, 0).Value();
    const double end = CivilJulianDay(kLastPerturbedEpochYear + 1, 1, 1, 0).Value();
    const double epoch = star.Elements.Epoch;
    if (epoch >= first && epoch < end)
        return {};
    int year = 0, month = 0, day = 0;
    double fraction = 0;
    eraJd2cal(epoch, 0, &year, &month, &day, &fraction);
    return "the elements' epoch (JD " + NumberText(epoch) + ", year " + std::to_string(year) +
           ") lies outside " + std::to_string(kFirstPerturbedEpochYear) + "-" +
           std::to_string(kLastPerturbedEpochYear) +
           ", the years the perturbed model starts from (--two-body takes any epoch)";
}

// The planets over the days and the epochs of the stars, with the Earth of the days' table.
std::unique_ptr<PlanetTable> PlanetsFor(const std::vector<EphemerisStar>& stars,
                                        const std::vector<DayContext>& days, unsigned threads) {
    double first = days.front().TT.Value();
    double last = days.back().TT.Value();
    for (const EphemerisStar& star : stars) {
        first = std::min(first, star.Elements.Epoch);
        last = std::max(last, star.Elements.Epoch);
    }
    return std::make_unique<PlanetTable>(first, last, threads, days.front().EarthSamples.get());
}

EphemerisComputation ComputeEphemeris(const EphemerisStar& star, int firstYear, int lastYear,
                                      OrbitModel model) {
    const unsigned threads = ThreadsFor(0);
    const std::vector<DayContext> days = MakeDays(firstYear, lastYear, threads);
    std::unique_ptr<PlanetTable> planets;
    if (model == OrbitModel::Perturbed) {
        if (std::string problem = PerturbedEpochProblem(star); !problem.empty())
            return {{}, problem};
        planets = PlanetsFor({star}, days, threads);
    }
    return ComputeEntries(star, days, model, planets.get());
}
