#pragma once

#include "foundation/ZArray.h"
#include "foundation/ZHashedString.h"

// Controls of one group that may share an input: binding an input to one of
// them does not take it away from the others.
struct ZShareSet {
    ZHashedString group;
    ZArray<ZHashedString> controls;
};
