#pragma once

#include <cstdint>

#include "entity/ZDatum.h"
#include "foundation/ZDefNode.h"
#include "foundation/ZHashedString.h"
#include "foundation/ZString.h"

class ZEntity;
class ZRTTIBase;

// Conditions guard actions, queries and dialog choices. A condition is either
// an expression text ("Coins >= 3", "israndomizermode") or a small tree of
// "Condition", "Expression" and "Combination" ("Logic" AND / OR) elements.
// Everything is evaluated against two object handles, context and other.
// Malformed conditions are false; nothing is logged.

// A node with a "Text" attribute (an expression) or a "Condition" child.
bool EvaluateCondition(const ZDefNode& node, uint32_t context, uint32_t other);
// A "Condition" element: its first "Expression", else its first "Combination".
bool EvaluateConditionNode(const ZDefNode& node, uint32_t context, uint32_t other);
// Three words compare two operands with ==, !=, <, <=, > or >= ("&lt;" and
// "&gt;" stand for < and >); any other count is a keyword test.
bool EvaluateExpressionText(const ZString& text, uint32_t context, uint32_t other);
// A number, a quoted string, True/False, or a datum name looked up on the
// context, the other object and the player, in that order. A name nobody has
// leaves entry as it was.
void EvaluateOperand(const ZString& word, uint32_t context, uint32_t other, ZDatumEntry& entry);
// The entity a name stands for: "Self"/"Context", "Other", "Player", "Enemy",
// "Friend"/"Friendly"; null for "World", unknown names and dead handles.
ZEntity* ResolveEntityName(ZHashedString name, uint32_t context, uint32_t other);
// The object itself when it is an entity, a component's owner, or the entity
// that owns a collision shape; else null.
ZEntity* ResolveEntity(ZRTTIBase* object);
