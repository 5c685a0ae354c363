#include "entity/ZConditions.h"

#include <cstdlib>

#include "entity/ZAllegianceComponent.h"
#include "entity/ZDataComponent.h"
#include "entity/ZEntity.h"
#include "entity/ZEntityGameHooks.h"
#include "foundation/ZHandleRegistry.h"
#include "foundation/ZTokenizer.h"

namespace {

ZEntity* EntityOfHandle(const uint32_t handle) { return ResolveEntity(FindObjectByHandle(handle)); }

// True when both sides have an allegiance and the values are equal; missing
// ones count as "not the same side" for enemies and "same side" for friends.
enum class Sides { Same, Different, Unknown };

Sides CompareSides(const uint32_t context, const uint32_t other) {
    const ZAllegianceComponent* a = ResolveComponent<ZAllegianceComponent>(FindObjectByHandle(context));
    const ZAllegianceComponent* b = ResolveComponent<ZAllegianceComponent>(FindObjectByHandle(other));
    if (a == nullptr || b == nullptr) {
        return Sides::Unknown;
    }
    return a->allegiance == b->allegiance ? Sides::Same : Sides::Different;
}

}  // namespace

ZEntity* ResolveEntity(ZRTTIBase* const object) { return ResolveComponent<ZEntity>(object); }

ZEntity* ResolveEntityName(const ZHashedString name, const uint32_t context, const uint32_t other) {
    static const ZHashedString kSelf("Self");
    static const ZHashedString kContext("Context");
    static const ZHashedString kOther("Other");
    static const ZHashedString kPlayer("Player");
    static const ZHashedString kEnemy("Enemy");
    static const ZHashedString kFriend("Friend");
    static const ZHashedString kFriendly("Friendly");
    if (name == kSelf || name == kContext) {
        return EntityOfHandle(context);
    }
    if (name == kOther) {
        return EntityOfHandle(other);
    }
    if (name == kPlayer) {
        return EntityOfHandle(GetGamePlayerHandle());
    }
    if (name == kEnemy) {
        return CompareSides(context, other) != Sides::Same ? EntityOfHandle(other) : nullptr;
    }
    if (name == kFriend || name == kFriendly) {
        return CompareSides(context, other) != Sides::Different ? EntityOfHandle(other) : nullptr;
    }
    return nullptr;
}

void EvaluateOperand(const ZString& word, const uint32_t context, const uint32_t other, ZDatumEntry& entry) {
    const char* const text = word.GetText();
    const char first = word.IsEmpty() ? '\0' : text[0];
    if ((first >= '0' && first <= '9') || first == '-') {
        if (word.Find(".") >= 0) {
            entry = ZDatumEntry::Float(std::strtof(text, nullptr));
        } else {
            // Leading digits only, clamped to the int range (atoi's overflow is undefined).
            const long long value = std::strtoll(text, nullptr, 10);
            const long long clamped = value < INT32_MIN ? INT32_MIN : (value > INT32_MAX ? INT32_MAX : value);
            entry = ZDatumEntry::Int(static_cast<int32_t>(clamped));
        }
        return;
    }
    if (first == '\'' || first == '"') {
        entry = ZDatumEntry::String(word.GetLength() >= 2 ? word.Mid(1, word.GetLength() - 2) : ZString());
        return;
    }
    if (word.EqualsNoCase("True")) {
        entry = ZDatumEntry::Bool(true);
        return;
    }
    if (word.EqualsNoCase("False")) {
        entry = ZDatumEntry::Bool(false);
        return;
    }
    const ZHashedString name(text);
    if (context != 0 && GetDatumByHandle(context, name, entry)) {
        return;
    }
    if (other != 0 && GetDatumByHandle(other, name, entry)) {
        return;
    }
    if (ZEntity* player = ResolveEntityName(ZHashedString("Player"), context, other)) {
        GetDatumByHandle(player->GetHandle(), name, entry);
    }
}

bool EvaluateExpressionText(const ZString& text, const uint32_t context, const uint32_t other) {
    if (GetOperatorTokens().IsEmpty()) {
        InitOperatorTokens();
    }
    const ZString expression = text.Replace("&lt;", "<").Replace("&gt;", ">");
    ZArray<ZString> words;
    TokenizeExpression(expression, words);
    if (words.Count() == 3) {
        ZDatumEntry left;
        ZDatumEntry right;
        EvaluateOperand(words[0], context, other, left);
        EvaluateOperand(words[2], context, other, right);
        const ZString& op = words[1];
        if (op == "==") {
            return DatumEquals(left, right);
        }
        if (op == "!=") {
            return DatumNotEquals(left, right);
        }
        if (op == "<") {
            return DatumLess(left, right);
        }
        if (op == "<=") {
            return DatumLessEqual(left, right);
        }
        if (op == ">") {
            return DatumGreater(left, right);
        }
        if (op == ">=") {
            return DatumGreaterEqual(left, right);
        }
        return false;
    }
    if (words.IsEmpty()) {
        return false;
    }
    const ZString& keyword = words[0];
    if (keyword.EqualsNoCase("speedrunbest")) {
        return IsGameSpeedrunBest();
    }
    if (keyword.EqualsNoCase("israndomizermode")) {
        return IsGameRandomizerMode();
    }
    // "hassteam" and everything else.
    return false;
}

bool EvaluateCondition(const ZDefNode& node, const uint32_t context, const uint32_t other) {
    static const ZHashedString kText("Text");
    static const ZHashedString kCondition("Condition");
    if (node.HasAttribute(kText)) {
        return EvaluateExpressionText(node.GetAttribute(kText), context, other);
    }
    const uint32_t at = node.FindChildIndex(0, kCondition);
    if (at < node.children.Count()) {
        return EvaluateConditionNode(node.children[at], context, other);
    }
    return false;
}

bool EvaluateConditionNode(const ZDefNode& node, const uint32_t context, const uint32_t other) {
    static const ZHashedString kText("Text");
    static const ZHashedString kExpression("Expression");
    static const ZHashedString kCombination("Combination");
    static const ZHashedString kLogic("Logic");
    const uint32_t expression = node.FindChildIndex(0, kExpression);
    if (expression < node.children.Count()) {
        const ZDefNode& child = node.children[expression];
        return child.HasAttribute(kText) && EvaluateExpressionText(child.GetAttribute(kText), context, other);
    }
    const uint32_t combination = node.FindChildIndex(0, kCombination);
    if (combination >= node.children.Count() || !node.children[combination].HasAttribute(kLogic)) {
        return false;
    }
    const ZDefNode& group = node.children[combination];
    const ZString& logic = group.GetAttribute(kLogic);
    const bool isAnd = logic.EqualsNoCase("AND");
    if (!isAnd && !logic.EqualsNoCase("OR")) {
        return false;
    }
    bool result = isAnd;
    for (const ZDefNode& child : group.children) {
        if (child.name != kExpression) {
            continue;
        }
        if (result != isAnd) {
            break;
        }
        result = EvaluateCondition(child, context, other);
    }
    return result;
}
