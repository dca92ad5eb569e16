// The tone table: the 140 standard tones in a grid, one group per column and one digit per row,
// from which the technician picks the tone for the current tone field in Standard Mode.
#pragma once

#include <QDialog>
#include <QString>
#include <memory>

namespace Ui {
class ToneTableDialog;
}

class ToneTableDialog : public QDialog {
    Q_OBJECT

public:
    explicit ToneTableDialog(QWidget* parent = nullptr);
    ~ToneTableDialog() override;

    // Shows the table modally and returns the text of the current cell. Every way out of the
    // window picks that cell, Exit, Esc and the close box included; the cell stays current for the
    // next opening.
    QString PickTone();

public slots:
    // Esc and the close box end in reject(): they pick like every other way out.
    void reject() override;

private:
    void FillGrid();
    void ArrangeGrid();
    void StringGrid1SelectCell(int row, int column, int previousRow, int previousColumn);
    void Pick();
    QString CurrentToneText() const;

    std::unique_ptr<Ui::ToneTableDialog> ui_;
};
