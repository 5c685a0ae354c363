#pragma once

#include "foundation/ZQuaternion.h"
#include "foundation/ZVector3.h"

// An entity's transform and motion at one moment.
struct ZSpatialState {
    ZVector3 position;
    ZQuaternion rotation;
    ZVector3 scale{1.0f, 1.0f, 1.0f};
    ZVector3 velocity;      // units per second
    ZVector3 acceleration;  // units per second squared
};
