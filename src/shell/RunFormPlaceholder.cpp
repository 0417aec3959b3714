#include "shell/RunFormPlaceholder.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace tovan {

RunFormPlaceholder::RunFormPlaceholder(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmTOVAN98"));
    setWindowTitle(QStringLiteral("TOVAN2000 Input\\Output File Entry Form"));
    auto* note = new QLabel(
        QStringLiteral("Running the engine is not available in this build of Tovan2000."), this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(note);
    layout->addWidget(buttons);
}

} // namespace tovan
