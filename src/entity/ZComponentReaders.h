#pragma once

#include "foundation/ZDefNode.h"
#include "foundation/ZQuaternion.h"
#include "foundation/ZVector3.h"

// Small readers that components use on their definition elements. Missing
// attributes and text that is not a number read as 0.

// "X", "Y", "Z".
ZVector3 ReadVector3(const ZDefNode& element);
// The same, but a missing attribute leaves that coordinate of v as it is.
void ReadVector3Into(const ZDefNode& element, ZVector3& v);
// sin(angle/2)·axis, cos(angle/2) from the first "Axis" child and "Angle"
// (radians); the axis is taken as written, not normalised.
ZQuaternion ReadRotation(const ZDefNode& element);
