#pragma once

#include "rename/renamerun.h"

#include <QObject>

#include <optional>
#include <thread>

namespace qv {

// Works out plans of runs on a thread of its own, so that a window can follow every change of
// the settings without waiting for the disk. Only the newest request matters: one arriving while
// a plan is being worked out replaces any that still waits, and a plan that is out of date when
// it is ready is dropped. Results come back on the thread the planner lives in.
class BackgroundPlanner : public QObject
{
    Q_OBJECT
public:
    explicit BackgroundPlanner(QObject* parent = nullptr);
    ~BackgroundPlanner() override;

    void request(RenameRun run);
    // Whether a plan is being worked out or waits to be.
    bool busy() const { return m_running || m_waiting.has_value(); }

signals:
    // The plan of the newest request, with the entries it was made for.
    void planned(const QVector<qv::RunEntry>& entries, const qv::RunResult& result);

private:
    void start(RenameRun run);
    void finished(const QVector<RunEntry>& entries, const RunResult& result);

    std::optional<RenameRun> m_waiting;
    std::thread m_thread;
    bool m_running = false;
};

} // namespace qv
