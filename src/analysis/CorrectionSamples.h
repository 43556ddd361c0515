#pragma once

#include "model/MapCatalogue.h"

#include <array>
#include <cstddef>
#include <optional>
#include <vector>

struct DataLog;
class Tune;

// Where each sample of a log belongs before the fuel correction weighs it.
//
// The oxygen reading of a sample tells of the fuel burned most of a second
// before (the exhaust's way to the sensor, then the sensor's own response):
// it is charged to where the engine was `delay` earlier. And a sample taken
// between cells tells of all the cells the engine computer blends there: it
// counts for the four cells around it, each by its nearness on both axes.
namespace CorrectionSamples {

// For each row, the row the engine was in delayMs earlier (the row at or
// before that time); nothing for the rows too early to have one.
std::vector<std::optional<std::size_t>> DelayedRows(const DataLog &log, double delayMs);

struct CellWeight
{
    int entry = 0;
    double weight = 0;
};
// The cells of the body map around a point (RPM, TP) and their weights
// (bilinear on the map's own axes, summing to 1): four cells between axis
// entries, fewer at the edges or on an entry; the nearest cell alone when an
// axis does not rise. Nothing for a missing value.
std::vector<CellWeight> CellWeights(const Tune &tune, MapKey body, double rpm, double tp);

// The same for many points on one map: the axes are read once.
class CellLocator
{
public:
    CellLocator(const Tune &tune, MapKey body);
    // Fills cells and returns how many there are (0 to 4).
    int Weights(double rpm, double tp, std::array<CellWeight, 4> &cells) const;

private:
    const Tune &m_tune;
    MapKey m_body;
    bool m_valid = false;
    std::array<double, 16> m_rpm{}, m_tp{};
    bool m_rising = false; // both axes rise: bilinear weights
};

} // namespace CorrectionSamples
