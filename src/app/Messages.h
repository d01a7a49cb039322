#pragma once
// Every text the logic shows or asks, under a name of its own: the
// catalogue in Messages.cpp is the one place a text lives. A question is
// answered, a finding tested and a log line written by its identity, never
// by matching its words, so a text can be corrected without breaking the
// batch tool or a test that answers it.
#include <string>
#include <vector>

namespace velmora::app {

enum class Msg {
    // --- questions -------------------------------------------------------------
    ClosedPeriodQuestion,
    LeaveEntryQuestion,
    SaveSheetQuestion,
    FirstOrderQuestion,
    SavePatientQuestion,
    DeletePatientQuestion,
    SaveDoctorQuestion,
    DeleteDoctorQuestion,
    SaveNurseQuestion,
    DeleteNurseQuestion,
    SaveResidueQuestion,
    DeleteResidueQuestion,
    DeleteSheetQuestion,
    CancelSheetQuestion,
    ToFullQuestion,
    ToPartQuestion,
    ClosingQuestion,
    SendQuestion,
    SendAgainQuestion,
    EReportQuestion,
    BilledQuestion,
    ContractQuestion,
    ReplaceAllQuestion,
    OutsideCopyQuestion,
    EncryptQuestion,
    RestoreQuestion,
    OverviewQuestion,

    // --- the common checks -------------------------------------------------------
    QueryFailed,
    QueryFailedNumbered,
    MandatoryField,
    InvalidPeriod,
    PeriodBefore1999,
    PeriodInFuture,
    InvalidDate,
    InvalidDateShort,
    DateBefore1895,
    DateBefore1996,
    DateAfterPeriod,
    ZCode,
    OnlyNumber,

    // --- the sheet's fields and the sheet check --------------------------------------
    MandatoryFieldsList,
    TajInvalid,
    SexInvalid,
    NoSettlement,
    BnoMissing,
    AlapbMissing,
    FodiagMissing,
    FekvdMissing,
    KiserdMissing,
    OrderingDoctorNameMissing,
    ProposingDoctorNameMissing,
    OrderedDaysRange,
    BilledDaysRange,
    BilledOverOrdered,
    ClosingBeforeStart,
    ClosingAfterPeriod,
    OrderNumberZero,
    OrderNumberTooSmall,
    StartBeforeOrder,
    StartOverlaps,
    NurseNameMissing,
    NurseNotInRegister,
    VisitNurseNotInRegister,
    VisitNurseUnknown,
    ActivityCodeRange,
    ActivityNurseMissing,
    VisitDateTaken,
    DayIncomplete,
    VisitBeforeStart,
    VisitAfterClosing,
    DayCountOver,
    PatientDaysOver150,
    NursingOnly,
    CapacityOverrun,
    SheetNotSavable,
    SheetExists,

    // --- the fund's files and the backup ------------------------------------------
    UnpackFailed,
    FullImportProgress,
    PaymentStateProgress,
};

// The catalogue's text of `id`; "%1", "%2" … stand where the values of the
// other form go.
const std::string& text(Msg id);
std::string text(Msg id, const std::vector<std::string>& values);
// The identity as a word ("ClosedPeriodQuestion"): the batch tool's
// answers and the diagnostic log name a text by it.
const char* name(Msg id);
// Every identity of the catalogue, in its order.
const std::vector<Msg>& allMessages();
bool isQuestion(Msg id);

} // namespace velmora::app
