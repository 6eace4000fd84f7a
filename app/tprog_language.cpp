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

struct Caption
{
    const char* german;
    const char* english;
};

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

} // namespace

void Tprog::sprache()
{
    qv::useQtTranslation(qv::languageCode());
    for (const QString& language : {QStringLiteral("en"), QStringLiteral("de")}) {
        if (qv::languageCode() != language)
            continue;
        const bool de = language == QLatin1String("de");
        auto tr = [de](const Caption& c) { return QString::fromUtf8(de ? c.german : c.english); };

        setWindowTitle(qv::applicationTitle);
        laspenden->setText(qv::thankYouCaption(language));
        Umbenennen->setText(tr({"Umbenennen", "Rename"}));
        txt = de ? qv::MessageTexts::german() : qv::MessageTexts::english();
        m_batch->setTexts(qv::Texts::of(de ? qv::Language::German : qv::Language::English));

        Panel7->setText(tr({" Dateien und Ordner", " Files and Folders"}));
        Label1->setText(tr({"Ziehen Sie die Dateien und Ordner, die umbenannt werden sollen in die "
                            "Liste oder öffnen Sie einen Ordner.",
                            "Drag the Files and Folders to be renamed to this List or open a "
                            "Folder."}));
        OpenOrdner->setText(tr({"Ordner Öffnen..", "Open Folder.."}));
        BitBtn1->setText(tr({"Filter..", "Filter.."}));
        cb_dat->setText(
            tr({"Dateien hinzufügen um diese umzubenennen", "Add Files to Rename Files"}));
        cb_dir->setText(
            tr({"Ordner hinzufügen um diese umzubenennen", "Add Folders to Rename Folders"}));
        m_list->setHeaderTexts(
            de ? QStringList{QStringLiteral("Name"), QStringLiteral("Typ"), QStringLiteral("Größe"),
                             QStringLiteral("Status"), QStringLiteral("Dateipfad")}
               : QStringList{QStringLiteral("Name"), QStringLiteral("Type"), QStringLiteral("Size"),
                             QStringLiteral("Status"), QStringLiteral("Path")});
        BitBtn3->setText(tr({"Markierte Löschen", "Delete Selected"}));
        BitBtn2->setText(tr({"Alle Löschen", "Delete All"}));
        Panel2->setText(tr({" Aktionen", " Actions"}));
        Label4->setText(tr({"Hier können Sie einstellen, in welcher Form die Dateien umbenannt "
                            "werden sollen.",
                            "Here you can adjust how the Files should be renamed"}));
        act_maske->setText(
            tr({"Wählen Sie eine Maske für die Dateien", "Choose a Mask for the Files"}));
        label3->setText(
            tr({"Folgende Konstanten sind verfügbar. Klicken Sie auf eine Konstante, um "
                "sie in die Maske einzufügen.",
                "The following Constants are available. Click on a Constant, to copy "
                "it to the Mask."}));
        // The placeholders and their captions, as the placeholder table words them.
        const auto caption = [de](QLabel* label, qv::PlaceholderValue value) {
            const qv::Placeholder& p = qv::placeholder(value);
            label->setText(de ? p.captionDe : p.captionEn);
        };
        caption(Label6, qv::PlaceholderValue::Name);
        caption(Label8, qv::PlaceholderValue::Number);
        caption(Label13, qv::PlaceholderValue::ZeroNumber);
        caption(Label10, qv::PlaceholderValue::Count);
        caption(Label18, qv::PlaceholderValue::Day);
        caption(Label22, qv::PlaceholderValue::Month);
        caption(Label20, qv::PlaceholderValue::Year);
        Label17->setText(qv::placeholder(qv::PlaceholderValue::Day).spelling(de));
        Label19->setText(qv::placeholder(qv::PlaceholderValue::Year).spelling(de));
        act_suchenersetzen->setText(tr({"Ersetzen Sie in dem Dateinamen bestimmte Ausdrücke durch "
                                        "andere",
                                        "Find and Replace Expressions in the Filename"}));
        Label2->setText(tr({"Suchen nach:", "Search for:"}));
        Label11->setText(tr({"Ersetzen durch:", "Replace with:"}));
        Label16->setText(tr({"Suchen und Ersetzen in:", "Search and Replace in:"}));
        cb_suchname->setText(tr({"Dateiname", "File Name"}));
        cb_suchendung->setText(tr({"Dateiendung", "File Extension"}));
        Panel4->setText(tr({" Vorschau", " Preview"}));
        Label14->setText(tr({"Alter Name:", "Old Name:"}));
        Label15->setText(tr({"Neuer Name:", "New Name:"}));
        pop1->setText(tr({"Übergeordneten Ordner öffnen", "Open corresponding Folder"}));
        pop2->setText(tr({"Dateiinformationen anzeigen", "Show File Information"}));
        pop3->setText(tr({"Markierte Dateien in die Zwischenablage kopieren",
                          "Copy selected Files to Clipboard"}));
        pop4->setText(
            tr({"Markierte Dateien aus der Liste löschen", "Delete selected Files from List"}));

        Programm1->setTitle(tr({"Programm", "Program"}));
        m_vorschau_alle->setText(tr({"Vorschau aller Einträge", "Preview All Entries"}));
        m_rueckgaengig->setText(tr({"Letzte Umbenennung rückgängig", "Undo Last Rename"}));
        m_ketten->setText(tr({"Ketten und Tausch auflösen", "Resolve Chains and Swaps"}));
        m_bugreport->setText(
            tr({"Fehler oder Verbesserung melden..", "Report Bug or Improvement.."}));
        m_close->setText(tr({"Beenden", "Close"}));
        Einstellungen2->setTitle(tr({"Einstellungen", "Settings"}));
        m_konfig_save->setText(tr({"Konfiguration speichern..", "Save Configuration.."}));
        m_konfig_open->setText(tr({"Konfiguration laden..", "Load Configuration.."}));
        m_konfig_alsstart->setText(tr({"Aktuelle Konfiguration als Startkonfiguration",
                                       "Current Configuration as Start-Configuration"}));
        m_konfig_autosave->setTitle(
            tr({"Konfiguration automatisch speichern", "Save Configuration automatically"}));
        m_konfig_autosave_nie->setText(tr({"Nie", "Never"}));
        m_konfig_autosave_alles->setText(tr({"Immer", "Always"}));
        m_einstspr->setTitle(tr({"Sprache", "Language"}));

        nameInputs(de);
        m_soft_de->menuAction()->setVisible(de);
        m_soft_en->menuAction()->setVisible(!de);
        Hilfe1->menuAction()->setVisible(de);
        Information1->menuAction()->setVisible(!de);

        m_konfigFilter = tr({"Quorvel Konfiguration (*.qvc)", "Quorvel Configuration (*.qvc)"});
        for (QFileDialog* dialog : {sd_konfig.ifMade(), od_konfig.ifMade()}) {
            if (dialog)
                dialog->setNameFilter(m_konfigFilter);
        }

        Deutsch1->setChecked(de);
        Englisch1->setChecked(!de);

        cb_dir->move(de ? 250 : 160, cb_dir->y());
        if (de) {
            swapItemWord(maske, QStringLiteral("Custom"), QStringLiteral("Benutzerdefiniert"));
            swapItemWord(numstart, QStringLiteral("Custom"), QStringLiteral("Benutzer"));
        } else {
            swapItemWord(maske, QStringLiteral("Benutzerdefiniert"), QStringLiteral("Custom"));
            swapItemWord(numstart, QStringLiteral("Benutzer"), QStringLiteral("Custom"));
        }
    }
    // Labels size themselves to their captions.
    for (QLabel* l : {Label1, Label4, label3, Label6, Label8, Label10, Label13, Label17, Label18,
                      Label19, Label20, Label22, Label2, Label11, Label16, Label14, Label15})
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
