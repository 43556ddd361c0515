#pragma once

#include "model/MapCatalogue.h"

#include <QtGlobal>
#include <array>

class Tune;

// What the simulated engine burns: the fuel the box gives it against the fuel
// it really needs.
//
// The engine came with the stock tune (the reference) and would burn the
// target ratio on it everywhere but for a planted error: a smooth field of
// factors over the fuel map's cells, within +- the error percentage, fixed
// at start from the seed. In a cell the engine needs the fuel the stock
// enrichment gives, (1 + e / 100) base pulses, times the cell's factor. What
// the box gives follows the tune it runs now, by the acquisition tick's own
// rules: its load from the airflow meter and the tune's injector constant,
// the nearest cell of the fuel map, and the injector pulse of that cell's
// enrichment (ComputeInjectorFigures). The box steps from cell to cell; the
// engine's need does not, so between cells it is interpolated (bilinear on
// the RPM and load axes). A closed-loop cell is trimmed by the box from its
// own oxygen sensor, so the engine burns stoichiometric there whatever the
// need.
//
// The field is never shown to the measuring side: a correction finds it only
// through a sensor, as it would on a real engine.
class EngineFuelling
{
public:
    // The map the box fuels from: the one whose traced cell the tick's
    // injector pulse width is computed from, so that the pulse the program
    // shows is the pulse the engine gets.
    static constexpr MapKey FuelMap = MapKey::HOHGFM;
    static constexpr double Stoichiometric = 14.7;
    // The exhaust when the box gives no fuel: air, beyond any sensor's range.
    static constexpr double NoFuelRatio = 30.0;

    struct Burn
    {
        double ratio = Stoichiometric;
        bool closedLoop = true; // the box trims this cell itself
    };

    // No tune to run on: the box holds stoichiometric everywhere.
    EngineFuelling() = default;
    EngineFuelling(const Tune &reference, double errorPercent, quint32 seed);

    // The ratio a right tune burns in fuel column tpIndex: stoichiometric at
    // light load, richer towards full load (12.5 in the last column), in
    // tenths. The fuel correction's default targets say the same.
    static double TargetRatio(int tpIndex);

    // need / stock fuel of a cell: what a correction should find.
    double PlantedFactor(int rpmIndex, int tpIndex) const;

    // The ratio burned at an engine speed and a true airflow-meter voltage
    // while the box runs tune.
    Burn Burned(const Tune &tune, double rpm, double masVoltage) const;

private:
    // The target ratio times the fuel needed, in base pulses, at a speed and
    // the stock tune's load: the air per base pulse the engine draws.
    double airPerBase(double rpm, double load) const;

    bool m_known = false;
    int m_referenceK = 0;
    std::array<double, 16> m_rpmAxis{};
    std::array<double, 16> m_tpAxis{};
    std::array<double, 256> m_airPerBase{};
    std::array<double, 256> m_factor{};
};
