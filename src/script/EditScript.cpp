#include "script/EditScript.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTextBlock>
#include <QVBoxLayout>

TEditScriptFrm::TEditScriptFrm(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("EditScriptFrm"));
    setWindowTitle(QStringLiteral("Script (VBScript)"));
    resize(640, 440);

    RichEdit1 = new QPlainTextEdit(this);
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPixelSize(13);
    RichEdit1->setFont(font);
    RichEdit1->setLineWrapMode(QPlainTextEdit::NoWrap);
    RichEdit1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setTabChangesFocus(false);

    CloseBtn = new QPushButton(QStringLiteral("Close"), this);
    RunBtn = new QPushButton(QStringLiteral("Run >>>"), this);
    // Enter in the editor breaks the line; "Run >>>" is the default for the
    // keys of the bottom panel.
    RunBtn->setDefault(true);
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(RunBtn, &QPushButton::clicked, this, &QDialog::accept);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setSizeGripEnabled(false);

    auto buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(CloseBtn);
    buttons->addWidget(RunBtn);
    auto layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(RichEdit1, 1);
    auto bottom = new QWidget(this);
    buttons->setContentsMargins(8, 6, 8, 6);
    bottom->setLayout(buttons);
    layout->addWidget(bottom);
    layout->addWidget(StatusBar1);

    connect(RichEdit1, &QPlainTextEdit::cursorPositionChanged, this, &TEditScriptFrm::RichEdit1SelectionChange);
    RichEdit1SelectionChange();
}

void TEditScriptFrm::SetScriptText(const QString &text)
{
    RichEdit1->setPlainText(text);
    RichEdit1->moveCursor(QTextCursor::Start);
    RichEdit1SelectionChange();
}

QString TEditScriptFrm::ScriptText() const
{
    // toPlainText would turn no-break spaces into blanks.
    QString text = RichEdit1->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

void TEditScriptFrm::RichEdit1SelectionChange()
{
    // Lines never wrap, so a block is a line.
    StatusBar1->showMessage(QStringLiteral("Line: ") + QString::number(RichEdit1->textCursor().blockNumber() + 1));
}

void TEditScriptFrm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    RichEdit1->setFocus();
}
