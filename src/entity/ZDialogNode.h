#pragma once

#include <cstdint>

#include "entity/ZDatum.h"
#include "foundation/ZArray.h"
#include "foundation/ZDefNode.h"
#include "foundation/ZHashedString.h"
#include "foundation/ZMap.h"
#include "foundation/ZString.h"

class ZDialogProviderComponent;

// A conversation is a tree of these nodes, parsed once from a provider's
// "DialogProvider" element. Each conversation walks its own clone, and the
// clone rewrites itself as it goes: actions, queries and template references
// replace themselves by their content when the walk reaches them. The small
// node classes live together here because they only make sense as a family.
// A node owns its children (and a query its two branches).
class ZDialogNode {
public:
    enum Kind : int32_t {
        kBase = 0,
        kAction = 1,
        kOption = 2,
        kQuery = 3,
        kDialog = 4,
        kRoot = 5,
        kTemplate = 6,
        kTemplateRef = 7,
    };

    ZDialogNode() = default;
    virtual ~ZDialogNode();
    ZDialogNode(const ZDialogNode&) = delete;
    ZDialogNode& operator=(const ZDialogNode&) = delete;

    // The conversation's provider (the root's, asked through the parents).
    virtual ZDialogProviderComponent* GetProvider() const;
    virtual ZDialogNode* GetRoot();
    virtual int32_t GetKind() const { return kBase; }
    // Runs the node when the walk reaches it; the node the walk stands on
    // afterwards. replaced is set when the node took itself out of its parent
    // (the walk then deletes it).
    virtual ZDialogNode* Execute(bool& replaced);
    virtual bool IsWalkTarget() const { return true; }
    virtual bool WalksChildren() const { return true; }
    // A deep copy under the given parent.
    virtual ZDialogNode* Clone(ZDialogNode* newParent) const;

    // The node's index among its parent's children, -1 when it has none.
    int32_t IndexInParent() const;
    // Takes the node out of its parent's children (it is not deleted).
    void Detach();
    // Inserts the nodes into this node's children at index, in order, as theirs.
    // Costs what it inserts plus one move of the children after index.
    void InsertChildren(uint32_t index, const ZArray<ZDialogNode*>& nodes);

    ZDialogNode* parent = nullptr;
    ZArray<ZDialogNode*> children;

protected:
    void CloneChildren(ZDialogNode& copy) const;
    // Puts the nodes in this node's place; the walk goes on at the first of
    // them, or at the parent when nothing stands at or after that place.
    ZDialogNode* Splice(const ZArray<ZDialogNode*>& replacement, bool& replaced);
};

class ZDialogActionNode : public ZDialogNode {
public:
    int32_t GetKind() const override { return kAction; }
    ZDialogNode* Execute(bool& replaced) override;
    ZDialogNode* Clone(ZDialogNode* newParent) const override;

    ZString text;
    uint8_t defer = 0;
};

class ZDialogOptionNode : public ZDialogNode {
public:
    int32_t GetKind() const override { return kOption; }
    // Offers the option: its label goes to the provider's option list.
    ZDialogNode* Execute(bool& replaced) override;
    bool WalksChildren() const override { return false; }
    ZDialogNode* Clone(ZDialogNode* newParent) const override;

    ZString text;
    ZString section;
    ZString file;
    uint8_t isDefault = 0;
    // The speaker's blackboard as it stood when the option was offered.
    ZMap<ZHashedString, ZDatumEntry> snapshot;
};

class ZDialogQueryNode : public ZDialogNode {
public:
    ~ZDialogQueryNode() override;
    int32_t GetKind() const override { return kQuery; }
    ZDialogNode* Execute(bool& replaced) override;
    ZDialogNode* Clone(ZDialogNode* newParent) const override;

    ZDefNode condition;
    ZArray<ZDialogNode*> whenTrue;
    ZArray<ZDialogNode*> whenFalse;
};

// A "Dialog" element: one text to show.
class ZDialogTextNode : public ZDialogNode {
public:
    int32_t GetKind() const override { return kDialog; }
    ZDialogNode* Execute(bool& replaced) override;
    ZDialogNode* Clone(ZDialogNode* newParent) const override;

    ZString text;
    ZString section;
    ZString file;
    uint8_t noClose = 0;  // the player may not cancel while it shows
    uint8_t noStop = 0;   // the next text follows at once in the same box
    uint8_t noBreak = 0;  // ... without a line break before it
    uint8_t noLoc = 0;    // text is shown as written, not a string key
};

class ZDialogRootNode : public ZDialogNode {
public:
    ZDialogProviderComponent* GetProvider() const override { return provider; }
    ZDialogNode* GetRoot() override { return this; }
    int32_t GetKind() const override { return kRoot; }
    ZDialogNode* Execute(bool& replaced) override;
    ZDialogNode* Clone(ZDialogNode* newParent) const override;

    ZString name;
    ZDialogProviderComponent* provider = nullptr;  // set on each conversation's clone
    // What template references have copied into this conversation so far; a
    // copy that would take it past kMaxConversationNodes ends the conversation.
    uint32_t copiedNodes = 0;
    bool outOfNodes = false;
    bool reportedSelfReference = false;  // one log line per conversation
};

// The most nodes template references may copy into one conversation: far more
// than a written conversation uses, few enough that a walk stays quick.
constexpr uint32_t kMaxConversationNodes = 10000;

// "TempSrc": children that "TempDest" elements copy in by name.
class ZDialogTemplateNode : public ZDialogNode {
public:
    int32_t GetKind() const override { return kTemplate; }
    ZDialogNode* Execute(bool& replaced) override;
    bool IsWalkTarget() const override { return false; }
    bool WalksChildren() const override { return false; }
    ZDialogNode* Clone(ZDialogNode* newParent) const override;

    ZString name;
};

// "TempDest": replaced by a copy of the named template's children.
class ZDialogTemplateRefNode : public ZDialogNode {
public:
    int32_t GetKind() const override { return kTemplateRef; }
    ZDialogNode* Execute(bool& replaced) override;
    ZDialogNode* Clone(ZDialogNode* newParent) const override;

    ZString name;
    // The templates whose copies this reference stands in, outermost first.
    // A reference never expands one of them: a template that names itself,
    // directly or through others, would otherwise grow without end.
    ZArray<ZString> within;
};

// The nodes of a subtree, counting both branches of queries.
uint32_t CountDialogNodes(const ZDialogNode& node);

// One node from a definition element (null for "Event" and unknown
// elements), with its children; its parent is set to parent.
ZDialogNode* ParseDialogNode(ZDialogProviderComponent* provider, const ZDefNode& element, ZDialogNode* parent);

// The walk: from node on, runs what it passes until it stands on a Dialog
// node other than the provider's current one (true), or runs off the root
// (false, node null). A conversation whose templates copy in more than its
// node budget ends there, as does a walk that keeps rewriting the tree
// without reaching a text; each is logged.
bool FindNextDialog(ZDialogProviderComponent* provider, ZDialogNode*& node);
bool StepToNextSibling(ZDialogProviderComponent* provider, ZDialogNode*& node, ZDialogNode* parent);
