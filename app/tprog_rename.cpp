// The rename settings panel, its live preview and the window's side of name expansion.

#include "app/panel.h"
#include "app/preview/tvorschau_alle.h"
#include "app/tprog.h"

#include "app/palettecolours.h"
#include "app/windows.h"
#include "batch/outcomes.h"
#include "batch/renamebatch.h"
#include "filelist/filelistmodel.h"
#include "text/pathbytes.h"
#include "text/shortenpath.h"
#include "text/textutil.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

namespace {

// The caption of a preview label: the file name of the path, fitted into the label's width.
QString fittedCaption(const QLabel* label, const QString& path)
{
    const QFontMetrics metrics = label->fontMetrics();
    return qv::ShortenPath(
        qv::fileName(path),
        [&metrics](const QString& text) { return metrics.horizontalAdvance(text); },
        label->width());
}

// Turns the custom-entry item, once picked from the list, into an empty field for the user's own
// text. The same words typed by hand stay as typed. Emptying it must not run the change handler
// again: the preview keeps what it showed before the item was chosen.
bool clearIfCustomItem(QComboBox* box, std::initializer_list<const char*> customItems)
{
    const QString text = box->currentText();
    if (box->currentIndex() < 0 || box->itemText(box->currentIndex()) != text)
        return false;
    for (const char* item : customItems) {
        if (text == QLatin1String(item)) {
            {
                const QSignalBlocker block(box);
                box->setCurrentIndex(-1);
                box->clearEditText();
            }
            box->setFocus();
            return true;
        }
    }
    return false;
}

} // namespace

qv::RenameSettings Tprog::renameSettings() const
{
    qv::RenameSettings settings;
    settings.maskActive = act_maske->isChecked();
    settings.mask = maske->currentText();
    settings.numStart = numstart->currentText();
    settings.searchActive = act_suchenersetzen->isChecked();
    settings.searchOld = suchenalt->text();
    settings.searchNew = suchenneu->text();
    settings.searchInName = cb_suchname->isChecked();
    settings.searchInExtension = cb_suchendung->isChecked();
    settings.searchRegex = cb_regex->isChecked();
    settings.matchCase = cb_gross->isChecked();
    // The items stand in the order of the values.
    settings.letterCase = qv::LetterCase(qMax(0, schreibung->currentIndex()));
    settings.extensionLower = cb_endungklein->isChecked();
    settings.digits = qMax(0, stellen->currentIndex());
    settings.dateSource = qv::DateSource(qMax(0, datumsquelle->currentIndex()));
    return settings;
}

QString Tprog::RenameName(const QString& name, int position,
                          std::optional<qv::PlaceholderValue>* missing) const
{
    // The previewed entry is numbered by where its path stands in the list now; a path that
    // left the list counts as the first position.
    const auto previewPosition = [this] {
        const int row = m_list->rowOfPath(vor_orig->toolTip());
        return row < 0 ? 0 : row;
    };
    return qv::RenameName(name, position, renameSettings(), m_list->count(), qv::WallTime::now(),
                          previewPosition, missing);
}

void Tprog::VorschauSetzen()
{
    const QList<int> rows = selectedRows();
    if (!rows.isEmpty())
        vor_orig->setToolTip(m_list->text(rows.first(), qv::ColPath));
    Vorschau();
}

void Tprog::Vorschau()
{
    followWithPreview();
    const QString expressionFault = showExpressionState();
    const QString previewPath = vor_orig->toolTip();
    vor_orig->setText(fittedCaption(vor_orig, qv::shownText(previewPath)));
    if (previewPath.isEmpty())
        return;
    m_previewNote.clear();
    if (!expressionFault.isEmpty()) {
        m_previewNote =
            qv::outcomeStatus(qv::RunOutcome::InvalidExpression, true, m_batch->texts());
    } else {
        std::optional<qv::PlaceholderValue> missing;
        const QString newName = RenameName(previewPath, -1, &missing);
        if (missing)
            m_previewNote = qv::missingValueText(*missing, m_batch->texts());
        else
            vor_out->setToolTip(qv::folderPart(previewPath) + newName);
    }
    if (!m_previewNote.isEmpty())
        vor_out->setToolTip(m_previewNote);
    fitPreviewLabels();
}

void Tprog::fitPreviewLabels()
{
    vor_orig->setText(fittedCaption(vor_orig, qv::shownText(vor_orig->toolTip())));
    if (m_previewNote.isEmpty())
        vor_out->setText(fittedCaption(vor_out, qv::shownText(vor_out->toolTip())));
    else
        vor_out->setText(m_previewNote);
}

QString Tprog::showExpressionState()
{
    const QString error = qv::expressionError(renameSettings());
    if (error.isEmpty()) {
        // Inherits the window's palette again, whatever it has become meanwhile.
        suchenalt->setPalette(QPalette());
    } else {
        const QPalette around = suchenalt->parentWidget()->palette();
        QPalette tinted = around;
        for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
            tinted.setColor(group, QPalette::Base,
                            qv::warningTint(around.color(group, QPalette::Base),
                                            around.color(group, QPalette::Text)));
        suchenalt->setPalette(tinted);
    }
    suchenalt->setToolTip(error);
    return error;
}

void Tprog::maskeChange()
{
    if (!clearIfCustomItem(maske, {"Benutzerdefiniert..", "Custom.."}))
        Vorschau();
}

void Tprog::numstartChange()
{
    if (!clearIfCustomItem(numstart, {"Benutzer..", "Custom.."}))
        Vorschau();
}

void Tprog::Label5Click(QLabel* sender)
{
    insertPlaceholder(sender->text());
}

void Tprog::insertPlaceholder(const QString& constant)
{
    QLineEdit* edit = maske->lineEdit();
    const int start = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
    const int length = int(edit->selectedText().size());
    const QString text = edit->text();
    maske->setEditText(text.left(start) + constant + text.mid(start + length));
    Vorschau();
    edit->deselect();
    edit->setCursorPosition(start + int(constant.size()));
}

void Tprog::act_maskeClick(QObject* sender)
{
    pa1->hide();
    pa2->hide();
    if (sender == act_maske)
        pa2->setVisible(act_maske->isChecked());
    else if (sender == act_suchenersetzen)
        pa1->setVisible(act_suchenersetzen->isChecked());

    int y = 70;
    pa2->move(pa2->x(), y);
    if (!pa2->isHidden())
        y += pa2->height();
    y += 5;
    act_suchenersetzen->move(act_suchenersetzen->x(), y);
    y += 20;
    pa1->move(pa1->x(), y);
    if (!pa1->isHidden())
        y += pa1->height();
    y += 5;
    Panel1->setGeometry(Panel1->x(), Panel3->y() - y - 5, Panel1->width(), y);
    Panel6->resize(Panel6->width(), Panel1->y() - 8);
    Vorschau();
}

bool Tprog::maskeKeyPress(QChar key)
{
    static const QString refused = QStringLiteral("\"*/:<>?\\|");
    return !refused.contains(key);
}

bool Tprog::numstartKeyPress(QChar key)
{
    return (key >= u'0' && key <= u'9') || key == QChar(8);
}

// No name holds a '/', whatever the expression; the others are what an expression is made of.
bool Tprog::suchenaltKeyPress(QChar key) const
{
    return cb_regex->isChecked() ? key != u'/' : maskeKeyPress(key);
}

// A replacement names the expression's groups as \1 or $1 ('$' passes anyway); the other
// characters still end up in names.
bool Tprog::suchenneuKeyPress(QChar key) const
{
    return (cb_regex->isChecked() && key == u'\\') || maskeKeyPress(key);
}

qv::RenameRun Tprog::currentRun() const
{
    return m_batch->runOf(runRequest());
}

void Tprog::followWithPreview()
{
    if (qv::vorschau_alle && qv::vorschau_alle->isVisible())
        qv::vorschau_alle->follow(currentRun());
}

void Tprog::m_vorschau_alleClick()
{
    Tvorschau_alle* window = qv::vorschau_alle;
    window->show();
    window->raise();
    window->activateWindow();
    followWithPreview();
}
