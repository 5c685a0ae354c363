// zddc: compiles markup text into definition files (.zdd, .kdd) and prints
// definition files back as markup.
//   zddc IN.markup OUT.zdd   compile
//   zddc --print IN.zdd      print as markup

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "foundation/ZDefinitionFile.h"
#include "foundation/ZMarkupNode.h"
#include "platform/os/files.h"

namespace {

const char* const kHelp =
    "usage: zddc IN.markup OUT.zdd\n"
    "       zddc --print IN.zdd\n"
    "\n"
    "The first form compiles markup text into a definition file. The markup must\n"
    "hold exactly one top-level element, which becomes the root; its attributes\n"
    "and nested elements become the tree. Attribute values are written in double\n"
    "or single quotes (no escapes) or bare; \"<?...>\" declarations and \"<!...>\"\n"
    "comments are skipped; text between elements is ignored. Element and\n"
    "attribute names ignore letter case. An existing OUT.zdd is replaced only once\n"
    "the new one is complete.\n"
    "\n"
    "The second form prints a definition file as markup, attributes in the order\n"
    "the file keeps them. Compiling that text gives the same tree, unless a name\n"
    "or value cannot be written as markup; zddc then says so and exits with 1.\n";

// The whole file, or false with a message.
bool ReadFile(const char* path, std::string& out) {
    std::FILE* file = os::OpenFile(path, "rb");
    if (file == nullptr) {
        std::fprintf(stderr, "zddc: cannot open %s\n", path);
        return false;
    }
    char* buffer = nullptr;
    const int32_t size = ReadWholeFile(file, &buffer);
    std::fclose(file);
    if (size < 0) {
        std::fprintf(stderr, "zddc: cannot read %s\n", path);
        return false;
    }
    out.assign(buffer, static_cast<size_t>(size));
    delete[] buffer;
    return true;
}

int Compile(const char* input, const char* output) {
    std::string text;
    if (!ReadFile(input, text)) {
        return 1;
    }
    ZArray<ZMarkupNode*> markup;
    ParseMarkupNode(markup, text.data(), text.size(), nullptr);
    if (markup.Count() != 1) {
        std::fprintf(stderr, "zddc: %s holds %u top-level elements; a definition file has exactly one root\n",
                     input, markup.Count());
        FreeMarkupNodes(markup);
        return 1;
    }
    ZArray<ZDefNode> roots;
    BuildDefinitionNodes(roots, markup);
    if (!SaveDefinitionFile(roots[0], output)) {
        std::fprintf(stderr, "zddc: cannot write %s\n", output);
        return 1;
    }
    return 0;
}

// Prints markup for a tree; counts what cannot be written so that it reads back.
class MarkupPrinter {
public:
    explicit MarkupPrinter(std::FILE* out) : m_out(out) {}

    void Print(const ZDefNode& node, const int depth) {
        const std::string name = NameText(node.name, "element");
        std::fprintf(m_out, "%*s<%s", depth * 2, "", name.c_str());
        for (const auto& attribute : node.attributes) {
            const std::string key = NameText(attribute.key, "attribute");
            const char* value = attribute.value.GetText();
            const size_t length = static_cast<size_t>(attribute.value.GetLength());
            const bool hasDouble = std::memchr(value, '"', length) != nullptr;
            const bool hasSingle = std::memchr(value, '\'', length) != nullptr;
            if (hasDouble && hasSingle) {
                Problem("the value of %s holds both kinds of quote", key.c_str());
            }
            // Inside an element's content a '<' or '>' in a value upsets the
            // search for the close tag, and a zero byte ends the text.
            if (std::memchr(value, '<', length) != nullptr || std::memchr(value, '>', length) != nullptr ||
                std::memchr(value, 0, length) != nullptr) {
                Problem("the value of %s holds '<', '>' or a zero byte", key.c_str());
            }
            const char quote = hasDouble ? '\'' : '"';
            std::fprintf(m_out, " %s=%c", key.c_str(), quote);
            std::fwrite(value, 1, length, m_out);
            std::fputc(quote, m_out);
        }
        if (node.children.IsEmpty()) {
            std::fputs("/>\n", m_out);
            return;
        }
        std::fputs(">\n", m_out);
        for (const ZDefNode& child : node.children) {
            Print(child, depth + 1);
        }
        std::fprintf(m_out, "%*s</%s>\n", depth * 2, "", name.c_str());
    }

    int Problems() const { return m_problems; }

private:
    std::string NameText(const ZHashedString name, const char* what) {
        const char* text = name.GetText();
        std::string result = text != nullptr ? text : "";
        bool usable = !result.empty();
        for (const char c : result) {
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == '=' ||
                c == '/' || c == '>' || c == '<' || c == '"' || c == '\'' || c == '!' || c == '?') {
                usable = false;
            }
        }
        if (!usable) {
            Problem("the %s name \"%s\" cannot be written as markup", what, result.c_str());
        }
        return result;
    }

    __attribute__((format(printf, 2, 3))) void Problem(const char* format, ...) {
        ++m_problems;
        std::fputs("zddc: ", stderr);
        va_list args;
        va_start(args, format);
        std::vfprintf(stderr, format, args);
        va_end(args);
        std::fputc('\n', stderr);
    }

    std::FILE* m_out;
    int m_problems = 0;
};

int Print(const char* input) {
    std::string bytes;
    if (!ReadFile(input, bytes)) {
        return 1;
    }
    ZDefNode root;
    const bool whole = ReadDefinitionBytes(root, bytes.data(), bytes.size(), input);
    if (!whole) {
        std::fprintf(stderr, "zddc: %s is truncated or damaged; printing what could be read\n", input);
    }
    MarkupPrinter printer(stdout);
    printer.Print(root, 0);
    return whole && printer.Problems() == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kHelp, stdout);
            return 0;
        }
    }
    if (argc == 3 && std::strcmp(argv[1], "--print") == 0) {
        return Print(argv[2]);
    }
    if (argc == 3 && argv[1][0] != '-') {
        return Compile(argv[1], argv[2]);
    }
    std::fputs(kHelp, stderr);
    return 2;
}
