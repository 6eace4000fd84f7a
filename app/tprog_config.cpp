// Saving and loading configuration files, the start configuration and the automatic save.

#include "app/tprog.h"

#include "app/filter/tquorvel_filter.h"
#include "app/panel.h"
#include "app/platform.h"
#include "app/screenfit.h"
#include "app/tstart.h"
#include "app/windows.h"
#include "config/profilefile.h"
#include "text/appinfo.h"
#include "text/textutil.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTreeView>

namespace {

const QString startConfigurationName = QStringLiteral("Auto.qvc");

// The controls a configuration stores, in the order they are written: each section appears in
// the file where its first control comes, and the keys of a section follow the list. This is not
// the order of the visual tree (pa1 comes before pa2, cb_suchendung before cb_suchname); it is the
// order the files have always had, so it is written down here instead of derived from the
// widgets. Any control of the six kinds added to a list is saved and loaded without more code.
QList<QWidget*> mainWindowControls(const Tprog& w)
{
    return {
        w.Panel6,        w.Panel7,      w.quordner,
        w.cb_dat,        w.cb_dir,      w.Panel1,
        w.Panel2,        w.act_maske,   w.act_suchenersetzen,
        w.pa1,           w.suchenalt,   w.suchenneu,
        w.cb_suchendung, w.cb_suchname, w.pa2,
        w.maske,         w.numstart,    w.Panel3,
        w.Panel4,
    };
}

QList<QWidget*> filterDialogControls(const Tquorvel_filter& f)
{
    return {f.alle, f.auswahl, f.filter, f.uv};
}

// The two letters of a control's kind in a section name; empty for kinds that are not stored.
// Panel before the others: it is a label underneath, which no other kind is.
QString kindOf(const QWidget* control)
{
    if (qobject_cast<const qv::Panel*>(control))
        return QStringLiteral("PA");
    if (qobject_cast<const QLineEdit*>(control))
        return QStringLiteral("ED");
    if (qobject_cast<const QComboBox*>(control))
        return QStringLiteral("CB");
    if (qobject_cast<const QRadioButton*>(control))
        return QStringLiteral("RB");
    if (qobject_cast<const QCheckBox*>(control))
        return QStringLiteral("CH");
    if (qobject_cast<const QScrollBar*>(control))
        return QStringLiteral("SB");
    return {};
}

QString comboText(const QComboBox* combo)
{
    return combo->isEditable() ? combo->lineEdit()->text() : combo->currentText();
}

void saveControls(qv::ProfileUpdate& file, const QString& window, const QList<QWidget*>& controls)
{
    for (QWidget* control : controls) {
        const QString kind = kindOf(control);
        if (kind.isEmpty())
            continue;
        const QString section = window + kind;
        const QString key = control->objectName();
        if (auto* panel = qobject_cast<qv::Panel*>(control))
            // The panel's own setting: a panel of a window not shown yet still counts as shown.
            file.writeBool(section, key, panel->isVisibleTo(panel->parentWidget()));
        else if (auto* edit = qobject_cast<QLineEdit*>(control))
            file.writeString(section, key, qv::ProfileFile::protectQuotes(edit->text()));
        else if (auto* combo = qobject_cast<QComboBox*>(control))
            file.writeString(section, key, qv::ProfileFile::protectQuotes(comboText(combo)));
        else if (auto* button = qobject_cast<QAbstractButton*>(control))
            file.writeBool(section, key, button->isChecked());
        else if (auto* bar = qobject_cast<QScrollBar*>(control))
            file.writeInteger(section, key, bar->value());
    }
}

// Each value read with the control's current value as default. Buttons that change as a click
// would change them tell their handlers through clicked(), as a click by the user does.
void loadControls(const qv::ProfileSnapshot& file, const QString& window,
                  const QList<QWidget*>& controls)
{
    for (QWidget* control : controls) {
        const QString kind = kindOf(control);
        if (kind.isEmpty())
            continue;
        const QString section = window + kind;
        const QString key = control->objectName();
        if (auto* panel = qobject_cast<qv::Panel*>(control)) {
            panel->setVisible(
                file.readBool(section, key, panel->isVisibleTo(panel->parentWidget())));
        } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
            const QString text = file.readString(section, key, edit->text());
            if (text != edit->text())
                edit->setText(text);
        } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
            const QString text = file.readString(section, key, comboText(combo));
            if (text == comboText(combo))
                continue;
            if (combo->isEditable())
                combo->setEditText(text);
            else
                combo->setCurrentText(text);
        } else if (auto* radio = qobject_cast<QRadioButton*>(control)) {
            const bool checked = file.readBool(section, key, radio->isChecked());
            if (checked && !radio->isChecked()) {
                // Unchecks the others of its group.
                radio->setChecked(true);
                emit radio->clicked(true);
            } else if (!checked && radio->isChecked()) {
                // Refused for the checked button of an exclusive group, which keeps one choice.
                radio->setChecked(false);
            }
        } else if (auto* box = qobject_cast<QCheckBox*>(control)) {
            const bool checked = file.readBool(section, key, box->isChecked());
            if (checked != box->isChecked()) {
                box->setChecked(checked);
                emit box->clicked(checked);
            }
        } else if (auto* bar = qobject_cast<QScrollBar*>(control)) {
            bar->setValue(file.readInteger(section, key, bar->value()));
        }
    }
}

// The rename options that came after the files' format was settled, stored only where they differ
// from their defaults, so that a file of the usual settings stays as it always was and a file
// without them loads the defaults. Each is a key of this section, named after its component; a
// choice from a list is stored as a word of its own, which neither the language nor the captions
// of the items change.
const QString optionSection = QStringLiteral("OP");

// The words of the items, in item order; the first item is the default.
const QStringList dateSourceWords{QStringLiteral("today"), QStringLiteral("taken"),
                                  QStringLiteral("takenormodified"), QStringLiteral("modified")};
const QStringList letterCaseWords{QStringLiteral("keep"), QStringLiteral("lower"),
                                  QStringLiteral("upper"), QStringLiteral("first"),
                                  QStringLiteral("words")};
const QStringList digitsWords{QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"),
                              QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("5"),
                              QStringLiteral("6"), QStringLiteral("7"), QStringLiteral("8"),
                              QStringLiteral("9")};

void saveOption(qv::ProfileUpdate& file, const QString& key, bool value, bool byDefault)
{
    if (value != byDefault)
        file.writeBool(optionSection, key, value);
    else
        file.writeBoolIfPresent(optionSection, key, value);
}

void saveOption(qv::ProfileUpdate& file, const QComboBox* box, const QStringList& words)
{
    const int index = qMax(0, box->currentIndex());
    if (index > 0)
        file.writeString(optionSection, box->objectName(), words.value(index));
    else
        file.writeStringIfPresent(optionSection, box->objectName(), words.first());
}

// An unknown word gives the default.
void loadOption(const qv::ProfileSnapshot& file, QComboBox* box, const QStringList& words)
{
    const QString word = file.readString(optionSection, box->objectName(), words.first());
    box->setCurrentIndex(qMax(0, words.indexOf(word.toLower())));
}

// The default suffix as the file dialog itself adds it to a typed name: only when the name has
// no dot at all and is not a folder.
QString withDefaultSuffix(const QString& fileName, const QFileDialog* dialog)
{
    const QString suffix = dialog->defaultSuffix();
    const QFileInfo info(fileName);
    if (suffix.isEmpty() || info.isDir() || info.fileName().contains(QLatin1Char('.')))
        return fileName;
    return fileName + QLatin1Char('.') + suffix;
}

} // namespace

void Tprog::KonfigurationSpeichern(QObject*, const QString& fileName)
{
    qv::ProfileFile(fileName).createIfMissing();
    qv::ProfileUpdate file(fileName);
    saveControls(file, QStringLiteral("PB"), mainWindowControls(*this));
    if (qv::quorvel_filter)
        saveControls(file, QStringLiteral("PF"), filterDialogControls(*qv::quorvel_filter));

    QString widths;
    for (int column = 0; column < qulist->header()->count(); ++column)
        widths += QString::number(storedColumnWidth(column)) + QLatin1Char(',');
    file.writeString(QStringLiteral("PBCH"), QStringLiteral("COL"), widths);

    // Written also when maximised; the numbers then describe the maximised window.
    const QString placement = QStringLiteral("SP");
    file.writeBool(placement, QStringLiteral("PF"), isMaximized());
    file.writeInteger(placement, QStringLiteral("PB"), client()->width());
    file.writeInteger(placement, QStringLiteral("PH"), client()->height());
    file.writeInteger(placement, QStringLiteral("PT"), frameGeometry().top());
    file.writeInteger(placement, QStringLiteral("PL"), frameGeometry().left());

    file.writeBool(QStringLiteral("AS"), QStringLiteral("N"), m_konfig_autosave_nie->isChecked());
    file.writeBool(QStringLiteral("AS"), QStringLiteral("A"), m_konfig_autosave_alles->isChecked());
    // Stored only when set, so that a file of the usual settings stays as it always was.
    if (m_ketten->isChecked())
        file.writeBool(QStringLiteral("KT"), QStringLiteral("A"), true);
    else
        file.writeBoolIfPresent(QStringLiteral("KT"), QStringLiteral("A"), false);
    saveOption(file, datumsquelle, dateSourceWords);
    saveOption(file, stellen, digitsWords);
    saveOption(file, cb_regex->objectName(), cb_regex->isChecked(), false);
    saveOption(file, cb_gross->objectName(), cb_gross->isChecked(), true);
    saveOption(file, schreibung, letterCaseWords);
    saveOption(file, cb_endungklein->objectName(), cb_endungklein->isChecked(), false);
    saveOption(file, m_natuerlich->objectName(), m_natuerlich->isChecked(), false);
    file.commit();
}

void Tprog::KonfigurationLaden(QObject* sender, const QString& fileName)
{
    const qv::ProfileSnapshot file(fileName);
    loadControls(file, QStringLiteral("PB"), mainWindowControls(*this));
    if (qv::quorvel_filter)
        loadControls(file, QStringLiteral("PF"), filterDialogControls(*qv::quorvel_filter));

    // Each field ends at a ",", one appended to the text: "1,2,3," gives four fields, the last
    // one empty, and "1,2,3" three.
    const QStringList widths =
        file.readString(QStringLiteral("PBCH"), QStringLiteral("COL"), QString())
            .split(QLatin1Char(','));
    if (widths.size() > 3) {
        for (int column = 0; column < qulist->header()->count() && column < widths.size();
             ++column) {
            int width = 0;
            if (qv::IsNumber(widths[column], &width))
                setStoredColumnWidth(column, width);
        }
    }

    const QString placement = QStringLiteral("SP");
    if (file.readBool(placement, QStringLiteral("PF"), isMaximized())) {
        // At start-up the window is being shown right now; it is maximised when it is first
        // activated.
        if (sender == qv::start)
            Tag = 0;
        else
            showMaximized();
    } else {
        // The numbers may come from another screen: what does not fit this one is brought inside.
        // They may be any int as well, so they are brought into a window's range before the
        // menu bar is added.
        const QSize clientSize = qv::withinWindowRange(
            QSize(file.readInteger(placement, QStringLiteral("PB"), client()->width()),
                  file.readInteger(placement, QStringLiteral("PH"), client()->height())));
        const QPoint topLeft = qv::withinWindowRange(
            QPoint(file.readInteger(placement, QStringLiteral("PL"), frameGeometry().left()),
                   file.readInteger(placement, QStringLiteral("PT"), frameGeometry().top())));
        // The menu bar (and any frame) around the client keeps its size. The client is sized as
        // well: a hidden window lays it out only when shown, and the next load measures it.
        const QSize around = size() - client()->size();
        qv::placeInsideScreen(this, clientSize + around, topLeft);
        client()->resize(size() - around);
    }

    const QString autosave = QStringLiteral("AS");
    m_konfig_autosave_nie->setChecked(
        file.readBool(autosave, QStringLiteral("N"), m_konfig_autosave_nie->isChecked()));
    m_konfig_autosave_alles->setChecked(
        file.readBool(autosave, QStringLiteral("A"), m_konfig_autosave_alles->isChecked()));
    m_ketten->setChecked(file.readBool(QStringLiteral("KT"), QStringLiteral("A"), false));
    loadOption(file, datumsquelle, dateSourceWords);
    loadOption(file, stellen, digitsWords);
    cb_regex->setChecked(file.readBool(optionSection, cb_regex->objectName(), false));
    cb_gross->setChecked(file.readBool(optionSection, cb_gross->objectName(), true));
    loadOption(file, schreibung, letterCaseWords);
    cb_endungklein->setChecked(file.readBool(optionSection, cb_endungklein->objectName(), false));
    m_natuerlich->setChecked(file.readBool(optionSection, m_natuerlich->objectName(), false));

    act_maskeClick(sender);
    sprachealles();
}

void Tprog::KonfigurationSpeichernDialog()
{
    const QString chosen = qv::platform().runFileDialog(sd_konfig.get());
    if (chosen.isEmpty())
        return;
    try {
        KonfigurationSpeichern(m_konfig_save, withDefaultSuffix(chosen, sd_konfig.get()));
    } catch (const qv::ProfileError& e) {
        qv::platform().error(this, e.message());
    }
}

void Tprog::KonfigurationLadenDialog()
{
    const QString chosen = qv::platform().runFileDialog(od_konfig.get());
    if (chosen.isEmpty())
        return;
    KonfigurationLaden(m_konfig_open, withDefaultSuffix(chosen, od_konfig.get()));
}

void Tprog::m_konfig_alsstartClick()
{
    try {
        saveStartConfiguration();
    } catch (const qv::ProfileError& e) {
        qv::platform().error(this, e.message());
    }
}

void Tprog::saveStartConfiguration()
{
    const QString path = startConfigurationPath();
    // The per-user folder may not exist yet; when it cannot be made, creating the file says so.
    QDir().mkpath(QFileInfo(path).absolutePath());
    KonfigurationSpeichern(m_konfig_alsstart, path);
}

void Tprog::m_konfig_autosave_allesClick()
{
    m_konfig_autosave_nie->setChecked(false);
    m_konfig_autosave_alles->setChecked(true);
}

void Tprog::m_konfig_autosave_nieClick()
{
    m_konfig_autosave_nie->setChecked(true);
    m_konfig_autosave_alles->setChecked(false);
}

namespace {

// Installed, the program lies in the bin/ folder of its prefix, whose share/ holds its desktop
// entry; run from a build tree or an unpacked folder, it has neither.
bool isInstalled(const QString& programFolder)
{
    const QDir folder(programFolder);
    return folder.dirName() == QLatin1String("bin") &&
           QFileInfo::exists(folder.absoluteFilePath(QStringLiteral("../share/applications/") +
                                                     qv::desktopId + QStringLiteral(".desktop")));
}

} // namespace

QString Tprog::startConfigurationPath()
{
    // An installed program keeps its start configuration per user, also when root could write
    // its folder: a file in /usr/bin belongs to no package and outlives the program's removal.
    // A copy run from its own folder keeps it beside itself, unless it cannot write there, where
    // closing with "Immer" could never succeed.
    const QString beside = QCoreApplication::applicationDirPath();
    if (!isInstalled(beside) && QFileInfo(beside).isWritable())
        return beside + QLatin1Char('/') + startConfigurationName;
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QLatin1Char('/') +
           startConfigurationName;
}

void Tprog::loadStartConfiguration()
{
    const QString path = startConfigurationPath();
    if (QFileInfo(path).isFile())
        KonfigurationLaden(qv::start, path);
}
