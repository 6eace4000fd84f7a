// The main window's keyboard: shortcuts for the main commands, the first focus, and the names
// assistive tools read for the inputs.

#include "app/tprog.h"

#include "app/panel.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QTreeView>

void Tprog::setupKeyboard()
{
    // A shortcut must not reach past a disabled button: while a run or a load keeps the window
    // disabled, nothing may start a second one.
    const auto press = [this](const QKeySequence& keys, QPushButton* button,
                              void (Tprog::*handler)()) {
        auto* shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this, [this, button, handler] {
            if (isEnabled() && button->isEnabled() && button->isVisible())
                (this->*handler)();
        });
    };
    press(QKeySequence::Open, OpenOrdner, &Tprog::OpenOrdnerClick);
    press(QKeySequence(Qt::CTRL | Qt::Key_Return), Umbenennen, &Tprog::UmbenennenClick);
    press(QKeySequence(Qt::CTRL | Qt::Key_Enter), Umbenennen, &Tprog::UmbenennenClick);
    m_close->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    // F1 opens the help of the language shown, at its first page.
    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, [this] {
        (Hilfe1->menuAction()->isVisible() ? Funktionen2 : Introduction1)->trigger();
    });
    // Typing a folder and pressing Enter is the quickest way to fill the list.
    quordner->setFocus();
}

void Tprog::nameInputs(bool german)
{
    const auto captionOf = [](const QString& text) {
        QString name = text.trimmed();
        if (name.endsWith(u':'))
            name.chop(1);
        return name;
    };
    quordner->setAccessibleName(german ? QStringLiteral("Ordner") : QStringLiteral("Folder"));
    qulist->setAccessibleName(captionOf(Panel7->text()));
    maske->setAccessibleName(captionOf(act_maske->text()));
    numstart->setAccessibleName(captionOf(Label8->text()));
    suchenalt->setAccessibleName(captionOf(Label2->text()));
    suchenneu->setAccessibleName(captionOf(Label11->text()));
}
