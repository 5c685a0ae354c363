// The shipped campaign as a solver world: its rooms, the passages between them
// (neighbouring rooms of a map, doors, teleports and room edges into other
// maps), each passage needing what the manifest says its target room needs,
// and the randomizer's places where the maps put them. Played as shipped and
// over 500 seeds of the placement build with the shipped manifest, it can be
// finished.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "WorldSolver.h"
#include "foundation/ZDefinitionCache.h"
#include "game/progression/RandomizedPlacement.h"
#include "game/world/MapData.h"
#include "game_world/GameFixture.h"

namespace {

std::string RoomName(const std::string& map, int32_t x, int32_t y) {
    return map + " (" + std::to_string(x) + ", " + std::to_string(y) + ")";
}

// Whether a "Text" attribute anywhere in the tree holds the words.
bool Mentions(const ZDefNode& node, const char* words) {
    static const ZHashedString kText("Text");
    const char* text = node.GetAttribute(kText).GetText();
    if (text != nullptr && std::string(text).find(words) != std::string::npos) return true;
    for (const ZDefNode& child : node.children) {
        if (Mentions(child, words)) return true;
    }
    return false;
}

class CampaignWorld : public worldtest::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        MountGamePackage();
        ASSERT_TRUE(m_game->OpenCampaignFile("Korvanth.kdd"));
        ASSERT_TRUE(manifest.LoadINIFile("QXV_RndMnfst.txt"));
        Build();
    }

    uint32_t PlaceMask(uint32_t instance) const {
        char section[16];
        std::snprintf(section, sizeof section, "%08x", instance);
        ZString reqs;
        if (!manifest.GetValue(ZHashedString(section), ZHashedString("Reqs"), reqs)) return 0;
        return ParseRequirementMask(reqs.GetText());
    }

    void Build() {
        static const ZHashedString kName("Name");
        static const ZHashedString kSrc("Src");
        static const ZHashedString kTeleport("Teleport");
        static const ZHashedString kMap("Map");
        static const ZHashedString kMapX("MapX");
        static const ZHashedString kMapY("MapY");
        static const ZHashedString kSpeedrun("Speedrun");
        // Every instance's room, and each room's neighbours in its map.
        std::map<uint32_t, std::string> instanceRoom;
        std::vector<std::pair<std::string, std::string>> neighbours;
        std::vector<std::tuple<std::string, std::string, uint32_t>> jumps;  // from, to, lock
        std::set<std::string> sources;
        for (const ZDefNode& mapNode : m_game->GetMapList()) {
            const std::string map = mapNode.GetAttribute(kName).GetText();
            if (!sources.insert(mapNode.GetAttribute(kSrc).GetText()).second) continue;  // an alias
            m_game->LoadCampaign(ZString(map.c_str()));
            const MapData& data = m_game->GetMapData();
            for (const auto& column : data.GetRooms()) {
                for (const auto& [y, room] : column.second) {
                    const int32_t x = column.first;
                    const std::string name = RoomName(map, x, y);
                    world.roomReqs[name] = 0;
                    if (data.HasRoom(x + 1, y)) neighbours.emplace_back(name, RoomName(map, x + 1, y));
                    if (data.HasRoom(x, y + 1)) neighbours.emplace_back(name, RoomName(map, x, y + 1));
                    for (const RoomEdge& edge : room.edges) {
                        if (edge.hasNameA && edge.hasPointA) {
                            jumps.emplace_back(name, RoomName(edge.nameA.GetText(), edge.pointAX, edge.pointAY), 0);
                        }
                    }
                    bool course = false;
                    for (const MapArea& area : data.areas) {
                        course = course || (area.Contains(x, y) && area.properties.FindChildIndex(0, kSpeedrun) <
                                                                       area.properties.children.Count());
                    }
                    for (const uint32_t id : room.instanceIds) {
                        instanceRoom[id] = name;
                        if (course) courseInstances.insert(id);
                        const ZDefNode& root = GetDefinitionFile(ZHashedString(InstanceFileName(id).c_str()));
                        for (const ZDefNode& teleport : root.FindChildren(kTeleport)) {
                            const std::string to = teleport.HasAttribute(kMap) ? teleport.GetAttribute(kMap).GetText()
                                                                               : map;
                            // A locked door's (or a ride's) query names the powerup
                            // it wants; the lock is that item's bit.
                            struct Lock {
                                const char* query;
                                uint32_t bit;
                            };
                            static const Lock kLocks[] = {{"Powerup_00070001", 0x100000u},   // Skeleton Key
                                                          {"Powerup_00080001", 0x10000u},    // Arcadians' Seal
                                                          {"Powerup_00050001", 0x2000u},     // Tesla Badge
                                                          {"Powerup_00080002", 0x20000u}};   // Underworld Ticket
                            uint32_t lock = 0;
                            for (const Lock& l : kLocks) {
                                if (Mentions(root, l.query)) lock = l.bit;
                            }
                            jumps.emplace_back(name,
                                               RoomName(to, teleport.GetAttribute(kMapX).ToInt(),
                                                        teleport.GetAttribute(kMapY).ToInt()),
                                               lock);
                        }
                    }
                }
            }
        }
        // The places, in the rooms the maps put them; a place that needs more
        // than its room (a high ledge) sits in a nook of its own.
        std::vector<std::pair<OpportunityRef, uint32_t>> refs;
        for (const OpportunityRef& ref : randomizer::PlaceList()) {
            refs.emplace_back(ref, InstanceIdFromFileName(ref.fileId.GetTextOrEmpty()));
        }
        for (const uint32_t copy : randomizer::kShopCopies) {
            for (const char* tier : {"tier1", "tier2"}) {
                refs.emplace_back(OpportunityRef::FromNames(InstanceFileName(copy).c_str(), tier), copy);
            }
        }
        // A room needs the least that its places need.
        std::map<std::string, uint32_t> least;
        for (const auto& [ref, instance] : refs) {
            ASSERT_EQ(instanceRoom.count(instance), 1u) << InstanceFileName(instance) << " is placed in no room";
            const uint32_t mask = PlaceMask(instance) & ~randomizer::kMajorEligibleBit;
            const std::string& room = instanceRoom[instance];
            if (least.count(room) == 0 || __builtin_popcount(mask) < __builtin_popcount(least[room])) {
                least[room] = mask;
            }
        }
        for (const auto& [room, mask] : least) world.roomReqs[room] = mask;
        for (const auto& [ref, instance] : refs) {
            const uint32_t mask = PlaceMask(instance) & ~randomizer::kMajorEligibleBit;
            std::string room = instanceRoom[instance];
            if (mask != world.roomReqs[room]) {
                char nook[32];
                std::snprintf(nook, sizeof nook, " nook %x", mask);
                const std::string to = room + nook;
                world.passages.push_back({room, to, mask & ~randomizer::kEitherOrBit,
                                          (mask & randomizer::kEitherOrBit) != 0, true});
                room = to;
            }
            world.places.push_back({ref, room});
        }
        auto into = [this](const std::string& from, const std::string& to, uint32_t lock) {
            const uint32_t mask = world.roomReqs[to];
            world.passages.push_back(
                {from, to, (mask & ~randomizer::kEitherOrBit) | lock, (mask & randomizer::kEitherOrBit) != 0, true});
        };
        for (const auto& [a, b] : neighbours) {
            into(a, b, 0);
            into(b, a, 0);
        }
        for (const auto& [from, to, lock] : jumps) {
            ASSERT_EQ(world.roomReqs.count(to), 1u) << from << " leads to " << to << ", which is no room";
            into(from, to, lock);
        }
        world.start = RoomName("Caverns", 0, 0);
        world.goal = RoomName("Speedrun Maps", 17, 3);
    }

    ZINIFile manifest;
    // The instances placed in the rooms of a speedrun course.
    std::set<uint32_t> courseInstances;
    solver::World world;
    MinimapTables tables;
};

}  // namespace

TEST_F(CampaignWorld, TheShippedCampaignCanBeFinishedAndReachesEveryRoom) {
    const solver::Outcome shipped = solver::Solve(world, {});
    EXPECT_TRUE(shipped.finishable) << "holds items 0x" << std::hex << shipped.items;
    for (const std::string& room : shipped.unreached) ADD_FAILURE() << room << " is never reached";
}

TEST_F(CampaignWorld, EveryWorldOf500SeedsOfTheShippedManifestCanBeFinished) {
    for (int i = 0; i < 500; ++i) {
        const uint32_t seed = HashStringELF(("CAMPAIGN" + std::to_string(i)).c_str());
        const randomizer::PlacementResult result = randomizer::PlaceRandomizedWorld(manifest, tables, seed);
        ASSERT_TRUE(result.built) << "seed " << i << ": " << result.failure.GetText();
        const solver::Outcome outcome = solver::Solve(world, result.world);
        ASSERT_TRUE(outcome.finishable) << "seed " << i << " holds items 0x" << std::hex << outcome.items;
    }
}

// A course hands out again on every run only what its start line resets, so a
// randomized world never puts a major item (an ability, a key item, a heart
// piece), which the campaign keeps for good, on a course's pickups. The
// shop's copy in a course's hall sells what the shop sells, wherever it is.
TEST_F(CampaignWorld, NoSeedPutsAMajorItemOnASpeedrunCourse) {
    ASSERT_FALSE(courseInstances.empty()) << "the gallery's rooms are a course";
    const std::vector<OpportunityRef>& places = randomizer::PlaceList();
    std::set<OpportunityRef> majors(places.begin(), places.begin() + randomizer::kMajorCount);
    for (const char* seedText : {"PWGV JGJQ", "CAMPAIGN"}) {
        for (int i = 0; i < 500; ++i) {
            const std::string text = std::string(seedText) + (i == 0 ? "" : std::to_string(i));
            std::string normal;
            for (const char c : text) {
                if (c != ' ') normal += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            }
            const randomizer::PlacementResult result =
                randomizer::PlaceRandomizedWorld(manifest, tables, HashStringELF(normal.c_str()));
            ASSERT_TRUE(result.built) << text;
            for (const auto& [target, source] : result.world) {
                if (target.global || majors.count(source) == 0) continue;
                const uint32_t instance = InstanceIdFromFileName(target.fileId.GetTextOrEmpty());
                ASSERT_EQ(courseInstances.count(instance), 0u)
                    << "seed \"" << text << "\" puts a major item on the course's " << InstanceFileName(instance);
            }
        }
    }
}
