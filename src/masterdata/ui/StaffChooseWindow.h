#pragma once
// The doctor and nurse choose windows that the sheet entry opens to fill a
// doctor or nurse field: Torvval over ORVOS, TApolf over APOL. "Választ"
// copies the current row's code and name; an empty code after the window
// closes means nothing was chosen.
#include "masterdata/ui/FrameSetups.h"
#include "widgets/ChooseWindow.h"

#include <QPointer>

#include <string>

namespace velmora::db { class Table; }

namespace velmora::ui {

class StaffChooseWindow : public ChooseWindow {
    Q_OBJECT
public:
    StaffChooseWindow(QWidget* parent, const QString& objectName, const QString& caption, FrameSetup setup,
                      const QString& frameName, db::Table& table, const CommandGuard& guard);

protected:
    // Only the code is cleared on activation: the callers test the code.
    void clearResult() override { code_.clear(); }
    void takeRow() override;

    std::string code_, name_;

private:
    db::Table& table_;
    std::string codeField_, nameField_;
};

// "Orvosok választása": okod (ORVOSKOD), onev (ONEV).
class Torvval : public StaffChooseWindow {
    Q_OBJECT
public:
    Torvval(QWidget* parent, db::Table& orvos, const CommandGuard& guard);
    const std::string& okod() const { return code_; }
    const std::string& onev() const { return name_; }
};

// "Szakápoló választás": akod (APTAJ), anev (ANEV), apolfel 1 after
// "Választ" and 0 after "Mégse". It opens beside the sheet entry window,
// once there is one; until then where it was last.
class TApolf : public StaffChooseWindow {
    Q_OBJECT
public:
    TApolf(QWidget* parent, db::Table& apol, const CommandGuard& guard);
    const std::string& akod() const { return code_; }
    const std::string& anev() const { return name_; }
    int apolfel() const { return apolfel_; }

    void setSheetEntry(QWidget* sheetEntry) { sheetEntry_ = sheetEntry; }

protected:
    void takeRow() override;
    void cancelled() override { apolfel_ = 0; }
    void place() override;

private:
    int apolfel_ = 0;
    QPointer<QWidget> sheetEntry_;
};

} // namespace velmora::ui
