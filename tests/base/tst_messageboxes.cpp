#include "base/MessageBoxes.h"
#include "common/PromptRecorder.h"
#include "common/TestEnvironment.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

// The real boxes: their caption, owner, buttons and the button Enter presses.
class TestMessageBoxes : public QObject
{
    Q_OBJECT

    struct SeenBox
    {
        QString title;
        QString text;
        QWidget *parent = nullptr;
        QMessageBox::StandardButtons buttons;
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    };

    // Reads the box that opens next and closes it with `press`.
    static void answerNextBox(SeenBox &seen, QMessageBox::StandardButton press)
    {
        QTimer::singleShot(0, [&seen, press] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box) {
                if (QWidget *other = QApplication::activeModalWidget())
                    other->close();
                return;
            }
            seen.title = box->windowTitle();
            seen.text = box->text();
            seen.parent = box->parentWidget();
            seen.buttons = box->standardButtons();
            seen.defaultButton = box->defaultButton() ? box->standardButton(box->defaultButton())
                                                      : QMessageBox::NoButton;
            box->button(press)->click();
        });
    }

private slots:
    void informationHasOneOkButton()
    {
        QWidget owner;
        owner.show();
        SeenBox seen;
        answerNextBox(seen, QMessageBox::Ok);
        ShowInformation(&owner, "Port closed.");
        QCOMPARE(seen.title, QString("Tarnwick"));
        QCOMPARE(seen.text, QString("Port closed."));
        QCOMPARE(seen.parent, &owner);
        QCOMPARE(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }

    void confirmationStartsOnTheAskedButton()
    {
        QWidget owner;
        owner.show();
        SeenBox seen;
        answerNextBox(seen, QMessageBox::Yes);
        QVERIFY(AskConfirmation(&owner, "Delete?"));
        QCOMPARE(seen.title, QString("Tarnwick"));
        QCOMPARE(seen.text, QString("Delete?"));
        QCOMPARE(seen.parent, &owner);
        QCOMPARE(seen.buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(seen.defaultButton, QMessageBox::No);

        answerNextBox(seen, QMessageBox::No);
        QVERIFY(!AskConfirmation(&owner, "Delete?", DefaultAnswer::Yes));
        QCOMPARE(seen.defaultButton, QMessageBox::Yes);
    }

    void answerersStandInUntilRemoved()
    {
        QWidget owner;
        {
            testenv::PromptRecorder prompts;
            prompts.answers = {false};
            ShowInformation(&owner, "one");
            QVERIFY(!AskConfirmation(&owner, "two"));
            QVERIFY(AskConfirmation(&owner, "three"));
            QCOMPARE(prompts.texts(), QStringList({"one", "two", "three"}));
            QCOMPARE(prompts.shown.at(0).first, testenv::PromptKind::Information);
            QCOMPARE(prompts.shown.at(1).first, testenv::PromptKind::Question);
            QCOMPARE(prompts.lastParent.data(), &owner);
        }
        // Gone with the recorder: the real box shows again.
        owner.show();
        SeenBox seen;
        answerNextBox(seen, QMessageBox::Ok);
        ShowInformation(&owner, "four");
        QCOMPARE(seen.text, QString("four"));
    }
};

TARNWICK_TEST_CLASS(TestMessageBoxes)
#include "tst_messageboxes.moc"
