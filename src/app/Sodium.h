#pragma once
// libsodium made ready once for the whole process, before its first use
// (the password hash, the backup archive's encryption).
namespace velmora::app {

// Throws std::runtime_error when the library cannot start (no random
// source): nothing that needs it may go on.
void ensureSodium();

} // namespace velmora::app
