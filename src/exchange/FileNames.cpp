// The shipment's file names and the check of the code they carry.
#include "exchange/ShipmentFiles.h"

namespace velmora::exchange {

ShipmentFileNames shipmentFileNames(const std::string& intkod)
{
    return {"Hosa" + intkod + ".Dbf", "Hosb" + intkod + ".Dbf", "Hosc" + intkod + ".Dbf"};
}

ShipmentFileNames copyFileNames(const std::string& intkod)
{
    return {"hosa" + intkod + ".dbf", "hosb" + intkod + ".dbf", "hosc" + intkod + ".dbf"};
}

// The code becomes part of a file name: anything but plain letters and
// digits (a path separator, a dot, a blank) could put the file elsewhere.
bool validIntkod(const std::string& intkod)
{
    if (intkod.size() != 4)
        return false;
    for (unsigned char c : intkod) {
        bool ok = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        if (!ok)
            return false;
    }
    return true;
}

} // namespace velmora::exchange
