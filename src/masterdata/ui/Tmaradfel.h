#pragma once
// The residue window: one amount in forints per billing period. A new
// residue always belongs to the current billing period; an existing one
// can have its amount changed or be deleted.
#include "masterdata/MasterData.h"
#include "widgets/EditWindow.h"

class QLineEdit;

namespace velmora::app { class Session; }

namespace velmora::ui {

class Tmaradfel : public EditWindow {
    Q_OBJECT
public:
    Tmaradfel(QWidget* mainWindow, db::Table& maradv, const db::Table& part, const app::Session& session,
              app::Dialogs& dialogs, const CommandGuard& guard);

    BrowseFrame* maradkep1;
    QWidget* Panel1;
    QLineEdit* mido;
    QLineEdit* mft;

protected:
    void ujClick() override;
    void modosClick() override;
    void torolClick() override;
    void BB1Click() override;

private:
    QWidget* buildPanel();

    db::Table& maradv_;
    const db::Table& part_;
    const app::Session& session_;
    app::Dialogs& dialogs_;
};

} // namespace velmora::ui
