#include "register/ui/SheetFrame.h"

#include "store/Schemas.h"

namespace velmora::ui {

namespace {

constexpr Qt::Alignment kLeft = Qt::AlignLeft | Qt::AlignVCenter;
constexpr Qt::Alignment kRight = Qt::AlignRight | Qt::AlignVCenter;

BrowseColumn col(const char* field, const char* title, int width = 0, const char* index = "",
                 Qt::Alignment align = kLeft, Qt::Alignment titleAlign = kLeft) {
    return {field, QString::fromUtf8(title), width, index, align, titleAlign};
}

} // namespace

FrameSetup TLapkep() {
    app::SearchRules rules;
    rules.spaceIsCharacter = false;
    rules.keyUpRule = false;
    rules.fixedLimits = {{0, 5}, {2, 9}};  // display widths of SORSZ and TAJ
    return {"TLapkep", "DBGlap", &store::schema::HLAPA(),
            {col("SORSZ", "Sorszám", 0, "LAP1", kRight, kRight), col("RESZ", "_", 11), col("TAJ", "Taj szám", 0, "LAP2"),
             col("bnev", "Beteg neve", 165), col("IDOSZAK", "Időszak", 44), col("SZNAP", "Napszám", 49),
             col("ELKULDVE", "Elküldve", 48), col("ALLAPOT", "Fizetve", 40), col("JELOLES", "Jel"),
             col("MODTIPUS", "Korr.", 22)},
            "LAP1", rules, true, true, {}, {}};
}

} // namespace velmora::ui
