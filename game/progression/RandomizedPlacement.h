#pragma once

// The randomized placement: from a seed hash, which place in the world hands
// out which item. The 17 major items are ordered into a random progression and
// each goes to a place whose requirements the items before it meet; the 143
// minor items are dealt over the places left. Every draw comes from one
// generator seeded with the seed hash, so a seed always gives one world.

#include <cstdint>
#include <vector>

#include "foundation/ZINIFile.h"
#include "foundation/ZString.h"
#include "game/progression/MinimapDefinitions.h"
#include "game/progression/RandomizerData.h"

namespace randomizer {

constexpr uint32_t kMajorCount = 17;
constexpr uint32_t kPlaceCount = 160;
constexpr uint32_t kEitherOrBit = 0x4000000u;   // also needs Red Aura or Magic Snorkel
constexpr uint32_t kMajorEligibleBit = 0x10000000u;
constexpr uint32_t kRedAura = 0x2u;
constexpr uint32_t kMagicSnorkel = 0x100u;
constexpr uint32_t kShopInstance = 0x2d3cdf64u;
// Further copies of the shop, selling what it sells.
constexpr uint32_t kShopCopies[3] = {0x327eb074u, 0x7aad9576u, 0x5ad065e0u};

// Rounds of candidate draws for one item before the build gives up.
constexpr uint32_t kMaxCandidateRounds = 20000;

struct MajorItem {
    uint32_t instance;
    const char* opportunity;  // "" for all but the shop's two tiers
    const char* name;
    uint32_t bit;
};

// The 17 major items in their fixed order (the item of a place is what it
// hands out in the shipped data).
const MajorItem* MajorItems();
// The instance ids of the 143 places of minor items, in order.
const uint32_t* MinorPlaces();
// The 160 places: the major ones, then the minor ones.
std::vector<OpportunityRef> PlaceList();

// Whether a place with requirement mask raw may receive an item given the
// available item bits (without the item's own extra rules); mask gets raw
// without the eligibility bit, for ranking.
bool IsPlaceAcceptable(uint32_t raw, uint32_t available, uint32_t& mask);

// The ranking of two acceptable candidates' masks: more required items first
// (bits 0 to 27), then the larger mask. True when mask beats best.
bool Outranks(uint32_t mask, uint32_t best);

struct PlacementResult {
    bool built = false;
    RandomizerWorldTable world;
    ZString assignmentText;
    ZString failure;  // why the build gave up
};

// The placement from data in hand: the manifest and the minimap tables.
PlacementResult PlaceRandomizedWorld(const ZINIFile& manifest, const MinimapTables& tables, uint32_t seedHash);

}  // namespace randomizer

// Reads "Minimaps.zdd" and "QXV_RndMnfst.txt" and builds the world for the
// seed into world, setting the assignment text. When no world can be built
// (missing manifest, no place for an item), world and the assignment text are
// emptied, a line names why, and the answer is false: the game then runs
// un-randomized.
bool BuildRandomizedWorld(RandomizerWorldTable& world, uint32_t seedHash);
