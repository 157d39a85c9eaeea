#include "base/MessageBoxes.h"
#include "common/TestEnvironment.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

// The real boxes: caption, owner, buttons and the button Enter presses.
class TestMessageBoxes : public QObject
{
    Q_OBJECT

    // "title|text|buttons|default" of the box that opens next, closed with press.
    static void answerNextBox(QString &seen, QWidget *owner, QMessageBox::StandardButton press)
    {
        QTimer::singleShot(0, [&seen, owner, press] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box || box->parentWidget() != owner) {
                if (QWidget *other = QApplication::activeModalWidget())
                    other->close();
                return;
            }
            seen = QStringList({box->windowTitle(), box->text(), QString::number(int(box->standardButtons())),
                                QString::number(int(box->standardButton(box->defaultButton())))})
                       .join('|');
            box->button(press)->click();
        });
    }

private slots:
    void realBoxes()
    {
        QWidget owner;
        owner.show();
        QString seen;
        answerNextBox(seen, &owner, QMessageBox::Ok);
        ShowInformation(&owner, "Port closed.");
        QCOMPARE(seen.section('|', 0, 2), QString("Tarnwick|Port closed.|%1").arg(int(QMessageBox::Ok)));

        answerNextBox(seen, &owner, QMessageBox::Yes);
        QVERIFY(AskConfirmation(&owner, "Delete?"));
        QCOMPARE(seen, QString("Tarnwick|Delete?|%1|%2")
                           .arg(int(QMessageBox::Yes | QMessageBox::No))
                           .arg(int(QMessageBox::No)));
        answerNextBox(seen, &owner, QMessageBox::No);
        QVERIFY(!AskConfirmation(&owner, "Delete?", DefaultAnswer::Yes));
        QCOMPARE(seen.section('|', 3), QString::number(int(QMessageBox::Yes)));

        // Placed by hand, in the information style.
        QTimer::singleShot(0, [&seen] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            seen = QString("%1,%2 %3").arg(box->x()).arg(box->y()).arg(box->icon());
            box->button(QMessageBox::Yes)->click();
        });
        QVERIFY(AskConfirmationAt(&owner, "Again?", QPoint(40, 30)));
        QCOMPARE(seen, QString("40,30 %1").arg(QMessageBox::Information));
    }
};

TARNWICK_TEST_CLASS(TestMessageBoxes)
#include "tst_messageboxes.moc"
