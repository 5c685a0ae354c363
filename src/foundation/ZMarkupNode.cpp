#include "foundation/ZString.h"
#include "foundation/ZMarkupNode.h"

#include <climits>
#include <cstring>

#include "foundation/ZLog.h"

namespace {

const char* SkipSpace(const char* p, const char* end) {
    while (p < end && IsSpaceChar(*p)) {
        ++p;
    }
    return p;
}

const char* FindByte(const char* p, const char* end, const char c) {
    const void* hit = std::memchr(p, c, static_cast<size_t>(end - p));
    return hit != nullptr ? static_cast<const char*>(hit) : end;
}

// Just past the next '>' at or after p, or the end.
const char* PastTagEnd(const char* p, const char* end) {
    const char* gt = FindByte(p, end, '>');
    return gt < end ? gt + 1 : end;
}

ZString Slice(const char* begin, const char* end) {
    return ZString::FromBytes(begin, static_cast<int32_t>(end - begin));
}

// The '<' of the close tag that ends an element named name whose content
// starts at p, counting nested opening tags; null when there is none. Past
// receives the position behind that close tag.
const char* FindCloseTag(const char* p, const char* end, const ZString& name, const char** past) {
    const size_t nameLength = static_cast<size_t>(name.GetLength());
    int64_t depth = 1;
    while (p < end) {
        const char* lt = FindByte(p, end, '<');
        if (lt == end) {
            return nullptr;
        }
        const char* q = SkipSpace(lt + 1, end);
        if (q < end && *q == '/') {
            const char* n = q + 1;
            const char* nEnd = n;
            while (nEnd < end && !IsSpaceChar(*nEnd) && *nEnd != '>') {
                ++nEnd;
            }
            const char* behind = PastTagEnd(nEnd, end);
            --depth;
            if (depth == 0 && static_cast<size_t>(nEnd - n) == nameLength &&
                std::memcmp(n, name.GetText(), nameLength) == 0) {
                *past = behind;
                return lt;
            }
            p = behind;
            continue;
        }
        // Declarations and comments open nothing.
        if (q < end && (*q == '?' || *q == '!')) {
            p = PastTagEnd(q, end);
            continue;
        }
        const char* gt = FindByte(q, end, '>');
        if (gt == end) {
            return nullptr;
        }
        if (gt[-1] != '/' && gt[-1] != '-') {
            ++depth;
        }
        p = gt + 1;
    }
    return nullptr;
}

struct MarkupParser {
    bool depthReported = false;

    uint32_t Parse(ZArray<ZMarkupNode*>& out, const char* p, const char* end, ZMarkupNode* owner,
                   const uint32_t depth) {
        uint32_t made = 0;
        for (;;) {
            p = SkipSpace(p, end);
            if (p >= end) {
                break;
            }
            if (*p != '<') {
                const char* lt = FindByte(p, end, '<');
                if (owner != nullptr) {
                    const char* last = lt;
                    while (last > p && IsSpaceChar(last[-1])) {
                        --last;
                    }
                    if (last > p) {
                        owner->texts.PushBack(Slice(p, last));
                    }
                }
                p = lt;
                continue;
            }

            p = SkipSpace(p + 1, end);
            if (p >= end) {
                break;
            }
            if (*p == '?' || *p == '!') {
                p = PastTagEnd(p, end);
                continue;
            }

            const char* nameStart = p;
            while (p < end && !IsSpaceChar(*p) && *p != '>' && *p != '/') {
                ++p;
            }
            // A tag without a name (a stray close tag, "< >") makes no node;
            // its attributes are read and dropped so the tag is passed whole.
            ZMarkupNode* node = nullptr;
            if (p > nameStart) {
                node = new ZMarkupNode(Slice(nameStart, p));
                out.PushBack(node);
                ++made;
            }

            for (;;) {
                p = SkipSpace(p, end);
                const char* attributeStart = p;
                while (p < end && !IsSpaceChar(*p) && *p != '=' && *p != '/' && *p != '>') {
                    ++p;
                }
                if (p == attributeStart) {
                    break;
                }
                const char* attributeEnd = p;
                ZString value;
                const char* afterName = SkipSpace(p, end);
                if (afterName < end && *afterName == '=') {
                    p = SkipSpace(afterName + 1, end);
                    if (p < end && (*p == '"' || *p == '\'')) {
                        const char quote = *p++;
                        const char* valueStart = p;
                        p = FindByte(p, end, quote);
                        value = Slice(valueStart, p);
                        if (p < end) {
                            ++p;
                        }
                    } else {
                        const char* valueStart = p;
                        while (p < end && !IsSpaceChar(*p) && *p != '>' && *p != '/') {
                            ++p;
                        }
                        value = Slice(valueStart, p);
                    }
                }
                if (node != nullptr) {
                    node->attributes.PushBack(
                        new ZMarkupAttribute{Slice(attributeStart, attributeEnd), value});
                }
            }

            p = SkipSpace(p, end);
            const bool selfClosing = p < end && *p == '/';
            p = PastTagEnd(p, end);
            if (node == nullptr || selfClosing) {
                continue;
            }

            const char* past = nullptr;
            const char* close = FindCloseTag(p, end, node->name, &past);
            if (close == nullptr) {
                continue;  // no close tag: an empty element, and the text goes on after its opening tag
            }
            if (depth + 1 < kMaxMarkupDepth) {
                Parse(node->children, p, close, node, depth + 1);
            } else if (!depthReported) {
                depthReported = true;
                ZLog::Printf("ParseMarkupNode: elements nested deeper than %u levels are dropped",
                             kMaxMarkupDepth);
            }
            p = past;
        }
        return made;
    }
};

}  // namespace

void ZMarkupNode::Clear() {
    for (ZMarkupAttribute* attribute : attributes) {
        delete attribute;
    }
    attributes.Clear();
    FreeMarkupNodes(children);
    texts.Clear();
}

const ZString* ZMarkupNode::FindAttribute(const char* attributeName) const {
    for (const ZMarkupAttribute* attribute : attributes) {
        if (attribute->name == attributeName) {
            return &attribute->value;
        }
    }
    return nullptr;
}

uint32_t ParseMarkupNode(ZArray<ZMarkupNode*>& out, const char* text, size_t length, ZMarkupNode* owner) {
    if (text == nullptr) {
        return 0;
    }
    // Pieces become engine strings, whose lengths are 32-bit.
    if (length >= static_cast<size_t>(INT32_MAX)) {
        ZLog::Printf("ParseMarkupNode: %zu bytes of markup is too long to parse", length);
        return 0;
    }
    const void* zero = std::memchr(text, 0, length);
    const char* end = zero != nullptr ? static_cast<const char*>(zero) : text + length;
    MarkupParser parser;
    return parser.Parse(out, text, end, owner, 0);
}

void FreeMarkupNodes(ZArray<ZMarkupNode*>& nodes) {
    for (ZMarkupNode* node : nodes) {
        delete node;
    }
    nodes.Clear();
}
