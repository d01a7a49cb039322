#include "sheets/Sheet.h"

#include "app/TextHelpers.h"
#include "app/UserError.h"
#include "db/Sql.h"

namespace velmora::sheets {

SheetKind kindOf(const std::string& resz) {
    if (app::IsBlank(resz)) return SheetKind::Full;
    return resz == "A" ? SheetKind::FirstPart : SheetKind::NextPart;
}

std::string nextPartLetter(const std::string& lastResz) {
    if (app::IsBlank(lastResz)) return "A";
    // A series lives within one year and has no part in January, so it
    // never gets near "Z"; anything else in RESZ is damaged data.
    if (lastResz.size() != 1 || lastResz[0] < 'A' || lastResz[0] >= 'Z')
        throw app::UserError("A(z) \"" + lastResz + "\" részszámla után nincs következő rész.");
    return std::string(1, static_cast<char>(lastResz[0] + 1));
}

std::string formatSheetNumber(int number) {
    if (number < 1 || number > 99999)
        throw app::UserError("Az elszámolási lap sorszáma csak 00001 és 99999 között lehet.");
    return app::PadLeft(std::to_string(number), 5, "0");
}

std::string nextSheetNumber(db::Database& db, const std::string& year) {
    // Only SORSZ values made of digits count: text compares after every
    // number, so one damaged value would otherwise be the maximum.
    const db::SqlResult r = db::Sql(db).run(
        "select max(cast(trim(sorsz) as integer)) from hlapa where idoszak >= ? and idoszak <= ? "
        "and trim(sorsz) not glob '*[^0-9]*'",
        {year + ".01", year + ".12"});
    const db::Value& largest = r.rows.at(0).at(0);
    return formatSheetNumber(static_cast<int>(largest.isNull() ? 0 : largest.asInt()) + 1);
}

bool recordsPatientCategory(const std::string& period) { return period >= "2016.01"; }

bool recordsDoctorType(const std::string& period) { return period > "2024.04"; }

const std::array<std::string, kActivities>& ActivityNames() {
    static const std::array<std::string, kActivities> names = {
        "1 Szakápolás",
        "2 Tartós fájdalomcsillapítás",
        "3 Gyógytorna",
        "4 Fizioterápia",
        "5 Szociális tevékenység szervezése",
        "6 Diétás gondozás/tanácsadás",
        "7 Mentálhigiénes gondozás/tanácsadás",
        "8 Gyógyszerelés tervezés/ellenörzés",
    };
    return names;
}

namespace {
char digitOf(int k) { return static_cast<char>('0' + k); }
bool isActivity(int k) { return k >= 1 && k <= kActivities; }
} // namespace

bool ActivityCode::listsAt(int k) const {
    return isActivity(k) && text.size() >= static_cast<size_t>(k) && text[static_cast<size_t>(k - 1)] == digitOf(k);
}

bool ActivityCode::mentions(int k) const { return isActivity(k) && text.find(digitOf(k)) != std::string::npos; }

std::string ActivityCode::fromChoice(const std::array<bool, kActivities>& chosen) {
    std::string code(kActivities, ' ');
    for (int k = 1; k <= kActivities; ++k)
        if (chosen[static_cast<size_t>(k - 1)]) code[static_cast<size_t>(k - 1)] = digitOf(k);
    return code;
}

std::optional<std::string> ActivityCode::placed(const std::string& typed) {
    std::string code(kActivities, ' ');
    for (char c : typed) {
        if (c == ' ') continue;
        if (c < '1' || c > '8') return std::nullopt;
        code[static_cast<size_t>(c - '1')] = c;
    }
    code.erase(code.find_last_not_of(' ') + 1);
    return code;
}

std::string sexName(const std::string& neme) {
    if (neme == "F") return "Férfi";
    if (neme == "N") return "Nő";
    return {};
}

} // namespace velmora::sheets
