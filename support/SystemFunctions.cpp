#include "support/SystemFunctions.h"

namespace promo {

// Each accessor fills its table once, under the guard of its static's
// initialisation.
#define PROMO_BIND_SYSTEM_FUNCTION(fn) \
    table.fn = SystemFunction<decltype(::fn)>(table.kFile, #fn, table.kLookup);
#define PROMO_DEFINE_SYSTEM_LIBRARY(Table, accessor, file, lookup, FUNCTIONS) \
    const Table& accessor() {                                                 \
        static const Table bound = [] {                                       \
            Table table;                                                      \
            FUNCTIONS(PROMO_BIND_SYSTEM_FUNCTION)                             \
            return table;                                                     \
        }();                                                                  \
        return bound;                                                         \
    }

PROMO_SYSTEM_LIBRARIES(PROMO_DEFINE_SYSTEM_LIBRARY)

}  // namespace promo
