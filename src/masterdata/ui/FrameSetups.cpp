#include "masterdata/ui/FrameSetups.h"

#include "store/Schemas.h"

namespace velmora::ui {

namespace {

constexpr Qt::Alignment kLeft = Qt::AlignLeft | Qt::AlignVCenter;
constexpr Qt::Alignment kCentre = Qt::AlignCenter;
constexpr Qt::Alignment kRight = Qt::AlignRight | Qt::AlignVCenter;

BrowseColumn col(const char* field, const char* title, int width = 0, const char* index = "",
                 Qt::Alignment align = kLeft, Qt::Alignment titleAlign = kLeft) {
    return {field, QString::fromUtf8(title), width, index, align, titleAlign};
}

// The frames whose key rule also runs when the key is released.
app::SearchRules withKeyUp(bool keyUp) {
    app::SearchRules r;
    r.keyUpRule = keyUp;
    return r;
}

} // namespace

FrameSetup TApolkep() {
    return {"TApolkep", "DBGApol", &store::schema::APOL(),
            {col("APTAJ", "TAJ szám", 66, "APOL1", kLeft, kCentre), col("ANEV", "Név", 0, "Apol2")},
            "APOL1", withKeyUp(true), true, false,
            QString::fromUtf8("Szakápolói adatok megjelenítése"), QString::fromUtf8("Ápolói adatok")};
}

FrameSetup TBetegkep() {
    return {"TBetegkep", "DBGBeteg", &store::schema::BETEG(),
            {col("TAJ", "TAJ szám", 60, "Beteg1"), col("NEV", "Beteg neve", 114, "Beteg2"), col("NEME", "Neme", 35),
             col("SZULI", "Születési idő", 78)},
            "Beteg1", withKeyUp(true), true, false,
            QString::fromUtf8("Beteg adatok megjelenítése"), QString::fromUtf8("Beteg adatai")};
}

FrameSetup TOrvoskep() {
    return {"TOrvoskep", "DBGOrvos", &store::schema::ORVOS(),
            {col("ORVOSKOD", "Pecsétszám", 77, "ORVOS1", kCentre, kCentre), col("ONEV", "Név", 0, "ORVOS2")},
            "ORVOS1", withKeyUp(true), true, false,
            QString::fromUtf8("Orvos adatok megjelenítése"), QString::fromUtf8("Orvos adatai")};
}

// The fund's short codes and the 30-character settlement names get about
// the width of their characters; the long BNO names fill what is left of
// the window they are shown in.
FrameSetup TTelepkep() {
    return {"TTelepkep", "DBGTelep", &store::schema::TELEPUL(),
            {col("KOZIGKOD", "Kód", 75, "TEL1"), col("HELYNEV", "Megnevezés", 200, "TEL2")},
            "TEL1", withKeyUp(false), true, false, {}, {}};
}

FrameSetup TBNOkep() {
    return {"TBNOkep", "DBGbno", &store::schema::BNOTORZS(),
            {col("KOD10", "BNO kód", 70, "bno1"), col("NEV", "Megnevezés", 0, "bno2")},
            "Bno1", withKeyUp(true), true, false,
            QString::fromUtf8("BNO kódok megjelenítése"), QString::fromUtf8("BNO törzs megjelenítés")};
}

// Amounts line up on the right, like every number.
FrameSetup Tmaradkep() {
    return {"Tmaradkep", "DBGmarad", &store::schema::MARADV(),
            {col("MIDOSZAK", "Időszak", 73, "", kCentre, kCentre), col("FT", "Ft", 79, "", kRight, kRight)},
            "", {}, false, false, QString::fromUtf8("Maradványok megjelenítése"), {}};
}

} // namespace velmora::ui
