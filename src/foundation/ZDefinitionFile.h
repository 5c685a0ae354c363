#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "foundation/ZArray.h"
#include "foundation/ZDefNode.h"
#include "foundation/ZHashedString.h"

class ZMarkupNode;

// Definition files (.zdd, and the game's .kdd) hold one node tree behind an
// 8-byte header: a 32-bit magic and two 16-bit version fields, which readers
// skip. A node, little-endian, as the saved-state store also stores it:
//   u32 name length, name bytes; u32 attribute count; u32 child count;
//   per attribute: u32 key length, key bytes, u32 value length, value bytes;
//   then the children, each a node in this same layout.
// Texts carry no terminator. Names and keys are interned ignoring case.

// What our tools write into the header; the readers accept any values.
inline constexpr char kDefinitionFileMagic[4] = {'.', 'z', 'd', 'd'};
inline constexpr uint16_t kDefinitionFileMajor = 1;
inline constexpr uint16_t kDefinitionFileMinor = 1;
inline constexpr size_t kDefinitionHeaderSize = 8;

// Deepest node nesting a reader follows; a file nested deeper is corrupt (no
// definition comes near it) and would otherwise exhaust the stack.
inline constexpr uint32_t kMaxDefinitionDepth = 256;

// A bounded little-endian cursor over bytes in memory. A read that would pass
// the end reads nothing, marks the reader failed and answers false; every
// later read fails too.
class ZDefinitionReader {
public:
    ZDefinitionReader(const void* data, size_t size)
        : m_data(static_cast<const uint8_t*>(data)), m_size(data != nullptr ? size : 0) {}

    bool ReadBytes(void* out, size_t n);
    bool ReadU16(uint16_t& out);
    bool ReadU32(uint32_t& out);
    // A u32 length and that many bytes.
    bool ReadText(std::string& out);
    bool Skip(size_t n);

    bool Failed() const { return m_failed; }
    size_t Position() const { return m_position; }
    size_t Remaining() const { return m_size - m_position; }

private:
    bool Take(size_t n, const uint8_t** out);

    const uint8_t* m_data;
    size_t m_size;
    size_t m_position = 0;
    bool m_failed = false;
};

// Reads one node and its children into node (which should start empty). A
// repeated attribute key replaces the earlier value. On a short read or a
// nesting deeper than kMaxDefinitionDepth the reader stops and answers false;
// node then holds what was read before that point.
bool ReadDefinitionNode(ZDefinitionReader& reader, ZDefNode& node);

// Appends the node in the layout above: attributes in ascending id order,
// children in order, names as the texts their ids stand for.
void SerializeDefinitionNode(std::string& out, const ZDefNode& node);
// SerializeDefinitionNode into an open file; false when the write fails.
bool WriteDefinitionNode(std::FILE* file, const ZDefNode& node);
// A u32 length and the text of the name (the none name is "NULL").
bool WriteHashedName(std::FILE* file, ZHashedString name);

// Reads a whole definition file held in memory into root (cleared first).
// A file shorter than its header gives an empty root; a truncated or corrupt
// one keeps what was read before the fault. Either logs a line naming what
// (the file name, or "definition bytes" when null). False on any fault.
bool ReadDefinitionBytes(ZDefNode& root, const void* data, size_t size, const char* what = nullptr);

// Clears root and, when a stream source holds the file, reads it. A missing
// file leaves root empty and reports nothing; a damaged one logs a line.
// True when the file was found and read whole.
bool LoadDefinitionFile(ZDefNode& root, const char* fileName);

// Writes header and root as a whole definition file, replacing path
// atomically. False (with a log line) when it cannot be written.
bool SaveDefinitionFile(const ZDefNode& root, const char* path);

// Appends one definition node per markup node, in order: the tag name (and
// each attribute name) interned ignoring case, attribute texts as values,
// markup children converted into children; text runs are not kept. Then
// deletes the markup nodes and empties the array.
void BuildDefinitionNodes(ZArray<ZDefNode>& out, ZArray<ZMarkupNode*>& markup);

// For readers of versioned formats: major > 1, or 1.1 and later.
constexpr bool VersionAtLeast1_1(const uint32_t major, const uint32_t minor) {
    return major > 1 || (major == 1 && minor >= 1);
}
