#include "app/Sodium.h"

#include <sodium.h>

#include <stdexcept>

namespace velmora::app {

void ensureSodium() {
    // sodium_init is safe to call again; 1 means it already ran.
    if (sodium_init() < 0) throw std::runtime_error("A titkosító könyvtár nem indítható el (nincs véletlenforrás).");
}

} // namespace velmora::app
