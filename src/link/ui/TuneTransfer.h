#pragma once

#include "model/TuneItems.h"

#include <optional>
#include <vector>

class LinkPort;
class LinkSession;
class MessageBoxService;
class QWidget;
class StatusLine;
class Tune;

// What every whole-tune exchange with the box needs.
struct TuneTransferContext
{
    LinkSession &link;
    LinkPort &port;
    MessageBoxService &messages;
    QWidget *parent;
    StatusLine &status;
};

struct TuneTransferResult
{
    bool ran = false;     // false: the link was not idle, nothing happened
    bool success = false; // every item went across
    int itemsDone = 0;
};

// One read or write of tune items, the way every command runs it: the link
// goes to Reading or Writing, the transfer dialog walks the items (every
// item of the tune when none are given) over tune, what the box is known to
// hold follows what went across (also when it stopped part-way), the status
// line says what happened and how long it took, and the link goes back to
// Idle. The flags and the tree are the caller's.
TuneTransferResult RunTuneTransfer(const TuneTransferContext &context, Tune &tune, bool reading,
                                   const std::optional<std::vector<TuneItem>> &items = std::nullopt);
