#pragma once

#include "batch/outcomes.h"
#include "rename/renamerun.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <QVector>

namespace qv {

// The plan of a run as rows in list order: old name, new name, folder and outcome. Rows that
// will not be renamed (refused or missing) carry a warning icon and a tint drawn from the
// palette, and can be shown alone.
class PlanListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit PlanListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void setPlan(const QVector<RunEntry>& entries, const RunResult& result);
    void setConflictsOnly(bool only);
    // Column captions, and the language of the outcomes.
    void setTexts(const QStringList& headers, const Texts& texts);
    // Tells the views that the tint changed with the palette.
    void paletteChanged();

    const Tally& tally() const { return m_tally; }
    static bool isConflict(RunOutcome outcome)
    {
        return outcome != RunOutcome::Renamed && outcome != RunOutcome::Unchanged;
    }

private:
    void rebuildRows();

    QVector<RunEntry> m_entries;
    RunResult m_result;
    // The plan rows shown, in list order.
    QVector<int> m_rows;
    bool m_conflictsOnly = false;
    QStringList m_headers;
    Texts m_texts;
    Tally m_tally;
};

} // namespace qv
