#include "base/MessageBoxes.h"

#include "base/Folders.h"

#include <QMessageBox>

namespace {

InformationAnswerer &informationAnswerer()
{
    static InformationAnswerer answerer;
    return answerer;
}

ConfirmationAnswerer &confirmationAnswerer()
{
    static ConfirmationAnswerer answerer;
    return answerer;
}

} // namespace

void SetInformationAnswerer(InformationAnswerer answerer)
{
    informationAnswerer() = std::move(answerer);
}

void SetConfirmationAnswerer(ConfirmationAnswerer answerer)
{
    confirmationAnswerer() = std::move(answerer);
}

void ShowInformation(QWidget *parent, const QString &text)
{
    if (informationAnswerer()) {
        informationAnswerer()(parent, text);
        return;
    }
    QMessageBox::information(parent, ApplicationTitle(), text, QMessageBox::Ok);
}

bool AskConfirmation(QWidget *parent, const QString &text, DefaultAnswer defaultAnswer)
{
    if (confirmationAnswerer())
        return confirmationAnswerer()(parent, text);
    const QMessageBox::StandardButton defaultButton =
        defaultAnswer == DefaultAnswer::Yes ? QMessageBox::Yes : QMessageBox::No;
    return QMessageBox::question(parent, ApplicationTitle(), text, QMessageBox::Yes | QMessageBox::No, defaultButton)
        == QMessageBox::Yes;
}

bool AskConfirmationAt(QWidget *parent, const QString &text, QPoint topLeft)
{
    if (confirmationAnswerer())
        return confirmationAnswerer()(parent, text);
    QMessageBox box(QMessageBox::Information, ApplicationTitle(), text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    box.move(topLeft);
    return box.exec() == QMessageBox::Yes;
}
