#include "mainwindow/ui/TrafficListWindow.h"

#include <QHeaderView>
#include <QVBoxLayout>
#include <iterator>

#include "mainwindow/TrafficList.h"
#include "platform/CodePage.h"
#include "platform/ui/Captions.h"
#include "state/ProgramState.h"

namespace scopewatch {
namespace {
constexpr int kLatitudeRole = Qt::UserRole;
constexpr int kLongitudeRole = Qt::UserRole + 1;
}  // namespace

TrafficListWindow::TrafficListWindow(const ProgramState& state, QWidget* parent)
    : QWidget(parent), state_(state) {
    setWindowTitle("Scopewatch v1.0 - Traffic List");
    table_ = new QTableWidget(0, static_cast<int>(std::size(kTrafficListColumns)));
    NameAfterCaption(*table_, "Traffic List");
    QStringList headers;
    for (const char* column : kTrafficListColumns) {
        headers << FromAnsi(column);
    }
    table_->setHorizontalHeaderLabels(headers);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_);
    resize(640, 360);
    connect(table_, &QTableWidget::cellDoubleClicked, this, [this](int row) {
        const QTableWidgetItem* item = table_->item(row, 0);
        emit aircraftChosen(item->data(kLatitudeRole).toDouble(),
                            item->data(kLongitudeRole).toDouble());
    });
}

void TrafficListWindow::Refresh() {
    const std::vector<TrafficListRow> rows =
        TrafficListRows(state_.tracks, state_.airport.currentAirport, state_.airport.magVarGrid);
    table_->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const TrafficListRow& row = rows[static_cast<size_t>(r)];
        const std::vector<std::string> cells = TrafficListCells(row);
        for (int c = 0; c < static_cast<int>(cells.size()); ++c) {
            auto* item = new QTableWidgetItem(FromAnsi(cells[static_cast<size_t>(c)]));
            if (c > 1) {
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            }
            table_->setItem(r, c, item);
        }
        table_->item(r, 0)->setData(kLatitudeRole, row.latitude);
        table_->item(r, 0)->setData(kLongitudeRole, row.longitude);
    }
}

}  // namespace scopewatch
