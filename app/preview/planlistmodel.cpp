#include "app/preview/planlistmodel.h"

#include "text/pathbytes.h"
#include "text/textutil.h"

#include <QApplication>
#include <QIcon>
#include <QPalette>
#include <QStyle>

namespace qv {

namespace {

constexpr int kColumns = 4;

// The palette's base colour with a touch of warning red; the palette's text stays readable on
// it in light and dark schemes alike.
QColor conflictTint()
{
    const QColor base = QApplication::palette().color(QPalette::Base);
    const QColor red(220, 50, 47);
    constexpr double share = 0.16;
    return QColor::fromRgbF(float(base.redF() * (1 - share) + red.redF() * share),
                            float(base.greenF() * (1 - share) + red.greenF() * share),
                            float(base.blueF() * (1 - share) + red.blueF() * share));
}

} // namespace

PlanListModel::PlanListModel(QObject* parent) : QAbstractTableModel(parent) {}

int PlanListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int PlanListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumns;
}

QVariant PlanListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const int row = m_rows[index.row()];
    const RunEntryResult& planned = m_result.entries[row];
    const QString& path = m_entries[row].path;
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case 0:
            return shownText(fileName(path));
        case 1:
            return shownText(planned.newName);
        case 2:
            return shownText(folderPart(path));
        default:
            return outcomeStatus(planned, true, m_texts);
        }
    case Qt::DecorationRole:
        if (index.column() == 0 && isConflict(planned.outcome))
            return QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
        return {};
    case Qt::BackgroundRole:
        if (isConflict(planned.outcome))
            return conflictTint();
        return {};
    default:
        return {};
    }
}

QVariant PlanListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return m_headers.value(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

void PlanListModel::setPlan(const QVector<RunEntry>& entries, const RunResult& result)
{
    beginResetModel();
    m_entries = entries;
    m_result = result;
    m_tally = Tally::of(result);
    rebuildRows();
    endResetModel();
}

void PlanListModel::setConflictsOnly(bool only)
{
    if (only == m_conflictsOnly)
        return;
    beginResetModel();
    m_conflictsOnly = only;
    rebuildRows();
    endResetModel();
}

void PlanListModel::setTexts(const QStringList& headers, const Texts& texts)
{
    m_headers = headers;
    m_texts = texts;
    emit headerDataChanged(Qt::Horizontal, 0, kColumns - 1);
    if (!m_rows.isEmpty())
        emit dataChanged(index(0, kColumns - 1), index(int(m_rows.size()) - 1, kColumns - 1));
}

void PlanListModel::paletteChanged()
{
    if (!m_rows.isEmpty())
        emit dataChanged(index(0, 0), index(int(m_rows.size()) - 1, kColumns - 1),
                         {Qt::BackgroundRole, Qt::DecorationRole});
}

void PlanListModel::rebuildRows()
{
    m_rows.clear();
    m_rows.reserve(m_result.entries.size());
    for (int row = 0; row < m_result.entries.size(); ++row) {
        if (!m_conflictsOnly || isConflict(m_result.entries[row].outcome))
            m_rows.append(row);
    }
}

} // namespace qv
