#include "app/startpaths.h"

#include "app/tprog.h"
#include "app/tstart.h"
#include "app/windows.h"
#include "filelist/fileentry.h"

#include <QAbstractItemModel>
#include <QEvent>
#include <QTimer>
#include <QTreeView>

#include <cstdio>

namespace qv {

namespace {

void printListAndClose()
{
    const QAbstractItemModel* list = prog->qulist->model();
    for (int row = 0; row < list->rowCount(); ++row)
        std::printf("%s\t%s\n", qPrintable(list->index(row, ColPath).data().toString()),
                    qPrintable(list->index(row, ColStatus).data().toString()));
    std::fflush(stdout);
    prog->m_closeClick();
}

// Waits for the main window's first show; its own show handler runs after this filter, so the
// paths are dropped from the event loop.
class DropOnShow : public QObject
{
public:
    DropOnShow(QStringList paths, bool print)
        : QObject(prog), m_paths(std::move(paths)), m_print(print)
    {
        prog->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == prog && event->type() == QEvent::Show) {
            prog->removeEventFilter(this);
            QTimer::singleShot(0, prog, [paths = m_paths, print = m_print] {
                if (!paths.isEmpty())
                    prog->dropFiles(paths);
                if (print)
                    printListAndClose();
            });
            deleteLater();
        }
        return false;
    }

private:
    QStringList m_paths;
    bool m_print;
};

} // namespace

void addPathsOnStart(const QStringList& paths)
{
    const bool print = !qEnvironmentVariableIsEmpty("QUORVEL_PRINT_LIST");
    if (paths.isEmpty() && !print)
        return;
    new DropOnShow(paths, print);
    if (print)
        QTimer::singleShot(0, start, &Tstart::Image1Click);
}

} // namespace qv
