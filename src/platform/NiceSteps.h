#pragma once

// Scale steps a reader takes in at a glance: 1, 2 or 5 times a power of ten.
namespace NiceSteps {

// The smallest such step that divides span into at most about steps parts;
// 1 for a span that is not positive or not finite.
double Step(double span, int steps);

} // namespace NiceSteps
