#include "app/ProgramPaths.h"

#include <gtest/gtest.h>

using namespace velmora::app;

TEST(ProgramPaths, FiveLinesWithLabelsPaddedToThirtyCharacters) {
    FixedClock clock({2024, 9, 2});
    Session session(clock);
    session.gdir = "/opt/velmora";
    session.kadat = "/opt/velmora/DATA";
    session.klista = "/opt/velmora/LISTA";
    session.kkuld = "/opt/velmora/KULD/";
    session.mIdoszak = "2024.09";
    session.ertad();

    // Accented labels are padded by characters, not bytes; the KULD line has
    // no trailing separator and is followed by an empty line.
    EXPECT_EQ(ProgramPathsText(session),
              "A program helye:              /opt/velmora\n"
              "Az adatállományok helye:      /opt/velmora/DATA\n"
              "A listák helye:               /opt/velmora/LISTA\n"
              "Az adatküldés helye:          /opt/velmora/KULD\n"
              "\n"
              "Alapdíj:                      8400 Ft");
}
