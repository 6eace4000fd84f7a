#pragma once

// The seven windows as the program creates them, and the look-ups by objectName that the test
// programs of the windows share.

#include "app/tprog.h"
#include "app/tstart.h"
#include "app/windows.h"
#include "filelist/filelistmodel.h"
#include "rename/journal.h"
#include "tests/fakeplatform.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMimeData>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QUrl>

#include <algorithm>

// The top-level window with that objectName, or nullptr.
inline QWidget* topLevel(const QString& name)
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == name)
            return w;
    }
    return nullptr;
}

// The child of the window with that objectName; the test program ends when it is missing.
template <typename T = QWidget> T* in(const QString& window, const QString& name)
{
    const QWidget* top = topLevel(window);
    if (!top)
        qFatal("window %s missing", qPrintable(window));
    T* found = top->findChild<T*>(name);
    if (!found)
        qFatal("%s of %s missing", qPrintable(name), qPrintable(window));
    return found;
}

inline QWidget* mainWindow()
{
    return topLevel(QStringLiteral("prog"));
}

// A component of the main window.
template <typename T = QWidget> T* ui(const QString& name)
{
    return in<T>(QStringLiteral("prog"), name);
}

// ---- the file list, through its view and model --------------------------------------------------

inline QTreeView* listView()
{
    return ui<QTreeView>(QStringLiteral("qulist"));
}

inline QAbstractItemModel* listModel()
{
    return listView()->model();
}

// The same model with the core list's own calls.
inline qv::FileListModel* fileList()
{
    return qobject_cast<qv::FileListModel*>(listModel());
}

inline int rowCount()
{
    return listModel()->rowCount();
}

inline QString cell(int row, int column)
{
    return listModel()->index(row, column).data().toString();
}

inline QStringList column(int c)
{
    QStringList texts;
    for (int row = 0; row < rowCount(); ++row)
        texts.append(cell(row, c));
    return texts;
}

// The five texts of a row.
inline QStringList rowTexts(int row)
{
    QStringList texts;
    for (int c = 0; c < listModel()->columnCount(); ++c)
        texts.append(cell(row, c));
    return texts;
}

inline void selectRows(const QList<int>& rows)
{
    QItemSelectionModel* selection = listView()->selectionModel();
    selection->clearSelection();
    for (const int row : rows)
        selection->select(listModel()->index(row, 0),
                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

// The selected rows in list order, whatever order they were selected in.
inline QList<int> selectedRows()
{
    QList<int> rows;
    for (const QItemSelectionRange& range : listView()->selectionModel()->selection()) {
        for (int row = range.top(); row <= range.bottom(); ++row)
            rows.append(row);
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

inline void clickHeader(int section)
{
    QHeaderView* header = listView()->header();
    const int x = header->sectionViewportPosition(section) + header->sectionSize(section) / 2;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(x, header->height() / 2));
}

// ---- files, and drops as a file manager makes them ----------------------------------------------

// A file with that content, and the folders above it.
inline void makeFile(const QString& path, const QByteArray& content = {})
{
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(file.write(content), content.size());
}

// Drags mime into the middle of target (the main window when none is given) and drops it there
// when the drag's entry was accepted; returns whether it was.
inline bool dropMime(QMimeData* mime, QWidget* target = nullptr)
{
    if (!target)
        target = mainWindow();
    const QPointF pos(target->width() / 2, target->height() / 2);
    QDragEnterEvent enter(pos.toPoint(), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent dropped(pos, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &dropped);
    return true;
}

inline void drop(const QStringList& paths, QWidget* target = nullptr)
{
    QMimeData mime;
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls.append(QUrl::fromLocalFile(path));
    mime.setUrls(urls);
    QVERIFY(dropMime(&mime, target));
}

// ---- the windows --------------------------------------------------------------------------------

// The user's own data folder stays out of the tests, and each test program has a folder of its
// own, removed when it ends: programs run side by side would otherwise undo each other's runs.
inline void useOwnDataFolder()
{
    static const struct OwnDataFolder
    {
        QString path;
        OwnDataFolder()
        {
            QStandardPaths::setTestModeEnabled(true);
            const QString own =
                QStringLiteral("quorvel-test-%1").arg(QCoreApplication::applicationPid());
            QCoreApplication::setOrganizationName(own);
            path =
                QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + u'/' + own;
        }
        ~OwnDataFolder() { QDir(path).removeRecursively(); }
    } own;
}

// How the program starts: the marker files in its working directory (which choose the
// language), and whether the splash timer runs. Tests normally drive the splash themselves.
struct AppStart
{
    QStringList markers;
    bool splashTimer = false;
    // The journal of the last run, as a restart finds it; otherwise it is cleared first.
    bool keepJournal = false;
};

// The seven windows created as at start-up, in a working directory of the test's own, with a
// fake platform answering all dialogs.
class AppFixture
{
public:
    // "en" starts in English, anything else in German.
    explicit AppFixture(const QString& language = QStringLiteral("de"))
        : AppFixture(
              AppStart{language == QLatin1String("en") ? QStringList{language} : QStringList{},
                       false, false})
    {
    }
    explicit AppFixture(const AppStart& start)
    {
        m_oldCwd = QDir::currentPath();
        for (const QString& marker : start.markers) {
            QFile file(m_cwd.filePath(marker));
            file.open(QIODevice::WriteOnly);
        }
        QDir::setCurrent(m_cwd.path());
        useOwnDataFolder();
        QCoreApplication::setApplicationName(qv::applicationTitle);
        if (!start.keepJournal)
            QFile::remove(qv::RenameJournal::defaultPath());
        qv::createWindows();
        if (!start.splashTimer)
            in<QTimer>(QStringLiteral("start"), QStringLiteral("Timer1"))->stop();
    }
    ~AppFixture()
    {
        qv::destroyWindows();
        QDir::setCurrent(m_oldCwd);
    }
    AppFixture(const AppFixture&) = delete;
    AppFixture& operator=(const AppFixture&) = delete;

    Tprog* prog() const { return qv::prog; }
    Tstart* start() const { return qv::start; }

    // Whether the window reports the next refused duplicate: lists an entry of its own twice
    // and looks for a new warning. Reporting it switches the reports off until the next drop
    // ends, as any reported duplicate does.
    bool reportsNextDuplicate()
    {
        const qsizetype before = platform.warnings.size();
        const QString probe = m_cwd.filePath(QStringLiteral("duplicate probe %1").arg(++m_probes));
        prog()->addfolderaselement2list(probe);
        prog()->addfolderaselement2list(probe);
        return platform.warnings.size() > before;
    }

    FakePlatform platform;

private:
    QTemporaryDir m_cwd;
    QString m_oldCwd;
    int m_probes = 0;
};
