// Every input of the deck against the ranges of deck/InputRanges.h: what the engine finds is
// said in the report, a NOTE when the value is used as given, a PROBLEM when the catchment or
// storm it belongs to is not computed.
#pragma once

#include "EngineDeck.h"

#include <string>
#include <vector>

namespace tovan::engine {

// A finding about one catchment, or about one storm of it.
struct Message {
    bool problem = false;
    std::string text; // a sentence without its final full stop
    int line = 0;     // the deck line it is about, 0 for none
    int storm = 0;    // the storm it is about, 0 for the whole catchment
};

// The values of cards C, D and D1 of one catchment.
void CheckCatchment(const Catchment& c, std::vector<Message>& messages);

// The values of every storm: notes go to the deck's messages, impossible values set the
// storm's problem.
void CheckStorms(EngineDeck& deck);

} // namespace tovan::engine
