#include "tone_table_dialog.h"

#include <QFontDatabase>
#include <QHeaderView>
#include <QTableWidgetItem>

#include "number_text.h"
#include "standard_tones.h"
#include "ui_tone_table_dialog.h"

namespace {

// The grid is laid out as the technician reads it: row 0 holds the group headers and column 0 the
// digits, the tones start at row 1, column 1. The fixed row and column are shown through the
// view's own header sections, which look and resize like a grid's fixed cells and can never become
// the current cell.
constexpr int kFixedRow = 0;
constexpr int kFixedColumn = 0;
constexpr int kColumnWidth = 55;
constexpr int kGridLine = 2;
constexpr int kRowHeight = 26;
constexpr int kCellFontPixels = 13;

QTableWidgetItem* TextItem(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignCenter);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

}  // namespace

ToneTableDialog::ToneTableDialog(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::ToneTableDialog>()) {
    ui_->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(size());
    FillGrid();
    ArrangeGrid();
    ui_->StringGrid1->setCurrentCell(1, 1);

    connect(ui_->StringGrid1, &QTableWidget::currentCellChanged, this, &ToneTableDialog::StringGrid1SelectCell);
    connect(ui_->StringGrid1, &QTableWidget::cellDoubleClicked, this, &ToneTableDialog::Pick);
    connect(ui_->StringGrid1->horizontalHeader(), &QHeaderView::sectionDoubleClicked, this, &ToneTableDialog::Pick);
    connect(ui_->StringGrid1->verticalHeader(), &QHeaderView::sectionDoubleClicked, this, &ToneTableDialog::Pick);
    connect(ui_->btnEnter, &QPushButton::clicked, this, &ToneTableDialog::Pick);
    connect(ui_->btnExit, &QPushButton::clicked, this, &ToneTableDialog::Pick);
}

ToneTableDialog::~ToneTableDialog() = default;

QString ToneTableDialog::PickTone() {
    ui_->StringGrid1->setFocus();
    exec();
    return CurrentToneText();
}

void ToneTableDialog::reject() { Pick(); }

void ToneTableDialog::FillGrid() {
    auto* grid = ui_->StringGrid1;
    for (std::size_t group = 0; group < zr::kStandardToneTable.size(); ++group) {
        const int column = static_cast<int>(group) + 1;
        const auto& tones = zr::kStandardToneTable[group];
        const auto header = QString::fromUtf8(tones.header.data(), static_cast<qsizetype>(tones.header.size()));
        grid->setItem(kFixedRow, column, TextItem(header));
        grid->setHorizontalHeaderItem(column, TextItem(header));
        for (std::size_t digit = 0; digit < tones.tenths.size(); ++digit) {
            const auto text = zr::FormatFixed(tones.tenths[digit] / 10.0, 1);
            grid->setItem(static_cast<int>(digit) + 1, column, TextItem(QString::fromStdString(text)));
        }
    }
    for (int digit = 0; digit <= 9; ++digit) {
        const QString label(QChar(u'0' + digit));
        grid->setItem(digit + 1, kFixedColumn, TextItem(label));
        grid->setVerticalHeaderItem(digit + 1, TextItem(label));
    }
}

void ToneTableDialog::ArrangeGrid() {
    auto* grid = ui_->StringGrid1;
    QFont cellFont = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    cellFont.setPixelSize(kCellFontPixels);
    grid->setFont(cellFont);
    grid->setRowHidden(kFixedRow, true);
    grid->setColumnHidden(kFixedColumn, true);

    auto* headerRow = grid->horizontalHeader();
    headerRow->setSectionsClickable(false);
    headerRow->setSectionResizeMode(QHeaderView::Interactive);
    headerRow->setDefaultSectionSize(kColumnWidth + kGridLine);
    headerRow->setFixedHeight(kRowHeight);
    headerRow->setDefaultAlignment(Qt::AlignCenter);

    auto* digitColumn = grid->verticalHeader();
    digitColumn->setSectionsClickable(false);
    digitColumn->setSectionResizeMode(QHeaderView::Fixed);
    digitColumn->setDefaultSectionSize(kRowHeight);
    digitColumn->setFixedWidth(kColumnWidth);
    digitColumn->setDefaultAlignment(Qt::AlignCenter);
}

// The fixed row and column never become the current cell: the previous cell stays current.
void ToneTableDialog::StringGrid1SelectCell(int row, int column, int previousRow, int previousColumn) {
    if (row != kFixedRow && column != kFixedColumn) return;
    const bool previousIsTone = previousRow > kFixedRow && previousColumn > kFixedColumn;
    ui_->StringGrid1->setCurrentCell(previousIsTone ? previousRow : 1, previousIsTone ? previousColumn : 1);
}

void ToneTableDialog::Pick() { accept(); }

QString ToneTableDialog::CurrentToneText() const {
    const auto* item = ui_->StringGrid1->currentItem();
    return item != nullptr ? item->text() : QString();
}
