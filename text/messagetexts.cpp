#include "text/messagetexts.h"

#include <QDir>
#include <QFileInfo>

namespace qv {

namespace {

QString& givenLanguage()
{
    static QString code;
    return code;
}

} // namespace

MessageTexts MessageTexts::german()
{
    MessageTexts t;
    t.txt_geladen = QStringLiteral(" Dateien/Ordner geladen");
    t.txt_umbenannt = QStringLiteral(" Dateien umbenannt");
    t.txt_nicht_umbenannt = QStringLiteral(" Dateien konnten nicht umbenannt werden");
    t.txt_ordnerwahl = QStringLiteral("Verzeichnis öffnen..");
    t.txt_st_umbenannt = QStringLiteral("Umbenannt");
    t.txt_st_neu = QStringLiteral("Neu hinzugefügt");
    t.txt_st_existiert = QStringLiteral("Datei existiert");
    t.txt_st_fehler = QStringLiteral("Fehler");
    t.txt_ordner_fehlt =
        QStringLiteral("Sie haben einen nicht existierenden Ordner angegeben.\r\n\r\n"
                       "Bitte wählen Sie einen anderen Ordner aus.");
    t.txt_datei_doppelt = QStringLiteral("Diese Datei wurde schon zur Liste hinzugefügt:");
    t.txt_datei_einmal = QStringLiteral("Sie können Dateien nur einmal zur Liste hinzufügen.");
    t.txt_ordner_doppelt = QStringLiteral("Dieser Ordner wurde schon zur Liste hinzugefügt:");
    t.txt_ordner_einmal = QStringLiteral("Sie können Ordner nur einmal zur Liste hinzufügen.");
    t.txt_st_zurueck = QStringLiteral("Zurückbenannt");
    t.txt_zurueckbenannt = QStringLiteral(" Dateien zurückbenannt");
    t.txt_nicht_zurueckbenannt = QStringLiteral(" Dateien konnten nicht zurückbenannt werden");
    t.txt_st_geaendert = QStringLiteral("Seit der Umbenennung geändert");
    t.txt_journal_frage = QStringLiteral(
        "Das Protokoll zum Rückgängigmachen kann nicht geschrieben werden (%1).\r\n\r\n"
        "Ohne Rückgängig umbenennen?");
    t.txt_journal_nicht_schreibbar =
        QStringLiteral("Das Protokoll zum Rückgängigmachen kann nicht geschrieben werden (%1); "
                       "nichts umbenannt");
    t.txt_journal_besetzt = QStringLiteral(
        "Eine andere Umbenennung oder ein Rückgängigmachen läuft gerade; nichts geändert");
    t.txt_journal_gestoppt = QStringLiteral(
        "Angehalten, das Protokoll zum Rückgängigmachen konnte nicht geschrieben werden (%1): "
        "%2 Dateien umbenannt, %3 nicht versucht");
    t.txt_journal_defekt = QStringLiteral(
        "Das Protokoll zum Rückgängigmachen ist beschädigt oder keines; nichts geändert");
    t.txt_platzhalter_entfernt = QStringLiteral(" Platzhalter entfernt");
    return t;
}

MessageTexts MessageTexts::english()
{
    MessageTexts t;
    t.txt_geladen = QStringLiteral(" Files/Folders loaded");
    t.txt_umbenannt = QStringLiteral(" files renamed");
    t.txt_nicht_umbenannt = QStringLiteral(" files could not be renamed");
    t.txt_ordnerwahl = QStringLiteral("Open Directory..");
    t.txt_st_umbenannt = QStringLiteral("Renamed");
    t.txt_st_neu = QStringLiteral("Added");
    t.txt_st_existiert = QStringLiteral("File already exists");
    t.txt_st_fehler = QStringLiteral("Error");
    t.txt_ordner_fehlt = QStringLiteral("You have selected a not-existing Directory.\r\n\r\n"
                                        "Please choose a correct Directory.");
    t.txt_datei_doppelt = QStringLiteral("This File has already been added to the File List:");
    t.txt_datei_einmal = QStringLiteral("File can not be added more than one time to the List.");
    t.txt_ordner_doppelt =
        QStringLiteral("This Directory has already been added to the File List:");
    t.txt_ordner_einmal =
        QStringLiteral("Directory can not be added more than one time to the List.");
    t.txt_st_zurueck = QStringLiteral("Restored");
    t.txt_zurueckbenannt = QStringLiteral(" files restored");
    t.txt_nicht_zurueckbenannt = QStringLiteral(" files could not be restored");
    t.txt_st_geaendert = QStringLiteral("Changed since the run");
    t.txt_journal_frage =
        QStringLiteral("The undo journal cannot be written (%1).\r\n\r\nRename without undo?");
    t.txt_journal_nicht_schreibbar =
        QStringLiteral("The undo journal cannot be written (%1); nothing renamed");
    t.txt_journal_besetzt = QStringLiteral("Another rename or undo is running; nothing changed");
    t.txt_journal_gestoppt = QStringLiteral(
        "Stopped, the undo journal could not be written (%1): %2 files renamed, %3 not tried");
    t.txt_journal_defekt =
        QStringLiteral("The undo journal is damaged or not a journal; nothing changed");
    t.txt_platzhalter_entfernt = QStringLiteral(" placeholders removed");
    return t;
}

QString countText(int count, const MessageTexts& texts)
{
    return QString::number(count) + texts.txt_geladen;
}

QString progressText(int done, int failed, const QString& doneText, const QString& failedText)
{
    QString text = QString::number(done) + doneText;
    if (failed > 0)
        text += QStringLiteral(" (") + QString::number(failed) + failedText + u')';
    return text;
}

QString stoppedText(const MessageTexts& texts, const QString& reason, int renamed, int notTried)
{
    return texts.txt_journal_gestoppt.arg(reason).arg(renamed).arg(notTried);
}

PlanTexts PlanTexts::german()
{
    return {QStringLiteral("Unverändert"),
            QStringLiteral("Fehlt"),
            QStringLiteral("Wird umbenannt"),
            QStringLiteral("wird umbenannt"),
            QStringLiteral("werden umbenannt"),
            QStringLiteral("unverändert"),
            QStringLiteral("Konflikt"),
            QStringLiteral("Konflikte"),
            QStringLiteral("fehlt"),
            QStringLiteral("fehlen")};
}

PlanTexts PlanTexts::english()
{
    return {QStringLiteral("Unchanged"),       QStringLiteral("Missing"),
            QStringLiteral("Will be renamed"), QStringLiteral("will be renamed"),
            QStringLiteral("will be renamed"), QStringLiteral("unchanged"),
            QStringLiteral("conflict"),        QStringLiteral("conflicts"),
            QStringLiteral("missing"),         QStringLiteral("missing")};
}

Texts Texts::of(Language language)
{
    return {language, qv::pick(language, &MessageTexts::german, &MessageTexts::english)(),
            qv::pick(language, &PlanTexts::german, &PlanTexts::english)()};
}

QString planSummary(int renamed, int unchanged, int conflicts, const PlanTexts& texts)
{
    return QString::number(renamed) + u' ' +
           (renamed == 1 ? texts.oneWillRename : texts.manyWillRename) + QStringLiteral(", ") +
           QString::number(unchanged) + u' ' + texts.unchangedCount + QStringLiteral(", ") +
           QString::number(conflicts) + u' ' +
           (conflicts == 1 ? texts.oneConflict : texts.manyConflicts);
}

QString languageFromMarkerFiles(const QString& folder)
{
    const QDir dir(folder);
    // Only files mark a language; a folder of that name does not.
    const auto marker = [&dir](const char* name) {
        return QFileInfo(dir.filePath(QLatin1String(name))).isFile();
    };
    QString code = QStringLiteral("de");
    if (marker("en"))
        code = QStringLiteral("en");
    if (marker("de"))
        code = QStringLiteral("de");
    return code;
}

void setStartLanguage(const QString& code)
{
    givenLanguage() = code;
}

QString startLanguage(const QString& folder)
{
    return givenLanguage().isEmpty() ? languageFromMarkerFiles(folder) : givenLanguage();
}

} // namespace qv
