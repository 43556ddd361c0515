#pragma once
// Puts a link session into the states the rules below it depend on, as the
// commands would: connected (the box answered), real-time mode on, and the
// staged rev limiter holding the box's rev limit.

#include "link/LinkSession.h"

namespace testlink {

inline void Connect(LinkSession &link)
{
    link.BeginConnect();
    link.HandshakeAnswered();
}

inline void GoLive(LinkSession &link)
{
    if (!link.Connected())
        Connect(link);
    link.StartRealTime();
}

// The staged input went high: the box now holds the staged limit.
inline void HoldStagedLimit(LinkSession &link)
{
    link.StagedInputRead({true, QStringLiteral("Launch"), 140}, QStringLiteral("Launch"), true, 150);
}

} // namespace testlink
