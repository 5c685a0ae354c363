#include "entity/ZDialogProviderComponent.h"

#include "entity/ZDataComponent.h"
#include "entity/ZDialogConsumerComponent.h"
#include "entity/ZDialogNode.h"
#include "entity/ZDialogText.h"
#include "entity/ZEntity.h"
#include "foundation/ZHandleRegistry.h"
#include "foundation/ZLog.h"
#include "framework/ZLocMgr.h"

namespace {

// A dialog action may run a command that destroys the speaker while its
// conversation is being walked. The walk then still stands in that
// conversation's nodes, so they are kept until every walk has ended.
uint32_t g_walkDepth = 0;

ZArray<ZDialogRootNode*>& Orphans() {
    static ZArray<ZDialogRootNode*> orphans;
    return orphans;
}

struct WalkGuard {
    WalkGuard() { ++g_walkDepth; }
    ~WalkGuard() {
        if (--g_walkDepth == 0) {
            ZArray<ZDialogRootNode*> orphans = static_cast<ZArray<ZDialogRootNode*>&&>(Orphans());
            Orphans().Clear();
            for (ZDialogRootNode* root : orphans) {
                delete root;
            }
        }
    }
    WalkGuard(const WalkGuard&) = delete;
    WalkGuard& operator=(const WalkGuard&) = delete;
};

}  // namespace

ZDialogProviderComponent::~ZDialogProviderComponent() { ClearDialogs(); }

void ZDialogProviderComponent::ClearDialogs() {
    if (m_conversation != nullptr && g_walkDepth > 0) {
        m_conversation->provider = nullptr;
        Orphans().PushBack(m_conversation);
    } else {
        delete m_conversation;
    }
    m_conversation = nullptr;
    m_current = nullptr;
    delete m_tree;
    m_tree = nullptr;
    options.Clear();
    defaultOption = 0;
    text = ZString();
}

void ZDialogProviderComponent::ReadDefinition(const ZDefNode& element) {
    static const ZHashedString kDialogProvider("DialogProvider");
    static const ZHashedString kName("Name");
    ZSerialComponent::ReadDefinition(element);
    if (element.name != kDialogProvider) {
        return;
    }
    if (m_tree == nullptr) {
        m_tree = static_cast<ZDialogRootNode*>(ParseDialogNode(this, element, nullptr));
        return;
    }
    if (element.HasAttribute(kName)) {
        m_tree->name = element.GetAttribute(kName);
    }
    for (const ZDefNode& child : element.children) {
        if (ZDialogNode* node = ParseDialogNode(this, child, m_tree)) {
            m_tree->children.PushBack(node);
        }
    }
}

bool ZDialogProviderComponent::StartDialog() {
    delete m_conversation;
    m_conversation = nullptr;
    m_current = nullptr;
    options.Clear();
    defaultOption = 0;
    if (m_tree == nullptr) {
        ZLog::Printf("Dialog: a dialog provider without a DialogProvider element was asked to talk; nothing started");
        return false;
    }
    m_conversation = static_cast<ZDialogRootNode*>(m_tree->Clone(nullptr));
    m_conversation->provider = this;
    return Advance(-1, false, false);
}

bool ZDialogProviderComponent::Advance(const int32_t choice, const bool append, const bool noBreak) {
    // Texts marked NoStop pull the next one into the same box; a chain that
    // never ends (a template that repeats itself) is cut off here.
    constexpr uint32_t kMaxJoinedTexts = 256;
    const WalkGuard guard;
    const uint32_t self = GetHandle();
    bool found = Step(choice, append, noBreak);
    for (uint32_t joined = 0; FindObjectByHandle(self) == this && m_current != nullptr && m_current->noStop != 0;
         ++joined) {
        if (joined == kMaxJoinedTexts) {
            ZLog::Printf("Dialog: more than %u texts joined by NoStop; the rest waits for the next accept",
                         kMaxJoinedTexts);
            break;
        }
        found = Step(-1, true, m_current->noBreak != 0);
    }
    return found;
}

bool ZDialogProviderComponent::Step(const int32_t choice, const bool append, const bool noBreak) {
    if (m_conversation == nullptr) {
        return false;
    }
    ZDialogNode* node = m_current;
    if (node == nullptr) {
        node = m_conversation;
    } else if (choice >= 0 && !options.IsEmpty()) {
        for (uint32_t i = 0; i < options.Count(); ++i) {
            ZDialogOptionNode* const option = options[i].node;
            if (option == nullptr) {
                continue;
            }
            if (static_cast<int32_t>(i) == choice) {
                if (ZDataComponent* data = GetComponent<ZDataComponent>(GetOwner())) {
                    data->RestoreValues(option->snapshot);
                }
                option->Detach();
                ZArray<ZDialogNode*> moved = static_cast<ZArray<ZDialogNode*>&&>(option->children);
                option->children.Clear();
                m_current->InsertChildren(m_current->children.Count(), moved);
            } else {
                option->Detach();
            }
            delete option;
        }
    }
    options.Clear();
    defaultOption = 0;

    const uint32_t self = GetHandle();
    const bool found = FindNextDialog(this, node);
    if (FindObjectByHandle(self) != this) {
        return false;  // the walk's commands destroyed this speaker
    }
    if (!found) {
        m_current = nullptr;
    } else {
        m_current = static_cast<ZDialogTextNode*>(node);
        name = m_conversation->name;
        ZString shown;
        if (m_current->noLoc != 0) {
            shown = m_current->text;
        } else if (ZLocMgr* loc = ZLocMgr::GetInstance()) {
            shown = loc->GetString(ZHashedString(m_current->file.GetText()),
                                   ZHashedString(m_current->section.GetText()),
                                   ZHashedString(m_current->text.GetText()));
        }
        ExpandDialogText(this, shown);
        shown = shown.ExpandNewlines().EncodeImageTags();
        if (!append) {
            text = shown;
        } else if (!shown.IsEmpty()) {
            if (!noBreak) {
                text += "\n";
            }
            text += shown;
        }
    }
    return found;
}

ZDialogConsumerComponent* ZDialogProviderComponent::ResolveConsumer() const {
    ZRTTIBase* object = FindObjectByHandle(consumer);
    if (object == nullptr || !object->IsA(ZDialogConsumerComponent::StaticType())) {
        return nullptr;
    }
    return static_cast<ZDialogConsumerComponent*>(object);
}

void ZDialogProviderComponent::OfferOption(const ZString& label, ZDialogOptionNode* node, const bool isDefault) {
    // A walk that starts over inside a text's children passes its options
    // again: the same option stays one entry (listing it twice would show it
    // twice and delete its node twice when the choice is taken).
    int32_t index = -1;
    for (uint32_t i = 0; i < options.Count(); ++i) {
        if (options[i].node == node) {
            index = static_cast<int32_t>(i);
            options[i].label = label;
            break;
        }
    }
    if (index < 0) {
        options.PushBack(DialogOptionEntry{label, node});
        index = static_cast<int32_t>(options.Count()) - 1;
    }
    if (isDefault) {
        defaultOption = index;
    }
}
