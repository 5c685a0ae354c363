#pragma once

// A reachability solver for randomized worlds: rooms joined by doors (both
// ways) and teleports (one way), each passage needing some abilities, and the
// places that hand out items lying in rooms. Starting with nothing, it walks
// every room it can reach, takes every item there (through the world table,
// so a place hands out its source's item), and repeats until nothing new is
// gained. A world is finishable when the goal room is reached with every
// major item in hand.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "game/progression/RandomizerData.h"

namespace solver {

struct Passage {
    std::string from;
    std::string to;
    uint32_t needs = 0;      // item bits, all needed
    bool eitherOr = false;   // also needs Red Aura or Magic Snorkel
    bool oneWay = false;     // a teleport
};

struct Place {
    OpportunityRef ref;
    std::string room;
};

struct World {
    std::string start;
    std::string goal;
    std::map<std::string, uint32_t> roomReqs;  // what each room needs (the manifest's masks say the same)
    std::vector<Passage> passages;
    std::vector<Place> places;
};

struct Outcome {
    bool finishable = false;
    uint32_t items = 0;                   // the major item bits collected
    std::vector<std::string> unreached;   // rooms never reached
};

// Rooms reachable with the given items.
std::vector<std::string> ReachableRooms(const World& world, uint32_t items);
// Plays the world through the table (empty: as shipped).
Outcome Solve(const World& world, const RandomizerWorldTable& table);
// The fixture world: 16 rooms, every place of the fixed list and the shop's
// copies.
World FixtureWorld();

}  // namespace solver
