#include "reset_help_dialog.h"

#include <QFontDatabase>
#include <QStringList>

#include "ui_reset_help_dialog.h"

namespace {

// The blanks are part of the text: the title is set in, the descriptions indented under their
// headings, and the fifteenth line ends in a blank.
const QStringList kResetFunctionHelp = {
    "                      RESET FUNCTION HELP",
    " This field sets the method to reset the audio.",
    " There are 6 methods, depending on the model.",
    " 1. Auto RESET:",
    "    Resets the audio when carrier drops.",
    " 2. Delay N sec Auto Reset:",
    "    Waits N seconds before checking carrier drop.",
    " 3. Manual RESET:",
    "    Resets the audio only when the Reset Switch is depressed.",
    " 4. Time-out RESET:",
    "    Resets after a selected amount of time only.",
    " 5. Revert SQ:",
    "    Reverts to Monitor Mode after receiving a SelCall page.",
    " 6. Delay AUTO_N with Revert:",
    "    Wait N seconds and then behave as monitor mode ",
    "    until the reset button is pushed.",
};

}  // namespace

ResetHelpDialog::ResetHelpDialog(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::ResetHelpDialog>()) {
    ui_->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);

    auto* memo = ui_->Memo1;
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setBold(true);
    memo->setFont(font);
    QPalette palette = memo->palette();
    palette.setColor(QPalette::Text, QColor(0, 128, 128));  // teal
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    memo->setPalette(palette);
    memo->viewport()->setCursor(Qt::ArrowCursor);
    memo->setPlainText(kResetFunctionHelp.join('\n'));

    // Wide and tall enough for every line, without scroll bars.
    const QFontMetrics metrics(font);
    int widest = 0;
    for (const auto& line : kResetFunctionHelp) widest = std::max(widest, metrics.horizontalAdvance(line));
    memo->setFixedSize(widest + 2 * static_cast<int>(memo->document()->documentMargin()) + 8,
                       static_cast<int>(kResetFunctionHelp.size()) * metrics.lineSpacing() +
                           2 * static_cast<int>(memo->document()->documentMargin()) + 8);
    setFixedSize(sizeHint());

    connect(ui_->Button1, &QPushButton::clicked, this, &ResetHelpDialog::accept);
}

ResetHelpDialog::~ResetHelpDialog() = default;
