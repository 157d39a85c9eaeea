// The script editor (the caret's line in the status bar, the text given back
// as typed) and the script's message box (the buttons a Buttons value asks
// for, and the number of the one clicked).

#include "script/EditScript.h"
#include "script/ScriptDialogs.h"
#include "common/TestEnvironment.h"

#include <QApplication>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QtTest/QtTest>

class TestScriptWidgets : public QObject
{
    Q_OBJECT
private slots:
    void editorShowsTheCaretsLine()
    {
        TEditScriptFrm editor;
        editor.SetScriptText(QString("a\n\u00A0b\tc\n\nd"));
        QCOMPARE(editor.StatusBar1->currentMessage(), QString("Line: 1"));
        QTextCursor cursor = editor.RichEdit1->textCursor();
        cursor.movePosition(QTextCursor::Down, QTextCursor::MoveAnchor, 3);
        editor.RichEdit1->setTextCursor(cursor);
        QCOMPARE(editor.StatusBar1->currentMessage(), QString("Line: 4"));
        QTest::keyClick(editor.RichEdit1, Qt::Key_Up);
        QCOMPARE(editor.StatusBar1->currentMessage(), QString("Line: 3"));
        QCOMPARE(editor.ScriptText(), QString("a\n\u00A0b\tc\n\nd"));
    }

    // Each row: the Buttons value, the box's buttons (in alphabetical order,
    // the default one starred), the one clicked, and the script's answer.
    void msgBoxButtons_data()
    {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("click");
        QTest::addColumn<int>("answer");
        QTest::newRow("vbOKOnly") << 0 << "*OK" << "OK" << 1;
        QTest::newRow("vbOKCancel") << 1 << "Cancel *OK" << "Cancel" << 2;
        QTest::newRow("vbAbortRetryIgnore + vbDefaultButton3") << 2 + 512 << "Abort *Ignore Retry" << "Retry" << 4;
        QTest::newRow("vbYesNoCancel") << 3 << "Cancel No *Yes" << "Yes" << 6;
        QTest::newRow("vbYesNo + vbQuestion + vbDefaultButton2") << 4 + 32 + 256 << "*No Yes" << "No" << 7;
        QTest::newRow("vbRetryCancel") << 5 << "Cancel *Retry" << "Retry" << 4;
    }
    void msgBoxButtons()
    {
        QFETCH(int, buttons);
        QFETCH(QString, shown);
        QFETCH(QString, click);
        QFETCH(int, answer);
        QString seen;
        QString title;
        QTimer::singleShot(0, [&] {
            auto box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            title = box->windowTitle() + "|" + box->text();
            QStringList texts;
            QAbstractButton *clicked = nullptr;
            for (QAbstractButton *key : box->buttons()) {
                const QString text = key->text().remove('&');
                texts << (box->defaultButton() == key ? "*" : "") + text;
                if (text == click)
                    clicked = key;
            }
            std::sort(texts.begin(), texts.end(), [](QString a, QString b) { return a.remove('*') < b.remove('*'); });
            seen = texts.join(' ');
            if (clicked)
                clicked->click();
            else
                box->done(0);
        });
        QCOMPARE(ShowScriptMsgBox(nullptr, "Tuned", buttons, QString()), answer);
        QCOMPARE(seen, shown);
        QCOMPARE(title, QString("Tarnwick|Tuned"));
    }
};

TARNWICK_TEST_CLASS(TestScriptWidgets)
#include "tst_scriptwidgets.moc"
