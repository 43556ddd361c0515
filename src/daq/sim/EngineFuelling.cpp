#include "daq/sim/EngineFuelling.h"

#include "daq/AcquisitionLoop.h"
#include "daq/CVDataAcquisition.h"
#include "daq/EngineTrace.h"
#include "model/Tune.h"
#include "model/Units.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr int Side = 16;
// However steeply a row's open-loop cells fall towards light load, the
// engine still needs half a base pulse of fuel.
constexpr double LeanestEnrichment = -50.0;

std::size_t cellOf(int row, int col)
{
    return static_cast<std::size_t>(row * Side + col);
}

// The stock enrichment of every cell. A closed-loop byte holds no enrichment
// (the box trims those cells itself), yet the engine needs fuel there too:
// its need goes on from the row's open-loop cells along the load axis, as
// the engine's does.
std::array<double, 256> stockEnrichment(const CVMapInfo &map)
{
    std::array<double, 256> e{};
    for (int row = 0; row < Side; ++row) {
        std::vector<int> open;
        for (int col = 0; col < Side; ++col)
            if (map.MapValue(row * Side + col) < 128)
                open.push_back(col);
        const auto at = [&](int col) { return static_cast<double>(map.MapValue(row * Side + col)); };
        for (int col = 0; col < Side; ++col) {
            const int raw = map.MapValue(row * Side + col);
            double value = raw;
            if (raw >= 128 && open.size() >= 2) {
                // The two open-loop cells around the column, or the two
                // nearest on its side.
                const auto after = std::upper_bound(open.begin(), open.end(), col);
                auto first = after == open.begin() ? open.begin() : after - 1;
                if (after == open.end())
                    first = open.end() - 2;
                const int a = *first;
                const int b = *(first + 1);
                value = at(a) + (at(b) - at(a)) * (col - a) / (b - a);
            } else if (raw >= 128) {
                value = open.empty() ? BodyDisplayValue(raw, false) : at(open.front());
            }
            e[cellOf(row, col)] = std::max(value, LeanestEnrichment);
        }
    }
    return e;
}

// A smooth field of factors within 1 -/+ percent / 100: a few long waves
// across the map, their directions, phases and weights from the seed, scaled
// so that the largest departure is the whole percentage.
std::array<double, 256> plantedField(double percent, quint32 seed)
{
    std::array<double, 256> field;
    field.fill(1.0);
    if (!(percent > 0.0))
        return field;
    quint32 state = (seed ^ 0xA5A5F00Du) * 2654435761u;
    if (state == 0)
        state = 0x9E3779B9u;
    const auto uniform = [&state] {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<double>(state) / 4294967295.0;
    };
    struct Wave
    {
        double alongRpm, alongLoad, phase, weight;
    };
    std::array<Wave, 3> waves{};
    for (Wave &w : waves) {
        // Between a fifth of a cycle and one cycle across the map: neighbouring
        // cells differ a little, distant ones may differ by the whole spread.
        w.alongRpm = (0.2 + 0.8 * uniform()) * (uniform() < 0.5 ? -1.0 : 1.0);
        w.alongLoad = 0.2 + 0.8 * uniform();
        w.phase = 2.0 * std::numbers::pi * uniform();
        w.weight = 0.5 + 0.5 * uniform();
    }
    std::array<double, 256> raw{};
    double largest = 0.0;
    for (int row = 0; row < Side; ++row)
        for (int col = 0; col < Side; ++col) {
            double g = 0.0;
            for (const Wave &w : waves)
                g += w.weight * std::sin(2.0 * std::numbers::pi * (w.alongRpm * row + w.alongLoad * col) / Side + w.phase);
            raw[cellOf(row, col)] = g;
            largest = std::max(largest, std::fabs(g));
        }
    for (std::size_t i = 0; i < field.size(); ++i)
        field[i] = 1.0 + percent / 100.0 * (largest > 0.0 ? raw[i] / largest : 0.0);
    return field;
}

// The segment of a rising axis that holds x, and where in it x lies (0..1);
// outside the axis the end entry holds.
std::pair<int, double> bracket(const std::array<double, 16> &axis, double x)
{
    if (x <= axis.front())
        return {0, 0.0};
    for (int i = 0; i + 1 < Side; ++i) {
        const double lo = axis[static_cast<std::size_t>(i)];
        const double hi = axis[static_cast<std::size_t>(i + 1)];
        if (x <= hi)
            return {i, hi > lo ? (x - lo) / (hi - lo) : 0.0};
    }
    return {Side - 2, 1.0};
}

} // namespace

EngineFuelling::EngineFuelling(const Tune &reference, double errorPercent, quint32 seed)
    : m_known(true), m_referenceK(reference.general().InjectorK()), m_factor(plantedField(errorPercent, seed))
{
    const CVMapInfo &rpmAxis = reference.map(RpmAxisOf(FuelMap));
    const CVMapInfo &tpAxis = reference.map(TpAxisOf(FuelMap));
    for (int i = 0; i < Side; ++i) {
        m_rpmAxis[static_cast<std::size_t>(i)] = Units::RpmOf(std::max(0, rpmAxis.MapValue(i)));
        m_tpAxis[static_cast<std::size_t>(i)] = std::max(0, tpAxis.MapValue(i));
    }
    const std::array<double, 256> stock = stockEnrichment(reference.map(FuelMap));
    for (int row = 0; row < Side; ++row)
        for (int col = 0; col < Side; ++col) {
            const std::size_t c = cellOf(row, col);
            m_airPerBase[c] = TargetRatio(col) * (1.0 + stock[c] / 100.0) * m_factor[c];
        }
}

double EngineFuelling::TargetRatio(int tpIndex)
{
    const double v = tpIndex < 8 ? Stoichiometric : Stoichiometric - (Stoichiometric - 12.5) * (tpIndex - 7) / 8.0;
    return std::round(v * 10.0) / 10.0;
}

double EngineFuelling::PlantedFactor(int rpmIndex, int tpIndex) const
{
    if (rpmIndex < 0 || rpmIndex >= Side || tpIndex < 0 || tpIndex >= Side)
        return 1.0;
    return m_factor[cellOf(rpmIndex, tpIndex)];
}

double EngineFuelling::airPerBase(double rpm, double load) const
{
    const auto [r, fr] = bracket(m_rpmAxis, rpm);
    const auto [c, fc] = bracket(m_tpAxis, load);
    const auto at = [this](int row, int col) { return m_airPerBase[cellOf(row, col)]; };
    return (1 - fr) * ((1 - fc) * at(r, c) + fc * at(r, c + 1)) + fr * ((1 - fc) * at(r + 1, c) + fc * at(r + 1, c + 1));
}

EngineFuelling::Burn EngineFuelling::Burned(const Tune &tune, double rpm, double masVoltage) const
{
    if (!m_known)
        return {};
    // The box's own view: its load from its tune's injector constant, the
    // nearest cell, that cell's injector pulse.
    const auto boxRpm = static_cast<qint32>(std::lround(std::max(0.0, rpm)));
    const auto voltage = static_cast<float>(masVoltage);
    const float load = CVDataAcquisition::EngineLoad(boxRpm, voltage, tune.general().InjectorK());
    const EngineTrace::CellIndex at = EngineTrace::FindCell(tune, FuelMap, boxRpm, IntegerLoad(load));
    if (at.rpmIndex < 0 || at.rpmIndex >= Side || at.tpIndex < 0 || at.tpIndex >= Side)
        return {NoFuelRatio, false};
    const int raw = tune.map(FuelMap).MapValue(at.rpmIndex * Side + at.tpIndex);
    if (raw >= 128)
        return {Stoichiometric, true};
    const float pulse = ComputeInjectorFigures(load, boxRpm, raw).pulseWidth;
    if (!(pulse > 0.0f))
        return {NoFuelRatio, false};
    // The engine's side: the air it draws is the same whatever the tune
    // says; in the stock tune's units it is the stock load.
    const double stockLoad = CVDataAcquisition::EngineLoad(boxRpm, voltage, m_referenceK);
    const double ratio = airPerBase(rpm, stockLoad) * stockLoad * 0.125 / pulse;
    return {std::clamp(ratio, 0.0, NoFuelRatio), false};
}
