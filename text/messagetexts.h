#pragma once

#include <QString>

#include <utility>

namespace qv {

// The language-dependent texts that other parts compose into statuses, counts and messages.
// All are written together whenever the language is applied to the main window.
struct MessageTexts
{
    QString txt_geladen;
    QString txt_umbenannt;
    QString txt_nicht_umbenannt;
    QString txt_ordnerwahl;
    QString txt_st_umbenannt;
    QString txt_st_neu;
    QString txt_st_existiert;
    QString txt_st_fehler;
    QString txt_ordner_fehlt;
    QString txt_datei_doppelt;
    QString txt_datei_einmal;
    QString txt_ordner_doppelt;
    QString txt_ordner_einmal;
    // Undoing the last run: the status of an entry renamed back, and the label's counts.
    QString txt_st_zurueck;
    QString txt_zurueckbenannt;
    QString txt_nicht_zurueckbenannt;
    // The undo journal: the status of a file that is no longer the one the run renamed, and
    // what is said when the journal cannot be used. %1 is the system's reason.
    QString txt_st_geaendert;
    QString txt_journal_frage;
    QString txt_journal_nicht_schreibbar;
    QString txt_journal_besetzt;
    QString txt_journal_gestoppt;
    QString txt_journal_defekt;
    QString txt_platzhalter_entfernt;

    static MessageTexts german();
    static MessageTexts english();
};

// The count text: the number without grouping followed by txt_geladen.
QString countText(int count, const MessageTexts& texts);

// "3 files renamed (1 files could not be renamed)": done, and the failed part only when any failed.
QString progressText(int done, int failed, const QString& doneText, const QString& failedText);

// "Stopped: ... (No space left on device); 1442 files renamed, 558 not tried".
QString stoppedText(const MessageTexts& texts, const QString& reason, int renamed, int notTried);

// The words of a plan, in the preview of all entries and a dry run: the outcome each entry would
// get where it differs from a run's status, and the summary's words.
struct PlanTexts
{
    QString unchanged;
    QString missing;
    QString willRename;
    QString oneWillRename;
    QString manyWillRename;
    QString unchangedCount;
    QString oneConflict;
    QString manyConflicts;
    QString oneMissing;
    QString manyMissing;

    static PlanTexts german();
    static PlanTexts english();
};

// "8 werden umbenannt, 1 unverändert, 2 Konflikte".
QString planSummary(int renamed, int unchanged, int conflicts, const PlanTexts& texts);

enum class Language
{
    German,
    English
};

// The German or the English of two values: every choice by the interface language, of a text or
// of what goes with it (a caption's place, a window's name), is made here.
template <typename T> T pick(Language language, T german, T english)
{
    return language == Language::German ? std::move(german) : std::move(english);
}

// Texts written in the source as UTF-8.
inline QString pick(Language language, const char* german, const char* english)
{
    return QString::fromUtf8(pick<const char*>(language, german, english));
}

// The language a code stands for: "de" is German, any other code English.
inline Language languageOfCode(const QString& code)
{
    return code == QLatin1String("de") ? Language::German : Language::English;
}

// Every text of one language, and the pick between two words where a text is said only once.
struct Texts
{
    Language language = Language::German;
    MessageTexts message;
    PlanTexts plan;

    static Texts of(Language language);
    bool german() const { return language == Language::German; }
    QString pick(const char* de, const char* en) const { return qv::pick(language, de, en); }
};

// The UI language chosen by marker files "en" and "de" in folder ("de" wins; German by default).
QString languageFromMarkerFiles(const QString& folder);

// A language given for this start only ("de" or "en"; empty for none), which wins over the
// marker files.
void setStartLanguage(const QString& code);
// The language a start takes: the one given for it, else the marker files' in folder.
QString startLanguage(const QString& folder);

} // namespace qv
