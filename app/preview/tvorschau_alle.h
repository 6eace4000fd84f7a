#pragma once

#include "rename/renamerun.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QTreeView;

namespace qv {
class BackgroundPlanner;
class PlanListModel;
} // namespace qv

// The whole run before it happens: every entry of the list with its new name and what the run
// would do with it. It follows the settings and the list as the one-entry preview does; the plans
// are worked out away from the window's thread.
class Tvorschau_alle : public QWidget
{
    Q_OBJECT
public:
    explicit Tvorschau_alle(QWidget* parent = nullptr);

    QLabel* va_summe = nullptr;
    QCheckBox* va_konflikte = nullptr;
    QTreeView* va_liste = nullptr;

    // Works out the plan of this run and shows it when it is ready, unless a newer one came.
    void follow(qv::RenameRun run);
    void showPlan(const QVector<qv::RunEntry>& entries, const qv::RunResult& result);
    // Whether a plan is still being worked out.
    bool planning() const;
    void va_konflikteClick();
    void sprache();

protected:
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void writeSummary();
    void fitColumns();

    qv::PlanListModel* m_model = nullptr;
    qv::BackgroundPlanner* m_planner = nullptr;
};
