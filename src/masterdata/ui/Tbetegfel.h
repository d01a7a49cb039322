#pragma once
// The patient window: the patient grid with "Új felvitel", "Módosítás" and
// "Törlés", and the edit group "A beteg adatai" below it. The group's
// controls are checked as the focus leaves them; "Kész" saves through the
// patient rules and "Törlés" deletes only patients who stand on no sheet.
#include "masterdata/MasterData.h"
#include "widgets/EditWindow.h"

#include <functional>
#include <optional>
#include <string>
#include <utility>

class QComboBox;
class QGroupBox;
class QLineEdit;

namespace velmora::app { class Session; }
namespace velmora::db {
class Database;
class Table;
}

namespace velmora::ui {

class Tbetegfel : public EditWindow {
    Q_OBJECT
public:
    Tbetegfel(QWidget* mainWindow, app::Session& session, db::Database& dbs, app::Dialogs& dialogs,
              const CommandGuard& guard);

    // The settlement choose window, opened by a double click on bkod: the
    // chosen code and name, or nothing when the user cancelled.
    std::function<std::optional<std::pair<std::string, std::string>>()> chooseSettlement;

    QGroupBox* GBox1;
    QLineEdit* azt;
    QLineEdit* btaj;
    QLineEdit* Bnev;
    QComboBox* bnem;
    QLineEdit* bkod;
    QLineEdit* bvaros;
    QLineEdit* bcim;
    QLineEdit* Bszhely;
    QLineEdit* bszido;

protected:
    void ujClick() override;
    void modosClick() override;
    void torolClick() override;
    void BB1Click() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void panelEntered() override;

private:
    void buildGroup();
    void wireKeys();
    void bvarosEnter();
    void bkodDblClick();
    void aztExit();
    void fillFromRow();
    masterdata::PatientInput input() const;
    std::string sexCode() const;

    app::Session& session_;
    app::Dialogs& dialogs_;
    db::Table& beteg_;
    db::Table& telepul_;
    db::Table& hlapa_;
};

} // namespace velmora::ui
