#include "rename/backgroundplanner.h"

#include <QMetaObject>

namespace qv {

BackgroundPlanner::BackgroundPlanner(QObject* parent) : QObject(parent) {}

BackgroundPlanner::~BackgroundPlanner()
{
    // The thread tells this object when it is done; it must be done before the object is gone.
    // What it posted then is dropped with the object.
    if (m_thread.joinable())
        m_thread.join();
}

void BackgroundPlanner::request(RenameRun run)
{
    if (m_running)
        m_waiting = std::move(run);
    else
        start(std::move(run));
}

void BackgroundPlanner::start(RenameRun run)
{
    if (m_thread.joinable())
        m_thread.join();
    m_running = true;
    m_thread = std::thread([this, run = std::move(run)] {
        const RunResult result = run.plan();
        QMetaObject::invokeMethod(
            this, [this, entries = run.entries(), result] { finished(entries, result); },
            Qt::QueuedConnection);
    });
}

void BackgroundPlanner::finished(const QVector<RunEntry>& entries, const RunResult& result)
{
    m_running = false;
    if (m_waiting) {
        // Settings changed while this plan was worked out: it is out of date already.
        RenameRun next = std::move(*m_waiting);
        m_waiting.reset();
        start(std::move(next));
        return;
    }
    emit planned(entries, result);
}

} // namespace qv
