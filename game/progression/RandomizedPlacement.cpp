#include "game/progression/RandomizedPlacement.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <string>
#include <utility>

#include "foundation/ZDefinitionCache.h"
#include "foundation/ZLog.h"
#include "foundation/ZRandom.h"
#include "framework/ZLocMgr.h"

namespace randomizer {

namespace {

const MajorItem kMajors[kMajorCount] = {
    {0x286b357au, "", "Red Aura", 0x2},
    {0x4cc0c613u, "", "Blue Aura", 0x1},
    {0x5f7f9e53u, "", "Springheel Boots", 0x10},
    {0x6eb34d07u, "", "Spider Gloves", 0x20},
    {0x4d276775u, "", "Magic Snorkel", 0x100},
    {0x7a20cde6u, "", "Mask of the Arcadians", 0x1000},
    {0x553154a0u, "", "Tesla Badge", 0x2000},
    {0x7a9c5ad0u, "", "Arcadians' Seal", 0x10000},
    {0x7c258cc8u, "", "Steelskin Catalyst", 0x200},
    {0x2d3cdf64u, "tier2", "Underworld Ticket", 0x20000},
    {0x2d3cdf64u, "tier1", "Skeleton Key", 0x100000},
    {0x00603f10u, "", "Heart Piece 1", 0x4},
    {0x2caa9552u, "", "Heart Piece 2", 0x8},
    {0x00748e55u, "", "Heart Piece 3", 0x40},
    {0x00c6ebe0u, "", "Heart Piece 4", 0x80},
    {0x00b8c24au, "", "Heart Piece 5", 0x400},
    {0x00eeb92cu, "", "Heart Piece 6", 0x800},
};

constexpr uint32_t kMinorCount = kPlaceCount - kMajorCount;

const uint32_t kMinors[kMinorCount] = {
    0x4b40e32e, 0x17761d87, 0x7c170019, 0x5bc2270b, 0x6ab9bc47, 0x5afde7b3, 0x5cabcdf3, 0x4e7daf43, 0x55249af4,
    0x00a0e9ac, 0x4d76d34e, 0x153886cf, 0x76f5e6ff, 0x22a69760, 0x283c7e22, 0x007a4feb, 0x5f7ad67c, 0x22a2add5,
    0x56fe66b5, 0x34655006, 0x32a4c860, 0x344a19c4, 0x22aeb00f, 0x5c44bdbf, 0x004df734, 0x3125ee9a, 0x5acc8fca,
    0x46f9c415, 0x00b9e539, 0x33a25fc0, 0x716ffc63, 0x33090a5d, 0x4d8c134e, 0x4d8c687a, 0x6b65cadd, 0x4ab6a7a6,
    0x03616f0d, 0x0944f814, 0x33fde596, 0x4a8b0476, 0x4e0bce1b, 0x13110b9d, 0x2c9f68a8, 0x22720377, 0x4b9c5487,
    0x5f84951d, 0x4f27cfbe, 0x29523fe0, 0x4e2ec612, 0x344d1ff2, 0x329a7e2b, 0x5b60c761, 0x764068cc, 0x6ed8a9ed,
    0x4df6231a, 0x004f8358, 0x4fb145d9, 0x6b10f81b, 0x5c2d8388, 0x7a387b1a, 0x03500788, 0x33e7cc8a, 0x4f2943ae,
    0x4d722769, 0x576f84e0, 0x46e04b6d, 0x05c4da55, 0x17bfe53f, 0x295ae7ed, 0x05b6d17a, 0x5745ae52, 0x2cfade22,
    0x284c2d9c, 0x007a3ddb, 0x4eb17b4b, 0x565cf6a6, 0x6ab5d382, 0x6efeb767, 0x719ef890, 0x0349a610, 0x343d014c,
    0x5bed537b, 0x328cae3d, 0x5536b19b, 0x4eb2a742, 0x336b4e6d, 0x56397b94, 0x229eaa4f, 0x4cc80230, 0x4d6831bd,
    0x4d5892ca, 0x059d5abb, 0x334f0205, 0x05b8c5e4, 0x4e0bb571, 0x46f9a4f8, 0x003d633d, 0x34038240, 0x22a3e841,
    0x2280c891, 0x5a799262, 0x001a7f6e, 0x4ca9c9e3, 0x2295a2f4, 0x469691e4, 0x54fc4dc5, 0x4b9ac687, 0x56867cdf,
    0x4f27ea86, 0x5c2877c3, 0x0361a4c9, 0x035c34ab, 0x6f34f363, 0x3123b069, 0x4f1259ef, 0x6b758d82, 0x5582491b,
    0x4f1eb5e0, 0x2729ba20, 0x5f99013a, 0x6b761543, 0x7aa229f6, 0x4f147128, 0x003d83e1, 0x7a777f38, 0x2ce6ce6c,
    0x4d2071ec, 0x7a60564c, 0x6efbdce8, 0x471f0c42, 0x22b99457, 0x007a65cd, 0x559f280f, 0x54eaa24a, 0x4eb195c8,
    0x5f5016a2, 0x553afb66, 0x79eefddb, 0x005b280f, 0x76c2d2ab, 0x0350203c, 0x6b3e5edc, 0x008288ff,
};

OpportunityRef PlaceRef(const uint32_t instance, const char* opportunity) {
    return OpportunityRef::FromNames(InstanceFileName(instance).c_str(), opportunity);
}

// The manifest section of a place: the 8 characters after "QXV_EntInst_".
std::string SectionOf(const OpportunityRef& place) {
    const std::string name = place.fileId.GetTextOrEmpty();
    return name.size() > 12 ? name.substr(12, 8) : std::string();
}

// Capitals that begin a word stay; every other capital is lowered.
std::string DisplayCase(const std::string& text) {
    std::string out = text;
    for (size_t i = 1; i < out.size(); ++i) {
        const char before = out[i - 1];
        const bool wordStart = before == ' ' || before == '\n' || before == '\r' || before == '\t' ||
                               before == '\v' || before == '\f';
        if (!wordStart && out[i] >= 'A' && out[i] <= 'Z') out[i] = static_cast<char>(out[i] + ('a' - 'A'));
    }
    return out;
}

std::string AssignmentLine(const MajorItem& item, const OpportunityRef& place, const ZINIFile& manifest,
                           const MinimapTables& tables) {
    const ZHashedString section(SectionOf(place).c_str());
    ZString minimapName;
    ZString location;
    manifest.GetValue(section, ZHashedString("MinimapName"), minimapName);
    manifest.GetValue(section, ZHashedString("Location"), location);

    ZHashedString collection;
    ZHashedString locKey;
    const auto minimap = tables.minimapCollections.find(ZHashedString(minimapName.GetText()));
    if (minimap != tables.minimapCollections.end()) {
        collection = minimap->second;
        const auto key = tables.collectionLocKeys.find(collection);
        if (key != tables.collectionLocKeys.end()) locKey = key->second;
    }
    std::string region;
    if (const ZLocMgr* loc = ZLocMgr::GetInstance()) {
        region = DisplayCase(
            loc->GetString(ZHashedString("KorvanthGame"), ZHashedString("Collections"), locKey).GetText());
    }
    std::string position = location.GetText();
    const size_t brace = position.find('{');
    if (brace != std::string::npos) position = position.substr(brace > 0 ? brace - 1 : 0);

    const std::string description = region + position;
    char digits[16];
    std::snprintf(digits, sizeof digits, "%s", SectionOf(place).c_str());
    const std::string opportunity = place.opportunityId.GetTextOrEmpty();
    std::string line = std::string("Assigned ") + item.name + " to " + digits;
    if (!opportunity.empty()) line += " \"" + opportunity + "\"";
    return line + ", " + description;
}

}  // namespace

bool Outranks(const uint32_t mask, const uint32_t best) {
    const int bits = std::popcount(mask & 0x0FFFFFFFu);
    const int bestBits = std::popcount(best & 0x0FFFFFFFu);
    return bits != bestBits ? bits > bestBits : mask > best;
}

const MajorItem* MajorItems() { return kMajors; }
const uint32_t* MinorPlaces() { return kMinors; }

std::vector<OpportunityRef> PlaceList() {
    std::vector<OpportunityRef> list;
    list.reserve(kPlaceCount);
    for (const MajorItem& item : kMajors) list.push_back(PlaceRef(item.instance, item.opportunity));
    for (const uint32_t instance : kMinors) list.push_back(PlaceRef(instance, ""));
    return list;
}

bool IsPlaceAcceptable(const uint32_t raw, const uint32_t available, uint32_t& mask) {
    mask = raw;
    bool acceptable = false;
    if ((mask & kMajorEligibleBit) != 0) {
        mask &= ~kMajorEligibleBit;
        acceptable = true;
    }
    if ((mask & ~available) != 0) {
        acceptable = false;
        if ((mask & kEitherOrBit) != 0) {
            const uint32_t rest = mask & ~kEitherOrBit;
            acceptable = ((rest | kRedAura) & ~available) == 0 || ((rest | kMagicSnorkel) & ~available) == 0;
        }
    }
    return acceptable;
}

PlacementResult PlaceRandomizedWorld(const ZINIFile& manifest, const MinimapTables& tables, const uint32_t seedHash) {
    PlacementResult result;
    ZRandom random;
    random.Seed(seedHash);

    const std::vector<OpportunityRef> list = PlaceList();
    std::vector<OpportunityRef> progression(list.begin(), list.begin() + kMajorCount);
    const std::vector<OpportunityRef> minors(list.begin() + kMajorCount, list.end());
    std::vector<OpportunityRef> pool = list;

    // The major item each place of the list hands out, by its place.
    std::map<OpportunityRef, const MajorItem*> itemAt;
    for (uint32_t i = 0; i < kMajorCount; ++i) itemAt[list[i]] = &kMajors[i];

    for (int32_t i = 7; i >= 1; --i) std::swap(progression[i], progression[random.NextInt(i + 1)]);
    std::swap(progression[8], progression[8 + random.NextInt(2)]);
    for (int32_t i = 15; i >= 11; --i) std::swap(progression[i], progression[10 + random.NextInt(i - 9)]);

    const OpportunityRef tier2 = PlaceRef(kShopInstance, "tier2");
    const OpportunityRef steelskin = PlaceRef(0x7c258cc8u, "");
    uint32_t a = 8;
    uint32_t b = 9;
    for (uint32_t k = 8; k <= 9; ++k) {
        if (progression[k] == tier2) a = k;
        if (progression[k] == steelskin) b = k;
    }
    uint32_t available[kMajorCount] = {};
    for (uint32_t k = 1; k < kMajorCount; ++k) available[k] = available[k - 1] | itemAt[progression[k - 1]]->bit;

    std::vector<uint32_t> order = {16};
    if (random.NextInt(2) == 0) {
        order.push_back(b);
        order.push_back(a);
    } else {
        order.push_back(a);
        order.push_back(b);
    }
    for (uint32_t k = 0; k < 16; ++k) {
        if (std::find(order.begin(), order.end(), k) == order.end()) order.push_back(k);
    }

    const ZHashedString reqsKey("Reqs");
    const ZHashedString tier2Id("tier2");
    std::vector<std::string> lines(kMajorCount);
    RandomizerWorldTable majors;
    for (const uint32_t k : order) {
        const MajorItem& item = *itemAt[progression[k]];
        // Whether pool[c] may take the item, and its mask for the ranking.
        auto accepts = [&](const OpportunityRef& place, uint32_t& mask) {
            ZString reqs;
            if (!manifest.GetValue(ZHashedString(SectionOf(place).c_str()), reqsKey, reqs)) return false;
            if (!IsPlaceAcceptable(ParseRequirementMask(reqs.GetText()), available[k], mask)) return false;
            const std::string name = item.name;
            if ((name == "Underworld Ticket" || name == "Steelskin Catalyst") && (mask & 0x30u) != 0x30u) return false;
            if (name == "Heart Piece 6" && (mask & 0x10000u) == 0) return false;
            if ((name == "Springheel Boots" || name == "Spider Gloves") && place.opportunityId == tier2Id) return false;
            return true;
        };
        // Give up at once when no place left can ever take the item.
        bool possible = false;
        for (const OpportunityRef& place : pool) {
            uint32_t mask = 0;
            if (accepts(place, mask)) {
                possible = true;
                break;
            }
        }
        bool placed = false;
        for (uint32_t round = 0; possible && round < kMaxCandidateRounds && !placed; ++round) {
            const uint32_t n = std::min<uint32_t>(static_cast<uint32_t>(pool.size()), 5);
            std::vector<int32_t> candidates;
            while (candidates.size() < n) {
                const int32_t c = random.NextInt(static_cast<int32_t>(pool.size()));
                if (std::find(candidates.begin(), candidates.end(), c) == candidates.end()) candidates.push_back(c);
            }
            int32_t chosen = -1;
            uint32_t best = 0;
            for (const int32_t c : candidates) {
                uint32_t mask = 0;
                if (accepts(pool[c], mask) && (chosen < 0 || Outranks(mask, best))) {
                    chosen = c;
                    best = mask;
                }
            }
            if (chosen < 0) continue;
            majors[pool[chosen]] = progression[k];
            lines[k] = AssignmentLine(item, pool[chosen], manifest, tables);
            pool.erase(pool.begin() + chosen);
            placed = true;
        }
        if (!placed) {
            result.failure = ZString((std::string("no place in the world can take ") + item.name).c_str());
            return result;
        }
    }

    std::string text;
    for (uint32_t k = 0; k < kMajorCount; ++k) {
        if (k > 0) text += "\n";
        text += lines[k];
    }
    result.assignmentText = ZString(text.c_str());

    const uint32_t n = static_cast<uint32_t>(pool.size());
    std::vector<uint32_t> index(n);
    for (uint32_t i = 0; i < n; ++i) index[i] = i;
    for (int32_t i = static_cast<int32_t>(n) - 1; i >= 1; --i) std::swap(index[i], index[random.NextInt(i + 1)]);
    result.world = majors;
    for (uint32_t i = 0; i < n && i < minors.size(); ++i) result.world[pool[index[i]]] = minors[i];

    for (const char* tier : {"tier1", "tier2"}) {
        const OpportunityRef shop = PlaceRef(kShopInstance, tier);
        const auto sold = result.world.find(shop);
        if (sold == result.world.end()) continue;
        for (const uint32_t copy : kShopCopies) result.world[PlaceRef(copy, tier)] = sold->second;
    }
    result.built = true;
    return result;
}

}  // namespace randomizer

bool BuildRandomizedWorld(RandomizerWorldTable& world, const uint32_t seedHash) {
    MinimapTables tables;
    const ZDefNode& minimaps = GetDefinitionFile(ZHashedString("Minimaps.zdd"));
    ReadMinimapDefinitions(minimaps, tables);
    ZINIFile manifest;
    manifest.LoadINIFile("QXV_RndMnfst.txt");

    randomizer::PlacementResult result = randomizer::PlaceRandomizedWorld(manifest, tables, seedHash);
    if (!result.built) {
        world.clear();
        SetRandomizerAssignmentText(ZString());
        ZLog::Printf("The randomized world of seed 0x%08x could not be built (%s); the game is not randomized",
                     seedHash, result.failure.GetText());
        return false;
    }
    world = static_cast<RandomizerWorldTable&&>(result.world);
    SetRandomizerAssignmentText(result.assignmentText);
    return true;
}
