#pragma once
// A file copied whole and proven: written, synced, then read back and
// compared with its source byte for byte. Failures throw db::DbError
// naming the file, and the partial copy is removed.
#include <string>

namespace velmora::store {

void copyFileChecked(const std::string& source, const std::string& target);

// The two files hold the same bytes (false when either cannot be read).
bool sameBytes(const std::string& a, const std::string& b);

} // namespace velmora::store
