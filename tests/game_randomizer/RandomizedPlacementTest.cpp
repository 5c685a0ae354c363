#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <iterator>
#include <string>
#include <vector>

#include "WorldSolver.h"
#include "foundation/ZHashedString.h"
#include "game/progression/RandomizedPlacement.h"

namespace {

constexpr int kSeeds = 500;

uint32_t SeedHash(int i) { return HashStringELF(("SEED" + std::to_string(i)).c_str()); }

std::string Describe(const RandomizerWorldTable& world) {
    std::string text;
    for (const auto& [target, source] : world) {
        text += std::string(target.fileId.GetTextOrEmpty()) + "/" + target.opportunityId.GetTextOrEmpty() + " <- " +
                source.fileId.GetTextOrEmpty() + "/" + source.opportunityId.GetTextOrEmpty() + "\n";
    }
    return text;
}

uint32_t ManifestMask(const ZINIFile& manifest, const OpportunityRef& place) {
    ZString reqs;
    manifest.GetValue(ZHashedString(std::string(place.fileId.GetTextOrEmpty()).substr(12, 8).c_str()),
                      ZHashedString("Reqs"), reqs);
    return ParseRequirementMask(reqs.GetText());
}

// The fixture world's graph and its manifest (a data file, as the game's is).
class RandomizedPlacement : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(manifest.LoadINIFile(KORV_FIXTURES_DIR "/randomizer/QXV_RndMnfst.txt", true)); }

    solver::World world = solver::FixtureWorld();
    ZINIFile manifest;
    MinimapTables tables;
};

}  // namespace

// The fixture is sound before anything is shuffled: played as shipped it can
// be finished, and each place's mask in the manifest is enough to reach it.
TEST_F(RandomizedPlacement, TheFixtureWorldIsFinishableAsShippedAndItsMasksAreTrue) {
    const solver::Outcome shipped = solver::Solve(world, {});
    EXPECT_TRUE(shipped.finishable);
    EXPECT_TRUE(shipped.unreached.empty());
    int eligible = 0;
    for (const solver::Place& place : world.places) {
        const uint32_t reqs = ManifestMask(manifest, place.ref);
        eligible += (reqs & randomizer::kMajorEligibleBit) != 0 ? 1 : 0;
        const uint32_t base = reqs & ~(randomizer::kEitherOrBit | randomizer::kMajorEligibleBit);
        for (const uint32_t extra : {0u, randomizer::kRedAura, randomizer::kMagicSnorkel}) {
            if ((reqs & randomizer::kEitherOrBit) != 0 && extra == 0) continue;
            const auto rooms = solver::ReachableRooms(world, base | extra);
            EXPECT_NE(std::find(rooms.begin(), rooms.end(), place.room), rooms.end())
                << place.ref.fileId.GetTextOrEmpty() << " in " << place.room << " is not reached with its mask";
        }
    }
    EXPECT_GT(eligible, 100);
}

// Every seed of 500 gives a world that can be finished, where every place
// hands out exactly one item and every item is handed out exactly once.
TEST_F(RandomizedPlacement, EveryWorldOf500SeedsIsFinishableAndHandsOutEachItemOnce) {
    const std::vector<OpportunityRef> places = randomizer::PlaceList();
    const std::set<OpportunityRef> placeSet(places.begin(), places.end());
    const OpportunityRef heartPiece6 = places[16];
    for (int i = 0; i < kSeeds; ++i) {
        const randomizer::PlacementResult result = randomizer::PlaceRandomizedWorld(manifest, tables, SeedHash(i));
        ASSERT_TRUE(result.built) << "seed " << i << ": " << result.failure.GetText();
        const solver::Outcome outcome = solver::Solve(world, result.world);
        ASSERT_TRUE(outcome.finishable) << "seed " << i << " holds items 0x" << std::hex << outcome.items;

        ASSERT_EQ(result.world.size(), randomizer::kPlaceCount + 6) << "seed " << i;
        std::map<OpportunityRef, int> handedOut;
        for (const OpportunityRef& place : places) {
            ASSERT_EQ(result.world.count(place), 1u) << "seed " << i;
            ++handedOut[result.world.at(place)];
        }
        for (const OpportunityRef& place : places) EXPECT_EQ(handedOut[place], 1) << "seed " << i;

        // Heart Piece 6 lands only where the Arcadians' Seal is needed.
        for (const auto& [target, source] : result.world) {
            if (source == heartPiece6) {
                EXPECT_NE(ManifestMask(manifest, target) & 0x10000u, 0u) << "seed " << i;
            }
        }
        // The shop's copies sell what the shop sells.
        for (const char* tier : {"tier1", "tier2"}) {
            const OpportunityRef shop = OpportunityRef::FromNames(InstanceFileName(randomizer::kShopInstance).c_str(), tier);
            for (const uint32_t copy : randomizer::kShopCopies) {
                const OpportunityRef ref = OpportunityRef::FromNames(InstanceFileName(copy).c_str(), tier);
                ASSERT_EQ(result.world.count(ref), 1u);
                EXPECT_EQ(result.world.at(ref), result.world.at(shop));
                EXPECT_EQ(placeSet.count(ref), 0u);
            }
        }
    }
}

TEST_F(RandomizedPlacement, ASeedGivesTheSameWorldEveryTimeAndAnotherSeedAnother) {
    const auto first = randomizer::PlaceRandomizedWorld(manifest, tables, 0x4563);
    const auto again = randomizer::PlaceRandomizedWorld(manifest, tables, 0x4563);
    const auto other = randomizer::PlaceRandomizedWorld(manifest, tables, 0x4564);
    ASSERT_TRUE(first.built && again.built && other.built);
    EXPECT_EQ(Describe(first.world), Describe(again.world));
    EXPECT_EQ(first.assignmentText, again.assignmentText);
    EXPECT_NE(Describe(first.world), Describe(other.world));
}

// One seed's major items, pinned: a changed draw order, candidate count or
// tie-break moves some of them.
TEST_F(RandomizedPlacement, OneSeedPutsEachMajorItemWhereItAlwaysHas) {
    const char* const pinned[] = {
        "Assigned Magic Snorkel to 79eefddb",
        "Assigned Arcadians' Seal to 286b357a",
        "Assigned Spider Gloves to 5afde7b3",
        "Assigned Mask of the Arcadians to 336b4e6d",
        "Assigned Blue Aura to 29523fe0",
        "Assigned Red Aura to 344a19c4",
        "Assigned Springheel Boots to 5f7ad67c",
        "Assigned Tesla Badge to 4fb145d9",
        "Assigned Steelskin Catalyst to 4f147128",
        "Assigned Underworld Ticket to 5bed537b",
        "Assigned Heart Piece 5 to 4d722769",
        "Assigned Skeleton Key to 00748e55",
        "Assigned Heart Piece 1 to 05b8c5e4",
        "Assigned Heart Piece 2 to 4d8c687a",
        "Assigned Heart Piece 3 to 576f84e0",
        "Assigned Heart Piece 4 to 4e2ec612",
        "Assigned Heart Piece 6 to 6b761543",
    };
    const auto result = randomizer::PlaceRandomizedWorld(manifest, tables, 0x4563);
    ASSERT_TRUE(result.built);
    ZArray<ZString> lines;
    result.assignmentText.Split("\n", lines);
    std::vector<std::string> placed;
    for (uint32_t k = 0; k < lines.Count(); ++k) {
        const std::string line = lines[k].GetText();
        placed.push_back(line.substr(0, line.find(',')));  // "Assigned <item> to <place>"
    }
    EXPECT_EQ(placed, std::vector<std::string>(std::begin(pinned), std::end(pinned)));
}

TEST_F(RandomizedPlacement, TheAssignmentTextHasALinePerMajorItem) {
    const auto result = randomizer::PlaceRandomizedWorld(manifest, tables, 7);
    ASSERT_TRUE(result.built);
    ZArray<ZString> lines;
    result.assignmentText.Split("\n", lines);
    ASSERT_EQ(lines.Count(), randomizer::kMajorCount);
    std::set<std::string> items;
    for (uint32_t k = 0; k < lines.Count(); ++k) {
        const std::string line = lines[k].GetText();
        EXPECT_EQ(line.rfind("Assigned ", 0), 0u) << line;
        EXPECT_NE(line.find(" {1, 2}"), std::string::npos) << line;  // the room position of the manifest
        items.insert(line.substr(9, line.find(" to ") - 9));
        if (line.find("\"tier") != std::string::npos) {
            EXPECT_NE(line.find(" 2d3cdf64 \"tier"), std::string::npos) << line;
        }
    }
    EXPECT_EQ(items.size(), randomizer::kMajorCount);
    EXPECT_EQ(items.count("Heart Piece 6"), 1u);
    EXPECT_EQ(items.count("Arcadians' Seal"), 1u);
}

TEST(RandomizedPlacementRules, APlaceIsAcceptableWhenTheItemsBeforeMeetItsMask) {
    struct Case {
        uint32_t raw;
        uint32_t available;
        bool acceptable;
        uint32_t mask;
    };
    const Case cases[] = {
        {0x10000000, 0, true, 0},                       // eligible, needs nothing
        {0x00000000, 0xFFFF, false, 0},                  // not eligible
        {0x10000030, 0x10, false, 0x30},                 // needs an item not yet held
        {0x10000030, 0x30, true, 0x30},
        {0x04000020, 0x20 | 0x2, true, 0x4000020},      // either-or decides alone, without bit 28
        {0x04000020, 0x20 | 0x100, true, 0x4000020},
        {0x04000020, 0x20, false, 0x4000020},
        {0x14000020, 0x2, false, 0x4000020},             // the other bits are still needed
    };
    for (const Case& c : cases) {
        uint32_t mask = 0;
        EXPECT_EQ(randomizer::IsPlaceAcceptable(c.raw, c.available, mask), c.acceptable) << std::hex << c.raw;
        EXPECT_EQ(mask, c.mask) << std::hex << c.raw;
    }
}

// Of the candidates that may take an item, the one needing more items wins,
// whatever its mask's value; between equal counts the larger mask wins.
TEST(RandomizedPlacementRules, ThePlaceNeedingMoreItemsWinsThenTheLargerMask) {
    const struct {
        uint32_t mask, best;
        bool outranks;
    } cases[] = {
        {0x00000007, 0x00000300, true},   // 3 items against 2
        {0x00000300, 0x00000007, false},
        {0x00000011, 0x00000003, true},   // 2 against 2: the larger mask
        {0x00000003, 0x00000011, false},
        {0x00000011, 0x00000011, false},  // a tie keeps the first
        {0x04000001, 0x00000006, true},   // the either-or bit counts: 2 against 2
        {0x10000001, 0x00000003, false},  // bits from 28 up do not: 1 against 2
    };
    for (const auto& c : cases) {
        EXPECT_EQ(randomizer::Outranks(c.mask, c.best), c.outranks) << std::hex << c.mask << " against " << c.best;
    }
}

// Without a manifest no place can take a major item: the build ends at once
// with a reason instead of drawing for ever, and leaves no world behind.
TEST(RandomizedPlacementRules, AWorldWithNoPlaceForAnItemIsGivenUp) {
    const ZINIFile empty;
    const MinimapTables tables;
    const auto result = randomizer::PlaceRandomizedWorld(empty, tables, 99);
    EXPECT_FALSE(result.built);
    EXPECT_TRUE(result.world.empty());
    EXPECT_NE(std::string(result.failure.GetText()).find("Heart Piece 6"), std::string::npos);

    // Only places that need nothing: Heart Piece 6 (which needs the Seal's
    // places) has nowhere to go.
    ZINIFile flat;
    for (const OpportunityRef& place : randomizer::PlaceList()) {
        flat.SetValue(ZHashedString(std::string(place.fileId.GetTextOrEmpty()).substr(12, 8).c_str()),
                      ZHashedString("Reqs"), ZString("10000000"));
    }
    EXPECT_FALSE(randomizer::PlaceRandomizedWorld(flat, tables, 99).built);

    RandomizerWorldTable world;
    world[OpportunityRef::FromNames("QXV_EntInst_00000001.zdd", "")] = OpportunityRef();
    SetRandomizerAssignmentText(ZString("old"));
    EXPECT_FALSE(BuildRandomizedWorld(world, 99));  // no data files mounted at all
    EXPECT_TRUE(world.empty());
    EXPECT_TRUE(GetRandomizerAssignmentText().IsEmpty());
}

