#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The CRT display's generated pictures and meshes, as files: the TV static,
// the attract pictures, the tuner, the minimap plates, the world tiles'
// placeholder, and the tube's glass and case.
struct CRTArtFile {
    std::string name;
    std::vector<uint8_t> bytes;
};

std::vector<CRTArtFile> MakeCRTArt();

// The tube's meshes in the engine's mesh format (version 2.1, no tangents):
// positions, normals and one texture coordinate. Units: the 4:3 screen spans
// -1..1 both ways; the glass is a rounded rectangle of half-size kGlassHalf
// bulging towards the viewer, the case fills the rest of the 4:3 screen.
// The glass's texture coordinate runs 0..1 over the rectangle of half-size
// kGlassHalf (top-left first), in proportion to the position; the case's
// follows the same rule (beyond 0..1).
constexpr float kGlassHalf = 0.86f;
std::vector<uint8_t> MakeScreenMesh();
std::vector<uint8_t> MakeMonitorMesh();
