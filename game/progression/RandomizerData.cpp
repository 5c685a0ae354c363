#include "game/progression/RandomizerData.h"

#include <cstdio>

#include "foundation/ZDefinitionCache.h"
#include "foundation/ZDefinitionFile.h"
#include "foundation/ZLog.h"
#include "framework/ZLocMgr.h"
#include "game/world/KorvanthGame.h"
#include "platform/os/system.h"

namespace {

struct Names {
    ZHashedString randomizer{"Randomizer"};
    ZHashedString stable{"Stable"};
    ZHashedString reqs{"Reqs"};
    ZHashedString opportunity{"Opportunity"};
    ZHashedString id{"ID"};
    ZHashedString global{"Global"};
    ZHashedString globalId{"GlobalID"};
    ZHashedString grant{"Grant"};
    ZHashedString definition{"Definition"};
    ZHashedString function{"Function"};
    ZHashedString glyph{"Glyph"};
    ZHashedString mapHelper{"MapHelper"};
    ZHashedString count{"Count"};
    ZHashedString functionElement{"function"};
    ZHashedString name{"name"};
    ZHashedString text{"text"};
    ZHashedString dialog{"dialog"};
    ZHashedString option{"option"};
    ZHashedString file{"File"};
    ZHashedString section{"Section"};
    ZHashedString space{"Space"};
    ZHashedString guid{"GUID"};
    ZHashedString randomized{"Randomized"};
};

const Names& N() {
    static const Names names;
    return names;
}

using Registry = std::map<std::pair<ZHashedString, ZHashedString>, std::pair<bool, ZHashedString>>;

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

std::set<ZHashedString>& RegisteredGlobals() {
    static std::set<ZHashedString> globals;
    return globals;
}

ZString& AssignmentText() {
    static ZString text;
    return text;
}

int HexDigit(const char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool IsMarked(const ZDefNode& node) { return node.HasAttribute(N().randomized) && node.GetAttribute(N().randomized).ToBool(); }

void Mark(ZDefNode& node) { node.SetAttribute(N().randomized, ZString("true")); }

// The first grant of the record's opportunity, or null.
const GrantRecord* FirstGrant(const RandomizerFileRecord& record, ZHashedString opportunity) {
    const auto it = record.opportunities.find(opportunity);
    if (it == record.opportunities.end() || it->second.grants.empty()) return nullptr;
    return &it->second.grants.front();
}

// The root keeps its name, attributes and own "Space" and "GUID" children,
// and its "Spatial" (where the place puts its entity: the contents of another
// place or a shop's gift must appear here, not where they came from, nor
// nowhere); the rest of its children give way to those of body that are none
// of these.
bool StaysWithThePlace(const ZDefNode& child) {
    static const ZHashedString kSpatial("Spatial");
    return child.name == N().space || child.name == N().guid || child.name == kSpatial;
}

void ReplaceBody(ZDefNode& root, const ZDefNode& body) {
    ZArray<ZDefNode> kept;
    for (uint32_t i = 0; i < root.children.Count(); ++i) {
        const ZDefNode& child = root.children[i];
        if (StaysWithThePlace(child)) kept.PushBack(child);
    }
    for (uint32_t i = 0; i < body.children.Count(); ++i) {
        const ZDefNode& child = body.children[i];
        if (!StaysWithThePlace(child)) kept.PushBack(child);
    }
    root.children = static_cast<ZArray<ZDefNode>&&>(kept);
}

ZHashedString CampaignStringFile() {
    const KorvanthGame* game = KorvanthGame::Get();
    return game != nullptr ? game->GetCampaignStringFile() : ZHashedString();
}

}  // namespace

OpportunityRef OpportunityRef::FromNames(const char* fileName, const char* opportunityName) {
    const ZHashedString opportunity(opportunityName);
    const bool isGlobal = opportunityName != nullptr && opportunityName[0] != 0;
    return OpportunityRef(ZHashedString(fileName), opportunity, isGlobal, opportunity);
}

RandomizerWorldTable& GetRandomizerWorldTable() {
    static RandomizerWorldTable table;
    return table;
}

uint32_t ParseRequirementMask(const char* text) {
    uint32_t value = 0;
    for (const char* p = TextOrEmpty(text); *p != 0; ++p) {
        const int digit = HexDigit(*p);
        if (digit >= 0) value = (value << 4) | static_cast<uint32_t>(digit);
    }
    return value;
}

uint32_t InstanceIdFromFileName(const char* fileName) {
    ZArray<ZString> parts;
    ZString(TextOrEmpty(fileName)).Split("_", parts);
    if (parts.Count() < 3) return 0;
    ZArray<ZString> pieces;
    parts[2].Split(".", pieces);
    if (pieces.Count() == 0 || pieces[0].IsEmpty()) return 0;
    uint32_t value = 0;
    int digits = 0;
    for (const char* p = pieces[0].GetText(); *p != 0; ++p, ++digits) {
        const int digit = HexDigit(*p);
        if (digit < 0 || digits >= 8) return 0;
        value = (value << 4) | static_cast<uint32_t>(digit);
    }
    return value;
}

std::string InstanceFileName(const uint32_t instanceId) {
    char text[32];
    std::snprintf(text, sizeof text, "QXV_EntInst_%08x.zdd", instanceId);
    return text;
}

void ReadRandomizerElement(const ZDefNode& root, std::vector<RandomizerFileRecord>& out, const ZHashedString fileName) {
    ZDefNode::ChildIterator elements(root, N().randomizer);
    while (const ZDefNode* element = elements.Next()) {
        RandomizerFileRecord record;
        record.stable = element->GetAttribute(N().stable).ToBool();
        record.hasRequirements = element->HasAttribute(N().reqs);
        record.requirementMask = ParseRequirementMask(element->GetAttribute(N().reqs).GetText());
        record.majorEligible = record.hasRequirements && (record.requirementMask & 0x10000000u) != 0;
        record.instanceId = InstanceIdFromFileName(fileName.GetText());
        ZDefNode::ChildIterator opportunities(*element, N().opportunity);
        while (const ZDefNode* opportunity = opportunities.Next()) {
            const ZHashedString id(opportunity->GetAttribute(N().id).GetText());
            OpportunityRecord& entry = record.opportunities[id];
            entry.id = id;
            entry.global = opportunity->GetAttribute(N().global).ToBool();
            entry.globalId = ZHashedString(opportunity->GetAttribute(N().globalId).GetText());
            ZDefNode::ChildIterator grants(*opportunity, N().grant);
            while (const ZDefNode* grant = grants.Next()) {
                entry.grants.push_back({grant->GetAttribute(N().definition), grant->GetAttribute(N().function),
                                        grant->GetAttribute(N().glyph)});
            }
        }
        if (out.empty()) {
            out.push_back(static_cast<RandomizerFileRecord&&>(record));
        } else {
            out.front().hasRequirements = out.front().hasRequirements || record.hasRequirements;
            out.front().majorEligible = out.front().majorEligible || record.majorEligible;
        }
    }
}

void RandomizerDefinitionHook(ZDefNode& root, const ZHashedString fileName) {
    std::vector<RandomizerFileRecord> records;
    ReadRandomizerElement(root, records, fileName);
    if (records.empty()) return;
    std::vector<OpportunityRef> refs;
    for (const auto& [id, opportunity] : records.front().opportunities) {
        refs.emplace_back(fileName, id, opportunity.global, opportunity.globalId);
    }
    for (const OpportunityRef& ref : refs) {
        if (!ref.global || RegisteredGlobals().insert(ref.globalId).second) {
            TheRegistry()[{ref.fileId, ref.opportunityId}] = {ref.global, ref.globalId};
        }
    }
    const RandomizerWorldTable& world = GetRandomizerWorldTable();
    for (const OpportunityRef& ref : refs) {
        ApplyRandomizedOpportunity(world, root, ref);
    }
}

void ApplyRandomizedOpportunity(const RandomizerWorldTable& world, ZDefNode& root, const OpportunityRef& target) {
    const auto entry = world.find(target);
    if (entry == world.end()) return;
    const OpportunityRef& source = entry->second;

    ZDefNode shipped;
    LoadDefinitionFile(shipped, source.fileId.GetTextOrEmpty());
    std::vector<RandomizerFileRecord> targetRecords;
    std::vector<RandomizerFileRecord> sourceRecords;
    ReadRandomizerElement(root, targetRecords, target.fileId);
    ReadRandomizerElement(shipped, sourceRecords, source.fileId);
    if (targetRecords.empty() || sourceRecords.empty()) return;
    const RandomizerFileRecord& a = targetRecords.front();
    const RandomizerFileRecord& b = sourceRecords.front();
    const GrantRecord* grantA = FirstGrant(a, target.opportunityId);
    const GrantRecord* grantB = FirstGrant(b, source.opportunityId);

    if (a.stable) {
        if (grantA == nullptr || grantB == nullptr) return;
        const uint32_t helperIndex = root.FindChildIndex(0, N().mapHelper);
        if (helperIndex < root.children.Count()) {
            int32_t added = 0;
            const ZDefNode& sourceHelper = shipped.FindChild(N().mapHelper);
            if (&sourceHelper != &ZDefNode::GetEmptyNode()) {
                added = sourceHelper.HasAttribute(N().count) ? sourceHelper.GetAttribute(N().count).ToInt() : 1;
            }
            ZDefNode& helper = root.children[helperIndex];
            const int32_t count =
                helper.HasAttribute(N().count) ? helper.GetAttribute(N().count).ToInt() + added : added;
            char text[16];
            std::snprintf(text, sizeof text, "%d", count);
            helper.SetAttribute(N().count, ZString(text));
        }
        const ZDefNode function =
            FindElementByAttribute(shipped, N().functionElement, N().name, grantB->function.GetText());
        ReplaceElementsByAttribute(root, N().functionElement, N().name, grantA->function.GetText(), function);
        const ZHashedString first = b.stable ? N().dialog : N().option;
        const ZHashedString second = b.stable ? N().option : N().dialog;
        RetargetTextGlyph(root, N().text, first, grantA->glyph.GetText(), grantB->glyph.GetText());
        RetargetTextGlyph(root, N().text, second, grantA->glyph.GetText(), grantB->glyph.GetText());
        return;
    }
    if (b.stable) {
        if (grantB == nullptr) return;
        ZDefNode gift;
        const ZString giftFile = grantB->definition + ".zdd";
        LoadDefinitionFile(gift, giftFile.GetText());
        ReplaceBody(root, gift);
        return;
    }
    ReplaceBody(root, shipped);
}

const ZDefNode& FindElementByAttribute(const ZDefNode& node, const ZHashedString element,
                                       const ZHashedString attribute, const char* text) {
    if (node.name == element && node.HasAttribute(attribute) && node.GetAttribute(attribute) == ZString(TextOrEmpty(text))) {
        return node;
    }
    for (uint32_t i = 0; i < node.children.Count(); ++i) {
        const ZDefNode& found = FindElementByAttribute(node.children[i], element, attribute, text);
        if (&found != &ZDefNode::GetEmptyNode()) return found;
    }
    return ZDefNode::GetEmptyNode();
}

void ReplaceElementsByAttribute(ZDefNode& node, const ZHashedString element, const ZHashedString attribute,
                                const char* text, const ZDefNode& replacement) {
    const ZString wanted(TextOrEmpty(text));
    if (node.name == element && node.HasAttribute(attribute) && node.GetAttribute(attribute) == wanted &&
        !IsMarked(node)) {
        node = replacement;
        node.flag = 0;
        Mark(node);
        if (node.GetAttribute(attribute) != wanted) node.SetAttribute(attribute, wanted);
    }
    for (uint32_t i = 0; i < node.children.Count(); ++i) {
        ReplaceElementsByAttribute(node.children[i], element, attribute, text, replacement);
    }
}

void RetargetTextGlyph(ZDefNode& node, const ZHashedString element, const ZHashedString attribute,
                       const char* oldGlyph, const char* newGlyph) {
    if (node.name == element && node.HasAttribute(attribute) && !IsMarked(node)) {
        const ZHashedString file = node.HasAttribute(N().file) ? ZHashedString(node.GetAttribute(N().file).GetText())
                                                                : CampaignStringFile();
        const ZHashedString section(node.GetAttribute(N().section).GetText());
        const ZHashedString key(node.GetAttribute(attribute).GetText());
        ZLocMgr* loc = ZLocMgr::GetInstance();
        if (loc != nullptr && loc->ReplaceInString(file, section, key, TextOrEmpty(oldGlyph), TextOrEmpty(newGlyph))) {
            Mark(node);
        }
    }
    for (uint32_t i = 0; i < node.children.Count(); ++i) {
        RetargetTextGlyph(node.children[i], element, attribute, oldGlyph, newGlyph);
    }
}

void ClearRandomizedWorld(RandomizerWorldTable& world) {
    world.clear();
    if (ZDefinitionCache* cache = ZDefinitionCache::GetInstance()) cache->Clear();
    AssignmentText() = ZString();
    TheRegistry().clear();
    RegisteredGlobals().clear();
    if (ZLocMgr* loc = ZLocMgr::GetInstance()) loc->DiscardStringChanges();
}

const Registry& GetOpportunityRegistry() { return TheRegistry(); }

void LogOpportunityRegistry() {
    for (const auto& [key, value] : TheRegistry()) {
        const std::string line = std::string(key.first.GetTextOrEmpty()) + " (" + (value.first ? "true" : "false") +
                                 ", " + value.second.GetTextOrEmpty() + ")\n";
        os::DebugOutput(line);
    }
}

ZString GetRandomizerAssignmentText() { return AssignmentText(); }
void SetRandomizerAssignmentText(const ZString& text) { AssignmentText() = text; }
