#pragma once

// What a randomized world changes in the shipped data, and how. Entity-instance
// files ("QXV_EntInst_xxxxxxxx.zdd") may carry a "Randomizer" element naming
// the opportunities they hand out; the world table says, for a target
// opportunity, which source opportunity's gift it hands out instead. The
// definition cache's load hook rewrites each instance file in memory as it is
// read: a stable entity keeps its body and takes the source's script function
// and item glyph, any other entity becomes the gift itself in its own place.

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "foundation/ZDefNode.h"
#include "foundation/ZHashedString.h"
#include "foundation/ZString.h"

struct GrantRecord {
    ZString definition;
    ZString function;
    ZString glyph;
};

struct OpportunityRecord {
    ZHashedString id;
    bool global = false;
    ZHashedString globalId;
    std::vector<GrantRecord> grants;  // only the first is used
};

// One file's "Randomizer" element.
struct RandomizerFileRecord {
    uint32_t instanceId = 0;
    uint32_t requirementMask = 0;
    bool hasRequirements = false;
    bool majorEligible = false;
    bool stable = false;
    std::map<ZHashedString, OpportunityRecord> opportunities;
};

// An opportunity named from outside its file. Ordered by file, then
// opportunity id; the other two fields travel with it.
struct OpportunityRef {
    ZHashedString fileId;
    ZHashedString opportunityId;
    bool global = false;
    ZHashedString globalId;

    OpportunityRef() = default;
    OpportunityRef(ZHashedString file, ZHashedString opportunity, bool isGlobal, ZHashedString global)
        : fileId(file), opportunityId(opportunity), global(isGlobal), globalId(global) {}
    // From names: global when the opportunity name is not empty, its global id
    // the opportunity's own; a null name gives the none id.
    static OpportunityRef FromNames(const char* fileName, const char* opportunityName);

    bool operator<(const OpportunityRef& other) const {
        if (fileId != other.fileId) return fileId < other.fileId;
        return opportunityId < other.opportunityId;
    }
    bool operator==(const OpportunityRef& other) const {
        return fileId == other.fileId && opportunityId == other.opportunityId;
    }
};

// Target -> source. Empty when the running game is not randomized.
using RandomizerWorldTable = std::map<OpportunityRef, OpportunityRef>;

// The process-wide table the load hook applies (the game's).
RandomizerWorldTable& GetRandomizerWorldTable();

// "Reqs" text read as hexadecimal, skipping every byte that is no hex digit.
uint32_t ParseRequirementMask(const char* text);
// The 8 hex digits of "QXV_EntInst_xxxxxxxx.zdd" as a number; 0 for any other form.
uint32_t InstanceIdFromFileName(const char* fileName);
// "QXV_EntInst_" + 8 lower-case hex digits + ".zdd".
std::string InstanceFileName(uint32_t instanceId);

// Reads the root's "Randomizer" elements: the first fills a record appended to
// out when out is empty; later ones only add their flags to out's first record.
void ReadRandomizerElement(const ZDefNode& root, std::vector<RandomizerFileRecord>& out, ZHashedString fileName);

// The definition cache's load callback: registers the file's opportunities and
// rewrites the tree for each one the world table retargets.
void RandomizerDefinitionHook(ZDefNode& root, ZHashedString fileName);

// Rewrites root (the target's file) to hand out what the source hands out in
// the shipped data. Nothing happens when the table has no entry for target.
void ApplyRandomizedOpportunity(const RandomizerWorldTable& world, ZDefNode& root, const OpportunityRef& target);

// Depth first, node before children: the first element named element whose
// attribute is text byte for byte; the shared empty node when none.
const ZDefNode& FindElementByAttribute(const ZDefNode& node, ZHashedString element, ZHashedString attribute,
                                       const char* text);
// Depth first: every element named element whose attribute is text and that is
// not yet marked "Randomized" becomes a copy of replacement, marked, with its
// attribute kept as text.
void ReplaceElementsByAttribute(ZDefNode& node, ZHashedString element, ZHashedString attribute, const char* text,
                                const ZDefNode& replacement);
// Depth first: for each unmarked element named element with the attribute,
// replaces oldGlyph by newGlyph in the localised string it names (file "File"
// or the campaign's string file, section "Section", key = the attribute) and
// marks the element when that succeeded.
void RetargetTextGlyph(ZDefNode& node, ZHashedString element, ZHashedString attribute, const char* oldGlyph,
                       const char* newGlyph);

// Empties the table, the definition cache, the assignment text, the registry
// and every string change, so the next loads read the shipped data.
void ClearRandomizedWorld(RandomizerWorldTable& world);

// Diagnostics: every opportunity the hook has seen (file, opportunity) ->
// (global, global id), global ones once per global id.
const std::map<std::pair<ZHashedString, ZHashedString>, std::pair<bool, ZHashedString>>& GetOpportunityRegistry();
// Writes the registry to the debugger output, one line per opportunity:
// "file (global, global id)".
void LogOpportunityRegistry();

// Where the major items went, one line each; set by the placement build.
ZString GetRandomizerAssignmentText();
void SetRandomizerAssignmentText(const ZString& text);
