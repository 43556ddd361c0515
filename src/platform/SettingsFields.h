#pragma once

#include <QString>
#include <limits>
#include <variant>
#include <vector>

class SettingsStore;

// Stored scalars of the preferences: where each lives in the store and the
// variable that holds it in memory. Every owner of preferences (the DAQ, the
// link, the editors, the windows) lists its own; they share one store and
// one file.
namespace SettingsFields {

// The section most scalars live in.
inline constexpr const char *SettingsSection = "Settings";

struct Field
{
    const char *section;
    const char *key;
    std::variant<int *, bool *, QString *> value;
    // Integers: the range a stored value must fall in to be taken.
    int min = std::numeric_limits<int>::min();
    int max = std::numeric_limits<int>::max();
};

// Reads each field that is stored and convertible: integers as decimal text
// within their range, booleans as "True"/"False" (any case), texts as they
// are. Anything else leaves the field's current (default) value.
void Load(const SettingsStore &store, const std::vector<Field> &fields);
// Writes every field as text (integers in decimal, booleans "True"/"False").
// Does not flush.
void Save(SettingsStore &store, const std::vector<Field> &fields);

} // namespace SettingsFields
