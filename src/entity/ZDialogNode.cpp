#include "entity/ZDialogNode.h"

#include <algorithm>

#include "entity/ZCommandRunner.h"
#include "entity/ZConditions.h"
#include "entity/ZDataComponent.h"
#include "entity/ZDialogConsumerComponent.h"
#include "entity/ZDialogProviderComponent.h"
#include "entity/ZDialogText.h"
#include "entity/ZEntity.h"
#include "entity/ZEntityGameHooks.h"
#include "foundation/ZHandleRegistry.h"
#include "foundation/ZLog.h"
#include "framework/ZLocMgr.h"

namespace {

// Far more steps than any written conversation takes between two texts; a
// walk beyond it is a tree that keeps growing (a template naming itself).
constexpr uint32_t kMaxWalkSteps = 100000;

void DeleteAll(ZArray<ZDialogNode*>& nodes) {
    for (ZDialogNode* node : nodes) {
        delete node;
    }
    nodes.Clear();
}

void CloneList(const ZArray<ZDialogNode*>& from, ZArray<ZDialogNode*>& to, ZDialogNode* parent) {
    for (const ZDialogNode* node : from) {
        to.PushBack(node->Clone(parent));
    }
}

uint32_t CountList(const ZArray<ZDialogNode*>& nodes) {
    uint32_t total = 0;
    for (const ZDialogNode* node : nodes) {
        total += CountDialogNodes(*node);
    }
    return total;
}

// Tells every reference among the copies which templates it stands in.
void MarkWithin(const ZArray<ZDialogNode*>& nodes, const ZArray<ZString>& within) {
    for (ZDialogNode* node : nodes) {
        if (node->GetKind() == ZDialogNode::kTemplateRef) {
            static_cast<ZDialogTemplateRefNode*>(node)->within = within;
        } else if (node->GetKind() == ZDialogNode::kQuery) {
            const auto* query = static_cast<const ZDialogQueryNode*>(node);
            MarkWithin(query->whenTrue, within);
            MarkWithin(query->whenFalse, within);
        }
        MarkWithin(node->children, within);
    }
}

ZDialogRootNode* RootOf(ZDialogNode& node) {
    ZDialogNode* const root = node.GetRoot();
    return root != nullptr && root->GetKind() == ZDialogNode::kRoot ? static_cast<ZDialogRootNode*>(root) : nullptr;
}

uint32_t ProviderHandle(const ZDialogProviderComponent* provider) {
    return provider != nullptr ? provider->GetHandle() : 0;
}

uint32_t ConsumerHandle(const ZDialogProviderComponent* provider) {
    return provider != nullptr ? provider->consumer : 0;
}

void Expand(const ZDialogNode& node, ZString& text) {
    if (ZDialogProviderComponent* provider = node.GetProvider()) {
        ExpandDialogText(provider, text);
    } else {
        ExpandBraceTokens(text);
    }
}

void ExpandConditionTexts(ZDialogProviderComponent* provider, ZDefNode& node) {
    static const ZHashedString kText("Text");
    if (node.HasAttribute(kText)) {
        ZString text = node.GetAttribute(kText);
        if (provider != nullptr) {
            ExpandDialogText(provider, text);
        } else {
            ExpandBraceTokens(text);
        }
        node.SetAttribute(kText, text);
    }
    for (ZDefNode& child : node.children) {
        ExpandConditionTexts(provider, child);
    }
}

bool ReadFlag(const ZDefNode& element, const char* key) {
    static const ZHashedString kTrue("True");
    return ZHashedString(element.GetAttribute(ZHashedString(key)).GetText()) == kTrue;
}

// The string file of a node: its own "File", else the game's dialog file.
ZString ReadFile(const ZDefNode& element) {
    static const ZHashedString kFile("File");
    if (element.HasAttribute(kFile)) {
        return element.GetAttribute(kFile);
    }
    const ZHashedString file = GetGameDialogStringFile();
    return ZString(file.GetTextOrEmpty());
}

void ParseChildren(ZDialogProviderComponent* provider, const ZDefNode& element, ZDialogNode* node,
                   ZArray<ZDialogNode*>& into) {
    for (const ZDefNode& child : element.children) {
        if (ZDialogNode* made = ParseDialogNode(provider, child, node)) {
            into.PushBack(made);
        }
    }
}

}  // namespace

ZDialogNode::~ZDialogNode() { DeleteAll(children); }

ZDialogProviderComponent* ZDialogNode::GetProvider() const {
    return parent != nullptr ? parent->GetProvider() : nullptr;
}

ZDialogNode* ZDialogNode::GetRoot() { return parent != nullptr ? parent->GetRoot() : nullptr; }

ZDialogNode* ZDialogNode::Execute(bool& /*replaced*/) { return this; }

ZDialogNode* ZDialogNode::Clone(ZDialogNode* newParent) const {
    auto* copy = new ZDialogNode();
    copy->parent = newParent;
    CloneChildren(*copy);
    return copy;
}

int32_t ZDialogNode::IndexInParent() const {
    return parent != nullptr ? parent->children.Find(const_cast<ZDialogNode*>(this)) : -1;
}

void ZDialogNode::Detach() {
    const int32_t index = IndexInParent();
    if (index >= 0) {
        parent->children.RemoveAt(static_cast<uint32_t>(index));
    }
}

void ZDialogNode::InsertChildren(uint32_t index, const ZArray<ZDialogNode*>& nodes) {
    const uint32_t before = children.Count();
    const uint32_t added = nodes.Count();
    if (index > before) {
        index = before;
    }
    children.Resize(before + added);
    ZDialogNode** const slots = children.Data();
    std::move_backward(slots + index, slots + before, slots + before + added);
    for (uint32_t i = 0; i < added; ++i) {
        nodes[i]->parent = this;
        slots[index + i] = nodes[i];
    }
}

void ZDialogNode::CloneChildren(ZDialogNode& copy) const { CloneList(children, copy.children, &copy); }

ZDialogNode* ZDialogNode::Splice(const ZArray<ZDialogNode*>& replacement, bool& replaced) {
    if (parent == nullptr) {
        return this;  // a detached node has no place to fill
    }
    ZDialogNode* const into = parent;
    int32_t index = IndexInParent();
    if (index < 0) {
        index = static_cast<int32_t>(into->children.Count());
        into->InsertChildren(static_cast<uint32_t>(index), replacement);
    } else if (replacement.IsEmpty()) {
        into->children.RemoveAt(static_cast<uint32_t>(index));
    } else {
        // The first replacement takes this node's slot; only the rest move the tail.
        into->children[static_cast<uint32_t>(index)] = replacement[0];
        replacement[0]->parent = into;
        ZArray<ZDialogNode*> rest;
        for (uint32_t i = 1; i < replacement.Count(); ++i) {
            rest.PushBack(replacement[i]);
        }
        into->InsertChildren(static_cast<uint32_t>(index) + 1, rest);
    }
    replaced = true;
    if (static_cast<uint32_t>(index) < into->children.Count()) {
        return into->children[static_cast<uint32_t>(index)];
    }
    return into;
}

ZDialogNode* ZDialogActionNode::Execute(bool& replaced) {
    Expand(*this, text);
    ZDialogProviderComponent* const provider = GetProvider();
    if (defer != 0) {
        if (ZDialogConsumerComponent* consumer = provider != nullptr ? provider->ResolveConsumer() : nullptr) {
            consumer->deferred.PushBack(text);
        }
    } else {
        RunCommandText(text, ProviderHandle(provider), ConsumerHandle(provider));
    }
    ZArray<ZDialogNode*> moved = static_cast<ZArray<ZDialogNode*>&&>(children);
    children.Clear();
    return Splice(moved, replaced);
}

ZDialogNode* ZDialogActionNode::Clone(ZDialogNode* newParent) const {
    auto* copy = new ZDialogActionNode();
    copy->parent = newParent;
    copy->text = text;
    copy->defer = defer;
    CloneChildren(*copy);
    return copy;
}

ZDialogNode* ZDialogOptionNode::Execute(bool& /*replaced*/) {
    Expand(*this, text);
    ZDialogProviderComponent* const provider = GetProvider();
    ZString label;
    if (ZLocMgr* loc = ZLocMgr::GetInstance()) {
        label = loc->GetString(ZHashedString(file.GetText()), ZHashedString(section.GetText()),
                               ZHashedString(text.GetText()));
    }
    Expand(*this, label);
    // A choice shows its inline pictures as the dialog's text does, not their markup.
    label = label.EncodeImageTags();
    if (provider != nullptr) {
        provider->OfferOption(label, this, isDefault != 0);
    }
    snapshot.Clear();
    ZEntity* const owner = provider != nullptr ? provider->GetOwner() : nullptr;
    if (const ZDataComponent* data = GetComponent<ZDataComponent>(owner)) {
        snapshot = data->GetValues();
    }
    return this;
}

ZDialogNode* ZDialogOptionNode::Clone(ZDialogNode* newParent) const {
    auto* copy = new ZDialogOptionNode();
    copy->parent = newParent;
    copy->text = text;
    copy->section = section;
    copy->file = file;
    copy->isDefault = isDefault;
    CloneChildren(*copy);
    return copy;
}

ZDialogQueryNode::~ZDialogQueryNode() {
    DeleteAll(whenTrue);
    DeleteAll(whenFalse);
}

ZDialogNode* ZDialogQueryNode::Execute(bool& replaced) {
    ZDialogProviderComponent* const provider = GetProvider();
    ZDefNode expanded = condition;
    ExpandConditionTexts(provider, expanded);
    const bool result = EvaluateCondition(expanded, ProviderHandle(provider), ConsumerHandle(provider));
    ZArray<ZDialogNode*> chosen = static_cast<ZArray<ZDialogNode*>&&>(result ? whenTrue : whenFalse);
    (result ? whenTrue : whenFalse).Clear();
    DeleteAll(result ? whenFalse : whenTrue);
    return Splice(chosen, replaced);
}

ZDialogNode* ZDialogQueryNode::Clone(ZDialogNode* newParent) const {
    auto* copy = new ZDialogQueryNode();
    copy->parent = newParent;
    copy->condition = condition;
    CloneList(whenTrue, copy->whenTrue, newParent);
    CloneList(whenFalse, copy->whenFalse, newParent);
    CloneChildren(*copy);
    return copy;
}

ZDialogNode* ZDialogTextNode::Execute(bool& /*replaced*/) {
    Expand(*this, text);
    return this;
}

ZDialogNode* ZDialogTextNode::Clone(ZDialogNode* newParent) const {
    auto* copy = new ZDialogTextNode();
    copy->parent = newParent;
    copy->text = text;
    copy->section = section;
    copy->file = file;
    copy->noClose = noClose;
    copy->noStop = noStop;
    copy->noBreak = noBreak;
    copy->noLoc = noLoc;
    CloneChildren(*copy);
    return copy;
}

ZDialogNode* ZDialogRootNode::Execute(bool& /*replaced*/) {
    Expand(*this, name);
    return this;
}

ZDialogNode* ZDialogRootNode::Clone(ZDialogNode* newParent) const {
    auto* copy = new ZDialogRootNode();
    copy->parent = newParent;
    copy->name = name;
    CloneChildren(*copy);
    return copy;
}

ZDialogNode* ZDialogTemplateNode::Execute(bool& /*replaced*/) {
    Expand(*this, name);
    return this;
}

ZDialogNode* ZDialogTemplateNode::Clone(ZDialogNode* newParent) const {
    auto* copy = new ZDialogTemplateNode();
    copy->parent = newParent;
    copy->name = name;
    CloneChildren(*copy);
    return copy;
}

ZDialogNode* ZDialogTemplateRefNode::Execute(bool& replaced) {
    Expand(*this, name);
    ZArray<ZDialogNode*> copies;
    ZDialogRootNode* const root = RootOf(*this);
    if (within.Contains(name)) {
        // Inside a copy of its own template: expanding would copy itself again.
        if (root == nullptr || !root->reportedSelfReference) {
            ZLog::Printf("Dialog: template '%s' refers to itself; the reference inside it is skipped", name.GetText());
        }
        if (root != nullptr) {
            root->reportedSelfReference = true;
        }
        return Splice(copies, replaced);
    }
    const ZDialogNode* found = nullptr;
    if (root != nullptr) {
        for (const ZDialogNode* child : root->children) {
            if (child->GetKind() == kTemplate && static_cast<const ZDialogTemplateNode*>(child)->name == name) {
                found = child;
                break;
            }
        }
    }
    if (found != nullptr) {
        const uint32_t cost = CountList(found->children);
        if (root != nullptr) {
            if (cost > kMaxConversationNodes - root->copiedNodes) {
                ZLog::Printf("Dialog: templates copied more than %u nodes into one conversation; the conversation ends",
                             kMaxConversationNodes);
                root->outOfNodes = true;
                return this;
            }
            root->copiedNodes += cost;
        }
        CloneList(found->children, copies, parent);
        ZArray<ZString> inside = within;
        inside.PushBack(name);
        MarkWithin(copies, inside);
    } else {
        // Nothing to copy in: the reference goes and the walk goes on.
        ZLog::Printf("Dialog: no template named '%s' for a TempDest", name.GetText());
    }
    return Splice(copies, replaced);
}

ZDialogNode* ZDialogTemplateRefNode::Clone(ZDialogNode* newParent) const {
    auto* copy = new ZDialogTemplateRefNode();
    copy->parent = newParent;
    copy->name = name;
    copy->within = within;
    CloneChildren(*copy);
    return copy;
}

uint32_t CountDialogNodes(const ZDialogNode& node) {
    uint32_t total = 1 + CountList(node.children);
    if (node.GetKind() == ZDialogNode::kQuery) {
        const auto& query = static_cast<const ZDialogQueryNode&>(node);
        total += CountList(query.whenTrue) + CountList(query.whenFalse);
    }
    return total;
}

ZDialogNode* ParseDialogNode(ZDialogProviderComponent* provider, const ZDefNode& element, ZDialogNode* parent) {
    static const ZHashedString kDialogProvider("DialogProvider");
    static const ZHashedString kDialog("Dialog");
    static const ZHashedString kOption("Option");
    static const ZHashedString kAction("Action");
    static const ZHashedString kQuery("Query");
    static const ZHashedString kTempSrc("TempSrc");
    static const ZHashedString kTempDest("TempDest");
    static const ZHashedString kTrue("True");
    static const ZHashedString kFalse("False");
    static const ZHashedString kName("Name");
    static const ZHashedString kText("Text");
    static const ZHashedString kSection("Section");

    const ZHashedString kind = element.name;
    ZDialogNode* node = nullptr;
    if (kind == kDialogProvider) {
        auto* root = new ZDialogRootNode();
        root->name = element.GetAttribute(kName);
        root->provider = provider;
        node = root;
    } else if (kind == kDialog) {
        auto* dialog = new ZDialogTextNode();
        dialog->text = element.GetAttribute(kText);
        dialog->section = element.GetAttribute(kSection);
        dialog->file = ReadFile(element);
        dialog->noClose = ReadFlag(element, "NoClose") ? 1 : 0;
        dialog->noStop = ReadFlag(element, "NoStop") ? 1 : 0;
        dialog->noBreak = ReadFlag(element, "NoBreak") ? 1 : 0;
        dialog->noLoc = ReadFlag(element, "NoLoc") ? 1 : 0;
        node = dialog;
    } else if (kind == kOption) {
        auto* option = new ZDialogOptionNode();
        option->text = element.GetAttribute(kText);
        option->section = element.GetAttribute(kSection);
        option->file = ReadFile(element);
        option->isDefault = ReadFlag(element, "Default") ? 1 : 0;
        node = option;
    } else if (kind == kAction) {
        auto* action = new ZDialogActionNode();
        action->text = element.GetAttribute(kText);
        action->defer = ReadFlag(element, "Defer") ? 1 : 0;
        action->parent = parent;
        return action;  // an action's children are not read
    } else if (kind == kQuery) {
        auto* query = new ZDialogQueryNode();
        query->parent = parent;
        query->condition = element;
        for (const ZDefNode& branch : element.children) {
            if (branch.name == kTrue) {
                ParseChildren(provider, branch, parent, query->whenTrue);
            } else if (branch.name == kFalse) {
                ParseChildren(provider, branch, parent, query->whenFalse);
            }
        }
        return query;
    } else if (kind == kTempSrc) {
        auto* source = new ZDialogTemplateNode();
        source->name = element.GetAttribute(kName);
        node = source;
    } else if (kind == kTempDest) {
        auto* reference = new ZDialogTemplateRefNode();
        reference->name = element.GetAttribute(kName);
        reference->parent = parent;
        return reference;
    } else {
        return nullptr;  // "Event" (read by the component base) and unknown elements
    }
    node->parent = parent;
    if (kind == kTempSrc) {
        // Template names are expanded once, when parsed.
        auto* source = static_cast<ZDialogTemplateNode*>(node);
        if (provider != nullptr) {
            ExpandDialogText(provider, source->name);
        } else {
            ExpandBraceTokens(source->name);
        }
    }
    ParseChildren(provider, element, node, node->children);
    return node;
}

bool FindNextDialog(ZDialogProviderComponent* provider, ZDialogNode*& node) {
    uint32_t steps = 0;
    const uint32_t providerHandle = provider != nullptr ? provider->GetHandle() : 0;
    ZDialogRootNode* const startRoot = node != nullptr ? RootOf(*node) : nullptr;
    // The conversation as it stands now: an action may have started another.
    const auto outOfNodes = [&] {
        const ZDialogRootNode* root = provider != nullptr ? provider->GetConversation() : startRoot;
        return root != nullptr && root->outOfNodes;
    };
    if (outOfNodes()) {
        node = nullptr;
        return false;
    }
    while (node != nullptr) {
        for (;;) {
            if (++steps > kMaxWalkSteps) {
                ZLog::Printf("Dialog: the walk did not reach a text after %u steps (a template that uses itself?); "
                             "the conversation ends",
                             kMaxWalkSteps);
                node = nullptr;
                return false;
            }
            bool replaced = false;
            ZDialogNode* const next = node->Execute(replaced);
            if (replaced) {
                delete node;
            }
            if (provider != nullptr && FindObjectByHandle(providerHandle) != provider) {
                node = nullptr;  // an action destroyed the speaker: the conversation is over
                return false;
            }
            if (outOfNodes()) {
                node = nullptr;
                return false;
            }
            if (!replaced && next == node) {
                break;
            }
            node = next;
        }
        const ZDialogNode* current = nullptr;
        if (provider != nullptr) {
            current = provider->GetCurrent();
        }
        if (node->GetKind() == ZDialogNode::kDialog && node != current) {
            return true;
        }
        ZDialogNode* descend = nullptr;
        if (node->WalksChildren()) {
            for (ZDialogNode* child : node->children) {
                if (child->IsWalkTarget()) {
                    descend = child;
                    break;
                }
            }
        }
        if (descend != nullptr) {
            node = descend;
            continue;
        }
        // Climb: the first walkable later sibling of the node or of an ancestor.
        ZDialogNode* parent = node->parent;
        ZDialogNode* sibling = nullptr;
        while (sibling == nullptr) {
            if (parent == nullptr) {
                node = nullptr;
                return false;
            }
            if (parent->WalksChildren()) {
                const int32_t index = parent->children.Find(node);
                for (uint32_t i = static_cast<uint32_t>(index + 1); i < parent->children.Count(); ++i) {
                    if (parent->children[i]->IsWalkTarget()) {
                        sibling = parent->children[i];
                        break;
                    }
                }
            }
            if (sibling == nullptr) {
                node = parent;
                parent = parent->parent;
            }
        }
        node = sibling;
    }
    return false;
}

bool StepToNextSibling(ZDialogProviderComponent* provider, ZDialogNode*& node, ZDialogNode* parent) {
    while (parent != nullptr) {
        if (parent->WalksChildren()) {
            const int32_t index = parent->children.Find(node);
            for (uint32_t i = static_cast<uint32_t>(index + 1); i < parent->children.Count(); ++i) {
                if (parent->children[i]->IsWalkTarget()) {
                    node = parent->children[i];
                    return FindNextDialog(provider, node);
                }
            }
        }
        node = parent;
        parent = parent->parent;
    }
    node = nullptr;
    return false;
}
