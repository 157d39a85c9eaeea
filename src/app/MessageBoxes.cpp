#include "app/MessageBoxes.h"

#include "app/Folders.h"

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

bool AskConfirmation(QWidget *parent, const QString &text)
{
    if (confirmationAnswerer())
        return confirmationAnswerer()(parent, text);
    return QMessageBox::question(parent, ApplicationTitle(), text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes;
}
