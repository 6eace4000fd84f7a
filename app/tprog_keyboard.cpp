// The main window's keyboard: shortcuts for the main commands, the first focus, and the names
// assistive tools read for the inputs.

#include "app/tprog.h"

#include "app/panel.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QTreeView>

namespace {

// On Linux Qt gives an editable combo box its current text as its name and leaves the caption to a
// labelled-by relation; a screen reader then announces "%name%" or "1" and nothing says what the
// field is for. An editable combo box is read by the name it was given, its text stays its value.
class NamedComboAccessible : public QAccessibleWidget
{
public:
    explicit NamedComboAccessible(QComboBox* combo)
        : QAccessibleWidget(combo, QAccessible::ComboBox)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return combo()->currentText();
        if (t == QAccessible::Name) {
            const QString name = combo()->accessibleName();
            return name.isEmpty() ? combo()->currentText() : name;
        }
        return QAccessibleWidget::text(t);
    }

    QStringList actionNames() const override { return {showMenuAction()}; }
    void doAction(const QString& name) override
    {
        if (name == showMenuAction())
            combo()->showPopup();
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QComboBox* combo() const { return static_cast<QComboBox*>(object()); }
};

QAccessibleInterface* namedComboFactory(const QString& className, QObject* object)
{
    auto* combo = qobject_cast<QComboBox*>(object);
    if (className != QLatin1String("QComboBox") || !combo || !combo->isEditable())
        return nullptr;
    return new NamedComboAccessible(combo);
}

} // namespace

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
    // The captions beside the inputs label them for assistive tools as well.
    Label8->setBuddy(numstart);
    Label2->setBuddy(suchenalt);
    Label11->setBuddy(suchenneu);
    Label23->setBuddy(stellen);
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(namedComboFactory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    // Typing a folder and pressing Enter is the quickest way to fill the list.
    quordner->setFocus();
}

void Tprog::nameInputs(qv::Language language)
{
    const auto captionOf = [](const QString& text) {
        QString name = text.trimmed();
        if (name.endsWith(u':'))
            name.chop(1);
        return name;
    };
    quordner->setAccessibleName(qv::pick(language, "Ordner", "Folder"));
    qulist->setAccessibleName(captionOf(Panel7->text()));
    // The edit inside a combo box is what a screen reader reads while typing in it.
    for (auto [combo, caption] :
         {std::pair{maske, act_maske->text()}, {numstart, Label8->text()}}) {
        combo->setAccessibleName(captionOf(caption));
        combo->lineEdit()->setAccessibleName(captionOf(caption));
    }
    suchenalt->setAccessibleName(captionOf(Label2->text()));
    suchenneu->setAccessibleName(captionOf(Label11->text()));
    stellen->setAccessibleName(captionOf(Label23->text()));
    datumsquelle->setAccessibleName(qv::pick(language, "Datum", "Date"));
    schreibung->setAccessibleName(qv::pick(language, "Schreibung", "Letter case"));
    Platzhalter->setAccessibleName(qv::pick(language, "Weitere Platzhalter", "More placeholders"));
}
