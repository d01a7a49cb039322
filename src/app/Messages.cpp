#include "app/Messages.h"

#include <stdexcept>

namespace velmora::app {

namespace {

struct Entry {
    Msg id;
    const char* name;
    const char* text;
};

#define VELMORA_MSG(id, text) {Msg::id, #id, text}

// In the order of the enum; checkedCatalogue() holds it to that.
const Entry kCatalogue[] = {
    VELMORA_MSG(ClosedPeriodQuestion, "Lezárt időszak! Mégis ezzel akar foglalkozni?"),
    VELMORA_MSG(LeaveEntryQuestion, "A bevitt adatok elvesznek. Kilép?"),
    VELMORA_MSG(SaveSheetQuestion, "Adatok ellenőrzése rendben! Elmenthetők ?"),
    VELMORA_MSG(FirstOrderQuestion, "Előző elszámolási lap lezárt. Kér 1-es elrendelést?"),
    VELMORA_MSG(SavePatientQuestion, "Elmenti a beteg adatait ?"),
    VELMORA_MSG(DeletePatientQuestion, "Biztosan törli a beteg adatait ?"),
    VELMORA_MSG(SaveDoctorQuestion, "Elmenti az orvos adatait ?"),
    VELMORA_MSG(DeleteDoctorQuestion, "Biztosan törli az orvos adatait ?"),
    VELMORA_MSG(SaveNurseQuestion, "Elmenti az ápoló adatait ?"),
    VELMORA_MSG(DeleteNurseQuestion, "Biztosan törli az ápoló adatait ?"),
    VELMORA_MSG(SaveResidueQuestion, "Elmenti a maradvány adatait ?"),
    VELMORA_MSG(DeleteResidueQuestion, "Biztosan törli a maradvány adatait ?"),
    // The register asks about a sheet in the patient's words of the system.
    VELMORA_MSG(DeleteSheetQuestion, "Biztosan törli a beteg adatait ?"),
    VELMORA_MSG(CancelSheetQuestion, "Valóban sztornózni akarja a lapot?"),
    VELMORA_MSG(ToFullQuestion, "Valóban teljes számlát akar a részszámlából?"),
    VELMORA_MSG(ToPartQuestion, "Valóban részszámlát akar a teljes számlából?"),
    VELMORA_MSG(ClosingQuestion, "Rendben van a lezárás ?"),
    VELMORA_MSG(SendQuestion, "Elküldhető %1 db elszámolási lap?"),
    VELMORA_MSG(SendAgainQuestion,
                "Erre az időszakra már készült elszámolás! Ismételten elküldhető %1 db elszámolási lap?"),
    VELMORA_MSG(EReportQuestion, "E-jelentést akar küldeni?"),
    VELMORA_MSG(BilledQuestion, "Az elszámolt adatokat beolvassuk! Rendben?"),
    VELMORA_MSG(ContractQuestion, "A teljes szerződésállományt lecseréljük! Rendben?"),
    VELMORA_MSG(ReplaceAllQuestion, "A teljes adatállományt lecseréljük! Rendben?"),
    VELMORA_MSG(OutsideCopyQuestion, "Akarja menteni a MENT könyvtáron kívül az adatokat?\nVálassza ki a mentés helyét!"),
    VELMORA_MSG(EncryptQuestion,
                "Titkosítva készüljön a másolat?\nHa a mentés elhagyja a gépet (pendrive, külső lemez), válassza az "
                "Igent: a jelszó nélkül senki sem olvashatja el. A jelszót a program nem jegyzi meg; elvesztése a "
                "mentés elvesztése."),
    VELMORA_MSG(RestoreQuestion, "Biztosan visszatölti az adatokat ?"),
    VELMORA_MSG(OverviewQuestion, "Megnyitja az év áttekintését?"),

    VELMORA_MSG(QueryFailed, "Hiba a lefutásban!"),
    VELMORA_MSG(QueryFailedNumbered, "Hiba a lefutásban! (%1)"),
    VELMORA_MSG(MandatoryField, "A mező kitöltése kötelező!"),
    VELMORA_MSG(InvalidPeriod, "Érvénytelen időszak!!"),
    VELMORA_MSG(PeriodBefore1999, "Nem adhat meg 1999.06 előtti időszakot!"),
    VELMORA_MSG(PeriodInFuture, "Nem adhat meg előre időszakot!"),
    VELMORA_MSG(InvalidDate, "Érvénytelen dátum!!"),
    VELMORA_MSG(InvalidDateShort, "Érvénytelen dátum!"),
    VELMORA_MSG(DateBefore1895, "Hibás dátum! 1895 előtti nem lehet!"),
    VELMORA_MSG(DateBefore1996, "Hibás dátum! 1996.10.01 előtti nem lehet!"),
    VELMORA_MSG(DateAfterPeriod, "Nem adhat meg az elszámolási időszakot követő dátumot!"),
    VELMORA_MSG(ZCode, "Nem lehet \"Z\"-s kódot beírni!"),
    VELMORA_MSG(OnlyNumber, "Csak szám írható a mezőbe!"),

    VELMORA_MSG(MandatoryFieldsList, "A következő mezők kitöltése kötelező:\r"),
    VELMORA_MSG(TajInvalid, "Nem létező TAJ szám!"),
    VELMORA_MSG(SexInvalid, "A nem csak nő, vagy férfi lehet!"),
    VELMORA_MSG(NoSettlement, "Nincs ilyen település"),
    VELMORA_MSG(BnoMissing, "Nincs a BNO kód a törzsben!"),
    VELMORA_MSG(AlapbMissing, "Nincs az Alapbetegség diagnózisa a törzsben!"),
    VELMORA_MSG(FodiagMissing, "Nincs az Ápolást indokló fődiagnózis a törzsben!"),
    VELMORA_MSG(FekvdMissing, "Nincs a Kórházi ápolás diagnózisa a törzsben!"),
    VELMORA_MSG(KiserdMissing, "Nincs a Kísérő betegség diagnózisa a törzsben!"),
    VELMORA_MSG(OrderingDoctorNameMissing, "Nincs az elrendelő orvos neve kitöltve!"),
    VELMORA_MSG(ProposingDoctorNameMissing, "Nincs a javaslatot tevő orvos neve kitöltve!"),
    VELMORA_MSG(OrderedDaysRange, "Az elrendelt napszám nem lehet több 50-nél és nem lehet 0!"),
    VELMORA_MSG(BilledDaysRange, "Az eddig elszámolt napszám nem lehet több 50-nél!"),
    VELMORA_MSG(BilledOverOrdered, "Nem lehet több az elszámolt nap, mint az elrendelés!"),
    VELMORA_MSG(ClosingBeforeStart, "Nem lehet a lezárás dátuma kisebb, mint az ápolásba vétel dátuma!"),
    VELMORA_MSG(ClosingAfterPeriod, "Nem lehet a lezárás dátuma nagyobb a jelentési időszak végénél!"),
    VELMORA_MSG(OrderNumberZero, "A folyamatos elrendelés nem lehet 0!"),
    VELMORA_MSG(OrderNumberTooSmall, "Csak nagyobb lehet az elrendelés száma, mint az előző!"),
    VELMORA_MSG(StartBeforeOrder, "Nem lehet az ápolásba vétel kezdete régebbi, mint az elrendelés!"),
    VELMORA_MSG(StartOverlaps, "Az ápolásba vétel kezdete időben átfedi az előző teljesítést!"),
    VELMORA_MSG(NurseNameMissing, "Az ápoló nevét ki kell tölteni!"),
    VELMORA_MSG(NurseNotInRegister, "Nincs a %1 TAJ számú ápoló a törzsben!"),
    VELMORA_MSG(VisitNurseNotInRegister, "Nem szerepel az %1 ápoló a törzsben!"),
    VELMORA_MSG(VisitNurseUnknown, "Nem szerepel az ápoló a törzsben!"),
    VELMORA_MSG(ActivityCodeRange, "A tevékenység kódja csak 1 és 8 között lehet!"),
    VELMORA_MSG(ActivityNurseMissing, "A tevékenységeknek megfelelő ápoló nincs kitöltve!"),
    VELMORA_MSG(VisitDateTaken, "Az ápolás dátuma %1 időben átfed egy másik teljesítést"),
    VELMORA_MSG(DayIncomplete, "A %1. napi adatokat ki kell tölteni!"),
    VELMORA_MSG(VisitBeforeStart, "Az ápolás dátuma nem lehet kisebb az ápolásba vételnél!"),
    VELMORA_MSG(VisitAfterClosing, "Az ápolás dátuma nem lehet nagyobb az ápolási eset lezárásánál !"),
    VELMORA_MSG(DayCountOver, "A napok száma nem lehet több 50-nél, és az elrendelt napoknál!"),
    VELMORA_MSG(PatientDaysOver150, "A TAJ számra rögzített napok száma nem lehet több 150-nél!"),
    VELMORA_MSG(NursingOnly, "Ezek csak szakápolási tevékenységek, itt nem jelenthetők!"),
    VELMORA_MSG(CapacityOverrun, "Dolgozói kapacitás túllépés a %1 TAJ számú dolgozónál!"),
    VELMORA_MSG(SheetNotSavable, "Hibás adatok miatt az elszámolási lap nem menthető!!"),
    VELMORA_MSG(SheetExists, "Már létezik ez a lap, így nem menthető!"),

    VELMORA_MSG(UnpackFailed, "Hiba a kicsomagolásban!"),
    VELMORA_MSG(FullImportProgress, "A teljes adatállomány beolvasása folyamatban. Kis türelmet kérek...!!"),
    VELMORA_MSG(PaymentStateProgress, "Az elszámolások bejegyzése folyamatban. Kis türelmet kérek...!!"),
};

#undef VELMORA_MSG

struct Catalogue {
    std::vector<std::string> texts;
    std::vector<Msg> ids;
    Catalogue() {
        for (size_t i = 0; i < std::size(kCatalogue); ++i) {
            // A row out of the enum's order would give an identity the wrong text.
            if (static_cast<size_t>(kCatalogue[i].id) != i)
                throw std::logic_error(std::string("message catalogue out of order at ") + kCatalogue[i].name);
            texts.emplace_back(kCatalogue[i].text);
            ids.push_back(kCatalogue[i].id);
        }
    }
};

const Catalogue& catalogue() {
    static const Catalogue c;
    return c;
}

} // namespace

const std::string& text(Msg id) { return catalogue().texts.at(static_cast<size_t>(id)); }

std::string text(Msg id, const std::vector<std::string>& values) {
    const std::string& pattern = text(id);
    std::string out;
    for (size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
            const size_t n = static_cast<size_t>(pattern[i + 1] - '1');
            if (n < values.size()) out += values[n];
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

const char* name(Msg id) {
    catalogue();
    return kCatalogue[static_cast<size_t>(id)].name;
}

const std::vector<Msg>& allMessages() { return catalogue().ids; }

bool isQuestion(Msg id) {
    const std::string n = name(id);
    return n.size() > 8 && n.compare(n.size() - 8, 8, "Question") == 0;
}

} // namespace velmora::app
