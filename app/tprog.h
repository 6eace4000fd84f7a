#pragma once

#include "app/ondemand.h"
#include "rename/renamename.h"
#include "rename/renamerun.h"
#include "text/messagetexts.h"

#include <QElapsedTimer>
#include <QHash>
#include <QMainWindow>
#include <QStringList>

#include <memory>
#include <optional>

class QAction;
class QCheckBox;
class QComboBox;
class QFileDialog;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QTimer;
class QTreeView;

namespace qv {
class Anchors;
class DiskRenamer;
class EntryAdder;
class FileListModel;
class RenameBatch;
struct AddHooks;
struct AddOptions;
struct RunRequest;
class ImageList;
class Panel;
} // namespace qv

// The main window: the file list, the rename settings with their preview, and the menus. Its
// controls are the program's state; handlers read them when they run. The handlers of each
// subsystem live in a file of their own (app/tprog_*.cpp). Other code sees the components and
// the handlers, as the user does; the list, the message texts and the helpers stay inside.
class Tprog : public QMainWindow
{
    Q_OBJECT
public:
    explicit Tprog(QWidget* parent = nullptr);
    ~Tprog() override;

    // ---- components, in component order ---------------------------------------------------------
    QLabel* laspenden = nullptr;
    QPushButton* Umbenennen = nullptr;
    qv::Panel* Panel6 = nullptr;
    qv::Panel* Panel7 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* quordner = nullptr;
    QPushButton* OpenOrdner = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QCheckBox* cb_dat = nullptr;
    QCheckBox* cb_dir = nullptr;
    QTreeView* qulist = nullptr;
    QLabel* la_anzahl = nullptr;
    QPushButton* BitBtn3 = nullptr;
    QPushButton* BitBtn2 = nullptr;
    qv::Panel* Panel1 = nullptr;
    qv::Panel* Panel2 = nullptr;
    QLabel* Label4 = nullptr;
    QCheckBox* act_maske = nullptr;
    qv::Panel* pa2 = nullptr;
    QComboBox* maske = nullptr;
    // Opens the menu of the placeholders without a label of their own.
    QPushButton* Platzhalter = nullptr;
    QComboBox* numstart = nullptr;
    QLabel* label3 = nullptr;
    QLabel* Label5 = nullptr; // "%name%"
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr; // "%num%"
    QLabel* Label8 = nullptr;
    QLabel* Label9 = nullptr; // "%abs%"
    QLabel* Label10 = nullptr;
    QLabel* Label12 = nullptr; // "%0num%"
    QLabel* Label13 = nullptr;
    QLabel* Label17 = nullptr; // day
    QLabel* Label18 = nullptr;
    QLabel* Label19 = nullptr; // year
    QLabel* Label20 = nullptr;
    QLabel* Label21 = nullptr; // "%m%"
    QLabel* Label22 = nullptr;
    QLabel* Label23 = nullptr; // beside stellen
    // The digits of %0num%: "Auto" or 1 to 9.
    QComboBox* stellen = nullptr;
    // Where the date and time placeholders take their values from.
    QComboBox* datumsquelle = nullptr;
    QCheckBox* act_suchenersetzen = nullptr;
    qv::Panel* pa1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* suchenalt = nullptr;
    QLabel* Label11 = nullptr;
    QLineEdit* suchenneu = nullptr;
    QLabel* Label16 = nullptr;
    QCheckBox* cb_suchname = nullptr;
    QCheckBox* cb_suchendung = nullptr;
    QCheckBox* cb_regex = nullptr;
    QCheckBox* cb_gross = nullptr;
    QComboBox* schreibung = nullptr;
    QCheckBox* cb_endungklein = nullptr;
    qv::Panel* Panel3 = nullptr;
    qv::Panel* Panel4 = nullptr;
    QLabel* Label14 = nullptr;
    QLabel* Label15 = nullptr;
    QLabel* vor_orig = nullptr;
    QLabel* vor_out = nullptr;

    // non-visual components
    QTimer* Timer1 = nullptr;
    QTimer* timerstopper = nullptr;
    // Made on first use: Qt's file dialog keeps state of its own in the user's configuration
    // folder and writes it whenever a dialog is destroyed, so a run that opens neither must not
    // make them.
    qv::OnDemand<QFileDialog> od_konfig;
    qv::OnDemand<QFileDialog> sd_konfig;
    qv::ImageList* softwareicons = nullptr;
    QMenuBar* menu = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* pop1 = nullptr;
    QAction* pop2 = nullptr;
    QAction* pop3 = nullptr;
    QAction* pop4 = nullptr;

    // main menu
    QMenu* Programm1 = nullptr;
    QAction* m_vorschau_alle = nullptr;
    QAction* m_rueckgaengig = nullptr;
    QAction* m_bugreport = nullptr;
    QAction* m_close = nullptr;
    QMenu* Einstellungen2 = nullptr;
    QAction* m_konfig_save = nullptr;
    QAction* m_konfig_open = nullptr;
    QAction* m_konfig_alsstart = nullptr;
    QMenu* m_konfig_autosave = nullptr;
    QAction* m_konfig_autosave_nie = nullptr;
    QAction* m_konfig_autosave_alles = nullptr;
    QAction* m_ketten = nullptr;
    QAction* m_natuerlich = nullptr;
    QMenu* m_einstspr = nullptr;
    QAction* Deutsch1 = nullptr;
    QAction* Englisch1 = nullptr;
    QMenu* m_soft_de = nullptr;
    QAction* KurzbeschreibungallerProgramme1 = nullptr;
    QMenu* m_soft_en = nullptr;
    QAction* BriefDescriptionoftheSoftware1 = nullptr;
    QMenu* Hilfe1 = nullptr;
    QAction* Funktionen2 = nullptr;
    QAction* FehleroderVerbesserungmelden1 = nullptr;
    QAction* Empfehlungen1 = nullptr;
    QAction* Software1 = nullptr;
    QAction* WiesoSpenden1 = nullptr;
    QAction* Lizenz1 = nullptr;
    QMenu* Information1 = nullptr;
    QAction* Introduction1 = nullptr;
    QAction* ReportBugorImprovement1 = nullptr;
    QAction* Regards1 = nullptr;
    QAction* Software2 = nullptr;
    QAction* WhyDonate1 = nullptr;
    QAction* Licence1 = nullptr;

    // The client area: the central widget that carries all panels.
    QWidget* client() const { return m_client; }

    // ---- window life cycle (app/tprog.cpp) ------------------------------------------------------
    void FormShow();
    void FormActivate();
    void FormResize();
    // False when the window must stay open (a failed automatic save).
    bool FormCloseQuery();
    void FormClose();
    void m_closeClick();

    // ---- language (app/tprog_language.cpp) ------------------------------------------------------
    void sprache();
    void sprachealles();
    void Deutsch1Click();
    void Englisch1Click();

    // ---- name expansion, settings panel, preview, batch rename (app/tprog_rename.cpp) -----------
    // `name` is the entry's full path, so that values of the file itself can be read; where the
    // file lacks one, the name is empty and `missing` says which.
    QString RenameName(const QString& name, int position,
                       std::optional<qv::PlaceholderValue>* missing = nullptr) const;
    void UmbenennenClick();
    // The way the batch rename reaches the disk; nullptr restores the no-replace default.
    // The window does not own a renamer given here.
    void setDiskRenamer(qv::DiskRenamer* renamer);
    void VorschauSetzen();
    void Vorschau();
    // Shows every entry with what a run would do with it, and keeps following the settings.
    void m_vorschau_alleClick();
    // Renames back what the last run renamed.
    void m_rueckgaengigClick();
    void maskeChange();
    void numstartChange();
    void Label5Click(QLabel* sender);
    // Puts the placeholder into the mask where the caret stands, as a click on its label does.
    void insertPlaceholder(const QString& constant);
    void act_maskeClick(QObject* sender);
    // Key filters; false when the typed character is refused.
    static bool maskeKeyPress(QChar key);
    static bool numstartKeyPress(QChar key);
    // As maskeKeyPress, except that an expression search takes what an expression needs.
    bool suchenaltKeyPress(QChar key) const;
    bool suchenneuKeyPress(QChar key) const;

    // ---- file list entries and adding (app/tprog_filelist.cpp) ----------------------------------
    void add2list(const QString& path);
    void addfolderaselement2list(const QString& path);
    void AddOrdner(const QString& folder);
    // Handles one drop of local paths, in the order delivered.
    void dropFiles(const QStringList& paths);
    void OpenOrdnerClick();
    // False when the key is swallowed.
    bool quordnerKeyPress(QChar key);
    void quordnerDblClick();
    void BitBtn1Click();

    // ---- sorting, deleting, context menu (app/tprog_listops.cpp) --------------------------------
    // Sorts as a click on the column's header does.
    void qulistColumnClick(int column);
    void qulistSelectItem();
    // False when the key was not handled and keeps the view's standard behaviour.
    bool qulistKeyDown(int key, Qt::KeyboardModifiers modifiers);
    void BitBtn3Click();
    void BitBtn2Click();
    bool PopupMenu1Popup();
    void MenuItem1Click();
    void MenuItem2Click();
    void MenuItem4Click();
    void CopyFilesToClipboard(const QStringList& paths);
    void ShowFileProperties(const QString& path);

    // ---- configuration (app/tprog_config.cpp) ---------------------------------------------------
    void KonfigurationSpeichern(QObject* sender, const QString& fileName);
    void KonfigurationLaden(QObject* sender, const QString& fileName);
    void KonfigurationSpeichernDialog();
    void KonfigurationLadenDialog();
    void m_konfig_alsstartClick();
    void m_konfig_autosave_allesClick();
    void m_konfig_autosave_nieClick();
    static QString startConfigurationPath();

    // ---- web links, support label, help menus (app/tprog_links.cpp) -----------------------------
    void BrowseToMenuCaption(QAction* sender);
    void BrowseToMenuCaptionWithoutRef(QAction* sender);
    void laspendenClick();
    void m_bugreportClick();
    void Timer1Timer();
    void timerstopperTimer();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void createComponents();
    void createMenus();
    void setupSlots();
    // app/tprog_keyboard.cpp: shortcuts and the first focus; names of the inputs for assistive
    // tools, in the current language.
    void setupKeyboard();
    void nameInputs(qv::Language language);
    // app/tprog_listops.cpp: the path column takes what the list has beyond its designed
    // width. Stored widths are those at the designed width, so files keep their meaning.
    void followListWidth();
    int storedColumnWidth(int column) const;
    void setStoredColumnWidth(int column, int width);
    // Web link entries of a menu, built from site link captions.
    QAction* addWebLink(QMenu* target, const QString& caption, bool withReferrer = true);
    // Lets the window repaint during long operations, at most every ~30 ms.
    void processPendingEvents();
    // Whether processPendingEvents would let the window repaint now.
    bool pendingEventsDue() const { return m_sinceEvents.elapsed() >= 30; }

    // app/tprog_rename.cpp, app/tprog_batch.cpp
    qv::RenameSettings renameSettings() const;
    // The settings of a run as the controls hold them now.
    qv::RunRequest runRequest() const;
    // Re-fits the captions of both preview labels to their hints.
    void fitPreviewLabels();
    // Marks the search field while it holds no valid expression, with the reason as its tip;
    // returns the reason, empty while there is none.
    QString showExpressionState();
    // The items of the placeholder menu in the current language.
    void fillPlaceholderMenu(qv::Language language);
    // A run of the list as it stands, with the settings and the date of the moment.
    qv::RenameRun currentRun() const;
    // Hands the current run to the preview of all entries when it is shown.
    void followWithPreview();
    // The renamer of the runs and of undo.
    qv::DiskRenamer& diskRenamer() const;
    // Whether the journal holds a run to undo.
    void updateUndoEntry();

    // app/tprog_filelist.cpp
    void writeCountToLaAnzahl();
    // The characters quordner takes, typed or pasted.
    static bool quordnerAccepts(QChar c);
    // Marks the top row selected, in addition to the selection there is.
    void selectFirstEntry();
    // The first refused duplicate after the switch went off is reported; later ones are not.
    void refuseDuplicate(const QString& message);
    void writeSupportCount();
    void afterAddition();
    // How entries are added, by the controls' values of the moment; the duplicate message and
    // the progress of each addition stay with the window.
    qv::AddOptions addOptions() const;
    qv::AddHooks addHooks();
    // A list bulk update that also suspends painting of the list while the outermost one runs.
    void beginListUpdate();
    void endListUpdate();
    void giveFocus();

    // app/tprog_listops.cpp
    // Rows selected in qulist, in list order.
    QList<int> selectedRows() const;

    // app/tprog_config.cpp
    // The work of m_konfig_alsstartClick; throws qv::ProfileError so that the close query can
    // keep the window open when the automatic save fails.
    void saveStartConfiguration();
    void loadStartConfiguration();

    // app/tprog_links.cpp
    void buildSoftwareMenus();
    // Writes a status text into the support label and starts the hold timer.
    void setSupportStatus(const QString& text);
    void showHelpPage(qv::Language language, const QString& page);

    // Maximise-pending flag: 0 means the window is maximised at its next activation.
    int Tag = 1;
    QWidget* m_client = nullptr;
    qv::Anchors* m_anchors = nullptr;
    // The batch the window is a face of, and its entries, which qulist shows.
    std::unique_ptr<qv::RenameBatch> m_batch;
    qv::FileListModel* m_list = nullptr;
    // The message texts in the current language, rewritten by sprache.
    qv::MessageTexts txt;
    // Set once a refused duplicate was reported, and by a folder load; cleared when a drop ends.
    bool m_duplicateWarned = false;
    // Support label rotation counter.
    int m_rotation = 0;
    // The list's width as designed, and the width beyond it the path column holds now.
    int m_listDesignWidth = 0;
    int m_pathExtra = 0;
    // Within one drop: the row that goes first once the list is sorted, and how many rows
    // selectFirstEntry has compared so far.
    int m_dropTopRow = -1;
    int m_dropRowsSeen = 0;
    // Inside a bulk addition the count text in laspenden is written only before a repaint and
    // when the addition ends; nobody sees the values in between.
    bool m_supportCountPending = false;
    // Opened by Platzhalter.
    QMenu* m_morePlaceholders = nullptr;
    // Why the preview has no new name to show (an invalid expression, a value the file lacks);
    // shown in vor_out instead of a name until the next refresh.
    QString m_previewNote;
    // The name filter of the configuration dialogs in the language applied last.
    QString m_konfigFilter;
    bool m_shown = false;
    QElapsedTimer m_sinceEvents;
    // Set by setDiskRenamer; nullptr means the no-replace rename.
    qv::DiskRenamer* m_diskRenamer = nullptr;
};
