// The main window's language routine and the two language commands.

#include "app/tprog.h"

#include "batch/renamebatch.h"
#include "rename/placeholders.h"

#include "app/filter/tquorvel_filter.h"
#include "app/panel.h"
#include "app/preview/tvorschau_alle.h"
#include "app/qttranslation.h"
#include "app/tstart.h"
#include "app/windows.h"
#include "filelist/filelistmodel.h"
#include "info/weblinks.h"
#include "text/textutil.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

namespace {

// Rebuilds a combo box's items from its item list with one word swapped; the edit text stays.
void swapItemWord(QComboBox* box, const QString& from, const QString& to)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items.append(box->itemText(i));
    const QStringList swapped =
        qv::ReplaceAll(items.join(QLatin1Char('\n')), from, to).split(QLatin1Char('\n'));
    const QString text = box->currentText();
    const QSignalBlocker block(box);
    box->clear();
    box->addItems(swapped);
    box->setCurrentIndex(-1);
    box->setEditText(text);
}

// The captions of a list whose items stand for values: the choice stays where it was.
void setItemTexts(QComboBox* box, const QStringList& captions)
{
    for (int i = 0; i < captions.size(); ++i)
        box->setItemText(i, captions[i]);
}

} // namespace

void Tprog::fillPlaceholderMenu(qv::Language language)
{
    m_morePlaceholders->clear();
    for (const qv::Placeholder& p : qv::placeholders()) {
        if (!p.more)
            continue;
        QAction* item = m_morePlaceholders->addAction(p.spelling(language) + QStringLiteral(" – ") +
                                                      qv::pick(language, p.captionDe, p.captionEn));
        item->setData(p.spelling(language));
    }
}

void Tprog::sprache()
{
    qv::useQtTranslation(qv::languageCode());
    for (const QString& code : {QStringLiteral("en"), QStringLiteral("de")}) {
        if (qv::languageCode() != code)
            continue;
        const qv::Language language = qv::languageOfCode(code);

        setWindowTitle(qv::applicationTitle);
        laspenden->setText(qv::thankYouCaption(code));
        Umbenennen->setText(qv::pick(language, "Umbenennen", "Rename"));
        const qv::Texts texts = qv::Texts::of(language);
        txt = texts.message;
        m_batch->setTexts(texts);

        Panel7->setText(qv::pick(language, " Dateien und Ordner", " Files and Folders"));
        Label1->setText(
            qv::pick(language,
                     "Ziehen Sie die Dateien und Ordner, die umbenannt werden sollen in die "
                     "Liste oder öffnen Sie einen Ordner.",
                     "Drag the Files and Folders to be renamed to this List or open a "
                     "Folder."));
        OpenOrdner->setText(qv::pick(language, "Ordner Öffnen..", "Open Folder.."));
        BitBtn1->setText(qv::pick(language, "Filter..", "Filter.."));
        cb_dat->setText(qv::pick(language, "Dateien hinzufügen um diese umzubenennen",
                                 "Add Files to Rename Files"));
        cb_dir->setText(qv::pick(language, "Ordner hinzufügen um diese umzubenennen",
                                 "Add Folders to Rename Folders"));
        m_list->setHeaderTexts(qv::pick(
            language,
            QStringList{QStringLiteral("Name"), QStringLiteral("Typ"), QStringLiteral("Größe"),
                        QStringLiteral("Status"), QStringLiteral("Dateipfad")},
            QStringList{QStringLiteral("Name"), QStringLiteral("Type"), QStringLiteral("Size"),
                        QStringLiteral("Status"), QStringLiteral("Path")}));
        BitBtn3->setText(qv::pick(language, "Markierte Löschen", "Delete Selected"));
        BitBtn2->setText(qv::pick(language, "Alle Löschen", "Delete All"));
        Panel2->setText(qv::pick(language, " Aktionen", " Actions"));
        Label4->setText(
            qv::pick(language,
                     "Hier können Sie einstellen, in welcher Form die Dateien umbenannt "
                     "werden sollen.",
                     "Here you can adjust how the Files should be renamed"));
        act_maske->setText(qv::pick(language, "Wählen Sie eine Maske für die Dateien",
                                    "Choose a Mask for the Files"));
        label3->setText(
            qv::pick(language,
                     "Folgende Konstanten sind verfügbar. Klicken Sie auf eine Konstante, um "
                     "sie in die Maske einzufügen.",
                     "The following Constants are available. Click on a Constant, to copy "
                     "it to the Mask."));
        // The placeholders and their captions, as the placeholder table words them.
        const auto caption = [language](QLabel* label, qv::PlaceholderValue value) {
            const qv::Placeholder& p = qv::placeholder(value);
            label->setText(qv::pick(language, p.captionDe, p.captionEn));
        };
        caption(Label6, qv::PlaceholderValue::Name);
        caption(Label8, qv::PlaceholderValue::Number);
        caption(Label13, qv::PlaceholderValue::ZeroNumber);
        caption(Label10, qv::PlaceholderValue::Count);
        caption(Label18, qv::PlaceholderValue::Day);
        caption(Label22, qv::PlaceholderValue::Month);
        caption(Label20, qv::PlaceholderValue::Year);
        Label17->setText(qv::placeholder(qv::PlaceholderValue::Day).spelling(language));
        Label19->setText(qv::placeholder(qv::PlaceholderValue::Year).spelling(language));
        Platzhalter->setText(qv::pick(language, "Weitere..", "More.."));
        fillPlaceholderMenu(language);
        Label23->setText(qv::pick(language, "Stellen bei %0num%:", "Digits of %0num%:"));
        datumsquelle->setToolTip(qv::pick(language, "Woher Datum und Uhrzeit kommen",
                                          "Where the date and time come from"));
        setItemTexts(datumsquelle, {qv::pick(language, "Heute", "Today"),
                                    qv::pick(language, "Aufnahmedatum", "Date taken"),
                                    qv::pick(language, "Aufnahme- sonst Änderungsdatum",
                                             "Date taken, else modified"),
                                    qv::pick(language, "Änderungsdatum", "Date modified")});
        act_suchenersetzen->setText(
            qv::pick(language,
                     "Ersetzen Sie in dem Dateinamen bestimmte Ausdrücke durch "
                     "andere",
                     "Find and Replace Expressions in the Filename"));
        Label2->setText(qv::pick(language, "Suchen nach:", "Search for:"));
        Label11->setText(qv::pick(language, "Ersetzen durch:", "Replace with:"));
        Label16->setText(qv::pick(language, "Suchen und Ersetzen in:", "Search and Replace in:"));
        cb_suchname->setText(qv::pick(language, "Dateiname", "File Name"));
        cb_suchendung->setText(qv::pick(language, "Dateiendung", "File Extension"));
        cb_regex->setText(qv::pick(language, "Reguläre Ausdrücke", "Regular expressions"));
        cb_gross->setText(qv::pick(language, "Groß/klein beachten", "Match case"));
        setItemTexts(schreibung,
                     {qv::pick(language, "Schreibung unverändert", "Keep case"),
                      qv::pick(language, "kleinbuchstaben", "lower case"),
                      qv::pick(language, "GROSSBUCHSTABEN", "UPPER CASE"),
                      qv::pick(language, "Erster buchstabe groß", "First letter capital"),
                      qv::pick(language, "Jeder Anfang Groß", "Each Word Capital")});
        cb_endungklein->setText(qv::pick(language, "Endung klein", "Extension in lower case"));
        Panel4->setText(qv::pick(language, " Vorschau", " Preview"));
        Label14->setText(qv::pick(language, "Alter Name:", "Old Name:"));
        Label15->setText(qv::pick(language, "Neuer Name:", "New Name:"));
        pop1->setText(
            qv::pick(language, "Übergeordneten Ordner öffnen", "Open corresponding Folder"));
        pop2->setText(qv::pick(language, "Dateiinformationen anzeigen", "Show File Information"));
        pop3->setText(qv::pick(language, "Markierte Dateien in die Zwischenablage kopieren",
                               "Copy selected Files to Clipboard"));
        pop4->setText(qv::pick(language, "Markierte Dateien aus der Liste löschen",
                               "Delete selected Files from List"));

        Programm1->setTitle(qv::pick(language, "Programm", "Program"));
        m_vorschau_alle->setText(
            qv::pick(language, "Vorschau aller Einträge", "Preview All Entries"));
        m_rueckgaengig->setText(
            qv::pick(language, "Letzte Umbenennung rückgängig", "Undo Last Rename"));
        m_ketten->setText(
            qv::pick(language, "Ketten und Tausch auflösen", "Resolve Chains and Swaps"));
        m_natuerlich->setText(qv::pick(language, "Zahlen in Namen nach Wert sortieren",
                                       "Sort numbers in names by value"));
        m_bugreport->setText(
            qv::pick(language, "Fehler oder Verbesserung melden..", "Report Bug or Improvement.."));
        m_close->setText(qv::pick(language, "Beenden", "Close"));
        Einstellungen2->setTitle(qv::pick(language, "Einstellungen", "Settings"));
        m_konfig_save->setText(
            qv::pick(language, "Konfiguration speichern..", "Save Configuration.."));
        m_konfig_open->setText(qv::pick(language, "Konfiguration laden..", "Load Configuration.."));
        m_konfig_alsstart->setText(qv::pick(language,
                                            "Aktuelle Konfiguration als Startkonfiguration",
                                            "Current Configuration as Start-Configuration"));
        m_konfig_autosave->setTitle(qv::pick(language, "Konfiguration automatisch speichern",
                                             "Save Configuration automatically"));
        m_konfig_autosave_nie->setText(qv::pick(language, "Nie", "Never"));
        m_konfig_autosave_alles->setText(qv::pick(language, "Immer", "Always"));
        m_einstspr->setTitle(qv::pick(language, "Sprache", "Language"));

        nameInputs(language);
        m_soft_de->menuAction()->setVisible(texts.german());
        m_soft_en->menuAction()->setVisible(!texts.german());
        Hilfe1->menuAction()->setVisible(texts.german());
        Information1->menuAction()->setVisible(!texts.german());

        m_konfigFilter =
            qv::pick(language, "Quorvel Konfiguration (*.qvc)", "Quorvel Configuration (*.qvc)");
        for (QFileDialog* dialog : {sd_konfig.ifMade(), od_konfig.ifMade()}) {
            if (dialog)
                dialog->setNameFilter(m_konfigFilter);
        }

        Deutsch1->setChecked(texts.german());
        Englisch1->setChecked(!texts.german());

        cb_dir->move(qv::pick(language, 250, 160), cb_dir->y());
        if (texts.german()) {
            swapItemWord(maske, QStringLiteral("Custom"), QStringLiteral("Benutzerdefiniert"));
            swapItemWord(numstart, QStringLiteral("Custom"), QStringLiteral("Benutzer"));
        } else {
            swapItemWord(maske, QStringLiteral("Benutzerdefiniert"), QStringLiteral("Custom"));
            swapItemWord(numstart, QStringLiteral("Benutzer"), QStringLiteral("Custom"));
        }
    }
    // Labels size themselves to their captions.
    for (QLabel* l :
         {Label1, Label4, label3, Label6, Label8, Label10, Label13, Label17, Label18, Label19,
          Label20, Label22, Label23, Label2, Label11, Label16, Label14, Label15})
        l->adjustSize();
}

void Tprog::sprachealles()
{
    sprache();
    qv::start->sprache();
    qv::quorvel_filter->Sprache();
    if (qv::vorschau_alle)
        qv::vorschau_alle->sprache();
}

void Tprog::Deutsch1Click()
{
    qv::setLanguageCode(QStringLiteral("de"));
    sprachealles();
}

void Tprog::Englisch1Click()
{
    qv::setLanguageCode(QStringLiteral("en"));
    sprachealles();
}
