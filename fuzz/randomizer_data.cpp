// The randomizer's data files from untrusted bytes: the input is a manifest
// text, a zero byte, then an entity-instance definition file. The placement
// build over any manifest ends (bounded candidate rounds) and, when it builds
// a world, hands out each item exactly once; the load hook reads the instance
// file's "Randomizer" element and rewrites it against itself and another copy
// of it, whatever it claims, without reaching outside the trees it is given.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "driver/FuzzTempFolder.h"
#include "foundation/ZDefinitionFile.h"
#include "foundation/ZStreamMgr.h"
#include "game/progression/RandomizedPlacement.h"

namespace {

const std::string& Folder() {
    static const std::string& folder = [] () -> const std::string& {
        const std::string& path = fuzz::TempFolder("fuzz_randomizer");
        ZStreamMgr::GetInstance()->AddDirectorySource(path.c_str());
        return path;
    }();
    return folder;
}

void WriteFile(const std::string& name, const uint8_t* data, const size_t size) {
    std::FILE* file = std::fopen((Folder() + "/" + name).c_str(), "wb");
    if (file == nullptr) return;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1 << 16) return 0;
    const uint8_t* split = static_cast<const uint8_t*>(std::memchr(data, 0, size));
    const size_t textSize = split != nullptr ? static_cast<size_t>(split - data) : size;
    const uint8_t* instance = split != nullptr ? split + 1 : data + size;
    const size_t instanceSize = size - textSize - (split != nullptr ? 1 : 0);

    ZINIFile manifest;
    manifest.LoadINIText(reinterpret_cast<const char*>(data), textSize);
    uint32_t seed = 0;
    for (size_t i = 0; i < size && i < 4; ++i) seed = (seed << 8) | data[i];
    const MinimapTables tables;
    const randomizer::PlacementResult result = randomizer::PlaceRandomizedWorld(manifest, tables, seed);
    if (result.built) {
        std::map<OpportunityRef, int> handedOut;
        for (const OpportunityRef& place : randomizer::PlaceList()) {
            const auto entry = result.world.find(place);
            if (entry == result.world.end()) __builtin_trap();
            ++handedOut[entry->second];
        }
        for (const auto& [item, count] : handedOut) {
            if (count != 1) __builtin_trap();
        }
    } else if (!result.world.empty() || result.failure.IsEmpty()) {
        __builtin_trap();
    }

    // The instance file under two names, and as the gift a grant may name.
    const char* target = "QXV_EntInst_00000001.zdd";
    const char* source = "QXV_EntInst_00000002.zdd";
    WriteFile(target, instance, instanceSize);
    WriteFile(source, instance, instanceSize);
    ZDefNode root;
    LoadDefinitionFile(root, target);
    std::vector<RandomizerFileRecord> records;
    ReadRandomizerElement(root, records, ZHashedString(target));
    if (records.size() > 1) __builtin_trap();

    RandomizerWorldTable& world = GetRandomizerWorldTable();
    world.clear();
    if (!records.empty()) {
        for (const auto& [id, opportunity] : records.front().opportunities) {
            const OpportunityRef to(ZHashedString(target), id, opportunity.global, opportunity.globalId);
            const OpportunityRef from(ZHashedString(source), id, opportunity.global, opportunity.globalId);
            world[to] = from;
            if (!opportunity.grants.empty()) {
                const std::string gift = std::string(opportunity.grants.front().definition.GetText()) + ".zdd";
                if (gift.find('/') == std::string::npos && gift.size() < 64) {
                    WriteFile(gift, instance, instanceSize);
                }
            }
        }
    }
    RandomizerDefinitionHook(root, ZHashedString(target));
    // A second pass over a rewritten tree changes nothing marked already and ends.
    RandomizerDefinitionHook(root, ZHashedString(target));
    ClearRandomizedWorld(world);
    return 0;
}
