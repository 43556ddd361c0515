#pragma once

#include "model/Tune.h"

#include <QByteArray>
#include <QString>

// The tune as JSON, raw values exactly as the model holds them:
// {"maps": {"HOFM": [256 entries], ..., "TIMINGTP": [16]},
//  "params": {"RevLimiter": n, ..., "Version": "ABCDE", "VQ": [64]}}
QByteArray TuneToJson(const Tune &tune);

// The inverse. Every field must be present with its exact length and every
// value in range; otherwise the result is false, error names the field and
// the tune is left unchanged.
bool TuneFromJson(const QByteArray &json, Tune &tune, QString &error);
