#pragma once
// The display-only frames of the contract window: the contract periods in a
// grid, the details of the current period, and one-record panels of the
// employees, areas and sites named in the contract. They show the current
// rows of the shared tables and hold no rule of their own.
#include "widgets/RecordPanel.h"

#include <QWidget>

class QTableView;

namespace velmora::ui {

class BrowseModel;
class Navigator;

// The contract periods (HSZERZ) in a read-only grid with a navigator;
// selecting a row moves the table's cursor.
class Tszerzkep : public QWidget {
    Q_OBJECT
public:
    explicit Tszerzkep(db::Table& hszerz, QWidget* parent = nullptr);

    QTableView* grid() const { return grid_; }
    BrowseModel* model() const { return model_; }
    Navigator* navigator() const { return navigator_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    BrowseModel* model_;
    QTableView* grid_;
    Navigator* navigator_;
};

// "A szolgáltató adatai": the current contract period's number, financing
// code, day budget and the staff numbers that set the capacity.
class ContractDetails : public QGroupBox {
    Q_OBJECT
public:
    explicit ContractDetails(db::Table& hszerz, QWidget* parent = nullptr);
};

// The employees named in the contract (HSZOLGSZ).
class TDolgkep : public RecordPanel {
    Q_OBJECT
public:
    explicit TDolgkep(db::Table& hszolgsz, QWidget* parent = nullptr);
};

// The areas served (HTERULET).
class Tterulkep : public RecordPanel {
    Q_OBJECT
public:
    explicit Tterulkep(db::Table& hterulet, QWidget* parent = nullptr);
};

// The provider's sites (HTHELY).
class Tthelykep : public RecordPanel {
    Q_OBJECT
public:
    explicit Tthelykep(db::Table& hthely, QWidget* parent = nullptr);
};

} // namespace velmora::ui
