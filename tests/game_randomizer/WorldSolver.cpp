#include "WorldSolver.h"

#include <algorithm>
#include <set>

#include "game/progression/RandomizedPlacement.h"

namespace solver {

namespace {

uint32_t AllMajors() {
    uint32_t bits = 0;
    for (uint32_t i = 0; i < randomizer::kMajorCount; ++i) bits |= randomizer::MajorItems()[i].bit;
    return bits;
}

bool CanPass(const Passage& passage, const uint32_t items) {
    if ((passage.needs & ~items) != 0) return false;
    return !passage.eitherOr || (items & (randomizer::kRedAura | randomizer::kMagicSnorkel)) != 0;
}

// The major item bit of the item a place hands out in the shipped data.
uint32_t ItemBit(const OpportunityRef& place) {
    static const std::map<OpportunityRef, uint32_t> bits = [] {
        std::map<OpportunityRef, uint32_t> out;
        const std::vector<OpportunityRef> list = randomizer::PlaceList();
        for (uint32_t i = 0; i < randomizer::kMajorCount; ++i) out[list[i]] = randomizer::MajorItems()[i].bit;
        return out;
    }();
    const auto it = bits.find(place);
    return it != bits.end() ? it->second : 0;
}

}  // namespace

std::vector<std::string> ReachableRooms(const World& world, const uint32_t items) {
    std::set<std::string> reached = {world.start};
    std::vector<std::string> open = {world.start};
    while (!open.empty()) {
        const std::string room = open.back();
        open.pop_back();
        for (const Passage& passage : world.passages) {
            if (!CanPass(passage, items)) continue;
            std::string next;
            if (passage.from == room) {
                next = passage.to;
            } else if (!passage.oneWay && passage.to == room) {
                next = passage.from;
            } else {
                continue;
            }
            if (reached.insert(next).second) open.push_back(next);
        }
    }
    return {reached.begin(), reached.end()};
}

Outcome Solve(const World& world, const RandomizerWorldTable& table) {
    Outcome outcome;
    std::vector<std::string> rooms;
    for (;;) {
        rooms = ReachableRooms(world, outcome.items);
        uint32_t items = outcome.items;
        for (const Place& place : world.places) {
            if (std::find(rooms.begin(), rooms.end(), place.room) == rooms.end()) continue;
            const auto entry = table.find(place.ref);
            items |= ItemBit(entry != table.end() ? entry->second : place.ref);
        }
        if (items == outcome.items) break;
        outcome.items = items;
    }
    for (const auto& [room, reqs] : world.roomReqs) {
        if (std::find(rooms.begin(), rooms.end(), room) == rooms.end()) outcome.unreached.push_back(room);
    }
    outcome.finishable = outcome.items == AllMajors() &&
                         std::find(rooms.begin(), rooms.end(), world.goal) != rooms.end();
    return outcome;
}

World FixtureWorld() {
    World world;
    world.start = "start";
    world.goal = "throne";
    world.roomReqs = {
        {"start", 0},           {"meadow", 0},         {"lake", 0x4000000},    {"tower", 0x10},
        {"cliffs", 0x20},       {"grotto", 0x4000001}, {"ruins", 0x1010},      {"lab", 0x2020},
        {"sanctum", 0x11010},   {"summit", 0x30},      {"forge", 0x230},       {"underworld", 0x20030},
        {"vault", 0x100000},    {"keep", 0x1000CC},    {"throne", 0x100ECC},   {"depths", 0x4000020},
    };
    world.passages = {
        {"start", "meadow", 0, false, false},       {"meadow", "lake", 0, true, false},
        {"meadow", "tower", 0x10, false, false},    {"meadow", "cliffs", 0x20, false, false},
        {"lake", "grotto", 0x1, true, false},       {"tower", "ruins", 0x1000, false, false},
        {"cliffs", "lab", 0x2000, false, true},     {"lab", "meadow", 0, false, true},
        {"ruins", "sanctum", 0x10000, false, false}, {"tower", "summit", 0x20, false, false},
        {"cliffs", "summit", 0x10, false, false},   {"summit", "forge", 0x200, false, false},
        {"summit", "underworld", 0x20000, false, true}, {"underworld", "start", 0, false, true},
        {"start", "vault", 0x100000, false, false}, {"vault", "keep", 0xCC, false, false},
        {"keep", "throne", 0xE00, false, false},    {"cliffs", "depths", 0, true, false},
    };
    // Where each major item lies in the shipped data.
    const char* majorRooms[randomizer::kMajorCount] = {
        "start", "meadow", "lake", "tower", "cliffs", "grotto", "ruins", "lab", "summit",
        "meadow", "meadow", "start", "tower", "underworld", "forge", "vault", "sanctum",
    };
    const std::vector<OpportunityRef> list = randomizer::PlaceList();
    std::vector<std::string> roomNames;
    for (const auto& [room, reqs] : world.roomReqs) roomNames.push_back(room);
    for (uint32_t i = 0; i < list.size(); ++i) {
        const std::string room = i < randomizer::kMajorCount ? majorRooms[i] : roomNames[i % roomNames.size()];
        world.places.push_back({list[i], room});
    }
    const char* copyRooms[3] = {"tower", "lake", "underworld"};
    for (uint32_t c = 0; c < 3; ++c) {
        const std::string file = InstanceFileName(randomizer::kShopCopies[c]);
        for (const char* tier : {"tier1", "tier2"}) {
            world.places.push_back({OpportunityRef::FromNames(file.c_str(), tier), copyRooms[c]});
        }
    }
    return world;
}

}  // namespace solver
