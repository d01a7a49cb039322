#include "reports/Counties.h"

#include <cstdlib>

namespace velmora::reports {

std::string countyName(const std::string& megye) {
    static const char* const names[] = {
        "BARANYA VÁRMEGYE",          "BÁCS-KISKUN VÁRMEGYE",           "BÉKÉS VÁRMEGYE",
        "BORSOD-ABAUJ-ZEMPLÉN VÁRMEGYE", "CSONGRÁD-CSANÁD VÁRMEGYE",   "FEJÉR VÁRMEGYE",
        "GYŐR-MOSON-SOPRON VÁRMEGYE", "HAJDU-BIHAR VÁRMEGYE",          "HEVES VÁRMEGYE",
        "KOMÁROM-ESZTERGOM VÁRMEGYE", "NÓGRÁD VÁRMEGYE",               "PEST VÁRMEGYE",
        "SOMOGY VÁRMEGYE",            "SZABOLCS-SZATMÁR-BEREG VÁRMEGYE", "JÁSZ-NAGYKUN-SZOLNOK VÁRMEGYE",
        "TOLNA VÁRMEGYE",             "VAS VÁRMEGYE",                  "VESZPRÉM VÁRMEGYE",
        "ZALA VÁRMEGYE",              "BUDAPEST"};
    char* end = nullptr;
    const long code = std::strtol(megye.c_str(), &end, 10);
    if (end == megye.c_str() || code < 1 || code > 20) return {};
    return names[code - 1];
}

} // namespace velmora::reports
