#include "app/ProgramPaths.h"

#include "app/TextHelpers.h"

namespace velmora::app {

namespace {
std::string line(const std::string& label, const std::string& value) { return PadRight(label, 30, " ") + value; }
} // namespace

std::string ProgramPathsText(const Session& session) {
    return line("A program helye: ", session.gdir) + "\n" +
           line("Az adatállományok helye: ", session.kadat) + "\n" +
           line("A listák helye: ", session.klista) + "\n" +
           // The KULD directory without kkuld's trailing separator.
           line("Az adatküldés helye: ", SureDir(session.gdir) + "KULD") + "\n\n" +
           line("Alapdíj: ", std::to_string(session.alapert) + " Ft");
}

} // namespace velmora::app
