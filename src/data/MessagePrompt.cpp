#include "data/MessagePrompt.h"

#include "app/Folders.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>

TUserPrompt MessageBoxPrompt(QWidget *Parent)
{
    QPointer<QWidget> parent(Parent);
    return [parent](TPromptKind Kind, const QString &Text) {
        QWidget *owner = parent ? parent.data() : QApplication::activeWindow();
        if (Kind == TPromptKind::Information) {
            QMessageBox::information(owner, ApplicationTitle(), Text, QMessageBox::Ok);
            return true;
        }
        return QMessageBox::question(owner, ApplicationTitle(), Text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes)
            == QMessageBox::Yes;
    };
}
