#include "mainwindow/ui/TrafficListWindow.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QStyledItemDelegate>
#include <QVBoxLayout>
#include <QValidator>
#include <iterator>

#include "mainwindow/TrafficList.h"
#include "platform/CodePage.h"
#include "platform/ui/Captions.h"
#include "state/ProgramState.h"

namespace scopewatch {
namespace {

constexpr int kLatitudeRole = Qt::UserRole;
constexpr int kLongitudeRole = Qt::UserRole + 1;
const QColor kGreyedText(0x90, 0x90, 0x90);
const QColor kConflictText(0xE0, 0x00, 0x00);

// Takes only texts the program's code page can hold.
class CodePageValidator : public QValidator {
  public:
    using QValidator::QValidator;
    State validate(QString& input, int& /*position*/) const override {
        return ToAnsiExactly(input) ? Acceptable : Invalid;
    }
};

}  // namespace

// A note is typed into a box of at most 24 characters of the code page.
class TrafficListWindow::NoteDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* box = qobject_cast<QLineEdit*>(editor)) {
            box->setMaxLength(static_cast<int>(AircraftNotes::kMaxLength));
            box->setValidator(new CodePageValidator(box));
            box->setAccessibleName("Note");
        }
        editing_ = true;
        return editor;
    }
    void destroyEditor(QWidget* editor, const QModelIndex& index) const override {
        editing_ = false;
        QStyledItemDelegate::destroyEditor(editor, index);
    }
    bool editing() const { return editing_; }

  private:
    mutable bool editing_ = false;
};

TrafficListWindow::TrafficListWindow(ProgramState& state, QWidget* parent)
    : QWidget(parent), state_(state) {
    setWindowTitle("Scopewatch v1.0 - Traffic List");
    table_ = new QTableWidget(0, static_cast<int>(std::size(kTrafficListColumns)));
    NameAfterCaption(*table_, "Traffic List");
    QStringList headers;
    for (const char* column : kTrafficListColumns) {
        headers << FromAnsi(column);
    }
    table_->setHorizontalHeaderLabels(headers);
    table_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                            QAbstractItemView::EditKeyPressed);
    notes_ = new NoteDelegate(table_);
    table_->setItemDelegateForColumn(kNoteColumn, notes_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->verticalHeader()->hide();
    // Every column as wide as its texts, the note's as wide as a note of 24 characters.
    QHeaderView& header = *table_->horizontalHeader();
    header.setSectionResizeMode(QHeaderView::ResizeToContents);
    header.setSectionResizeMode(kNoteColumn, QHeaderView::Fixed);
    header.resizeSection(kNoteColumn, table_->fontMetrics().averageCharWidth() *
                                          static_cast<int>(AircraftNotes::kMaxLength + 4));
    table_->setWordWrap(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_);
    resize(900, 360);
    connect(table_, &QTableWidget::cellDoubleClicked, this, [this](int row, int column) {
        if (column == kNoteColumn) {
            return;  // the note is being edited
        }
        const QTableWidgetItem* item = table_->item(row, 0);
        emit aircraftChosen(item->data(kLatitudeRole).toDouble(),
                            item->data(kLongitudeRole).toDouble());
    });
    connect(table_, &QTableWidget::itemChanged, this, &TrafficListWindow::OnItemChanged);
    connect(table_, &QTableWidget::itemSelectionChanged, this,
            &TrafficListWindow::OnSelectionChanged);
}

std::string TrafficListWindow::NameAt(int row) const {
    const QTableWidgetItem* item = table_->item(row, 0);
    return item != nullptr ? ToAnsi(item->text()) : std::string();
}

void TrafficListWindow::Refresh() {
    if (notes_->editing()) {
        return;  // a note is being typed: the list catches up after it
    }
    const std::vector<Conflict> conflicts = WatchedConflicts(
        state_.traffic, state_.tracks, state_.aids, state_.airport.currentAirport.altitudeFt);
    const TrafficListAids aids{state_.aids, conflicts, state_.notes};
    const std::vector<TrafficListRow> rows = TrafficListRows(
        state_.tracks, state_.airport.currentAirport, state_.airport.magVarGrid, &aids);
    filling_ = true;
    table_->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const TrafficListRow& row = rows[static_cast<size_t>(r)];
        FillRow(r, TrafficListCells(row));
        table_->item(r, 0)->setData(kLatitudeRole, row.latitude);
        table_->item(r, 0)->setData(kLongitudeRole, row.longitude);
        const QColor text = row.mark == RowMark::Conflict   ? kConflictText
                            : row.mark == RowMark::Filtered ? kGreyedText
                                                            : QColor();
        for (int c = 0; c < table_->columnCount(); ++c) {
            table_->item(r, c)->setData(Qt::ForegroundRole,
                                        text.isValid() ? QVariant(text) : QVariant());
        }
    }
    filling_ = false;
    ShowSelection(selected_);
}

void TrafficListWindow::FillRow(int row, const std::vector<std::string>& cells) {
    for (int c = 0; c < static_cast<int>(cells.size()); ++c) {
        auto* item = new QTableWidgetItem(FromAnsi(cells[static_cast<size_t>(c)]));
        if (c > 1 && c < kNoteColumn) {
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        }
        if (c != kNoteColumn) {
            item->setFlags(item->flags() & ~Qt::ItemIsEditable);
        }
        table_->setItem(row, c, item);
    }
}

void TrafficListWindow::ShowSelection(const std::string& name) {
    selected_ = name;
    filling_ = true;
    table_->clearSelection();
    for (int r = 0; r < table_->rowCount(); ++r) {
        if (!name.empty() && NameAt(r) == name) {
            table_->selectRow(r);
        }
    }
    filling_ = false;
}

void TrafficListWindow::OnItemChanged(QTableWidgetItem* item) {
    if (filling_ || item->column() != kNoteColumn) {
        return;
    }
    state_.notes.Set(NameAt(item->row()), ToAnsi(item->text()));
    Refresh();
}

void TrafficListWindow::OnSelectionChanged() {
    if (filling_) {
        return;
    }
    const QList<QTableWidgetItem*> chosen = table_->selectedItems();
    selected_ = chosen.isEmpty() ? std::string() : NameAt(chosen.front()->row());
    emit aircraftSelected(selected_);
}

}  // namespace scopewatch
