#include "shell/frmTech.h"

#include <QLabel>
#include <QVBoxLayout>

namespace tovan {

frmTech::frmTech(QWidget* runForm) : QDialog(runForm) {
    setObjectName(QStringLiteral("frmTech"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Technical Support Information"));
    Label1 = new QLabel(QStringLiteral("For Technical assistance on software use contact:"), this);
    // Placeholders for the support contact.
    Label2 = new QLabel(QStringLiteral("Software Support Desk"), this);
    Label3 = new QLabel(QStringLiteral("Telephone: (000) 000-0000"), this);
    Label4 = new QLabel(QStringLiteral("E-mail: support@example.org"), this);
    Label5 = new QLabel(QStringLiteral("Fax: (000) 000-0001"), this);
    auto* layout = new QVBoxLayout(this);
    for (QLabel* label : {Label1, Label2, Label3, Label4, Label5})
        layout->addWidget(label);
    if (runForm) move(runForm->pos());
    // Every way out (Escape, the close box) ends the dialog, and only the close box sends a
    // close event, so the run form is called back when the dialog finishes.
    connect(this, &QDialog::finished, this, &frmTech::closed);
}

} // namespace tovan
