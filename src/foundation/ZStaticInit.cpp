#include "foundation/ZStaticInit.h"

#include <type_traits>

// Nothing to release at exit: exit handlers that run late may still read them.
static_assert(std::is_trivially_destructible_v<ZBuiltinNames>);

const ZBuiltinNames& GetBuiltinNames() {
    static const ZBuiltinNames names;
    return names;
}

namespace {

// Interns the names before the entry point, in their listed order.
[[maybe_unused]] const ZBuiltinNames& gInternAtStartup = GetBuiltinNames();

}  // namespace
