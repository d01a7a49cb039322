#pragma once
// A disk that is full once: after refuseFirstWriteTo(name), the first write
// to the file whose path ends with `name` fails with ENOSPC; the writes
// after it (those that put the tables back) find room again.
// db::os::testing::reset() puts the plain writes back.
#include <string>

namespace velmora::testing {

void refuseFirstWriteTo(const std::string& fileName);
// Whether the refused write happened.
bool firstWriteRefused();

} // namespace velmora::testing
