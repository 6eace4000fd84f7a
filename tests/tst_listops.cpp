#include "filelist/fileentry.h"
#include "filelist/sizetext.h"
#include "tests/appfixture.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QSet>

#include <algorithm>

// The list operations of the main window, driven through its list, header, keys, buttons and
// context menu, on real files where the commands test for existence.
class ListOpsTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void nameSortFirstClickDescending_data();
    void nameSortFirstClickDescending();
    void otherColumnsStartAscending_data();
    void otherColumnsStartAscending();
    void sizeSortFoldersFirstAndReversed();
    void nameAfterOtherColumnStartsAscending();
    void selectionFollowsEntriesWhenSorting();

    void deleteKeyRemovesSelected();
    void deleteWithNothingSelectedOnlyWritesCount();
    void deleteManyScatteredRows();
    void deleteAllKeepsSortState();
    void deleteAllLeavesPreviewAlone();
    void ctrlASelectsAll_data();
    void ctrlASelectsAll();
    void otherKeysKeepStandardBehaviour();

    void contextMenuNeedsSelection();
    void copyToClipboard_data();
    void copyToClipboard();
    void openFolderAndProperties_data();
    void openFolderAndProperties();
    void desktopClipboardFormats();

private:
    // An entry whose five columns are given, for sorts that never touch the disk.
    void add(const QString& name, const QString& type, const QString& size, const QString& status,
             const QString& path);
    // A real file of that many bytes, or a real folder when bytes is negative; added to the list.
    QString addReal(const QString& relative, qint64 bytes);
    QString addMissing(const QString& relative);

    AppFixture* m_app = nullptr;
    Tprog* m_prog = nullptr;
    QTemporaryDir* m_dir = nullptr;
};

void ListOpsTest::init()
{
    m_app = new AppFixture(QStringLiteral("en"));
    m_prog = m_app->prog();
    m_prog->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_prog));
    m_dir = new QTemporaryDir;
    QVERIFY(m_dir->isValid());
}

void ListOpsTest::cleanup()
{
    delete m_dir;
    delete m_app;
    m_dir = nullptr;
    m_app = nullptr;
    m_prog = nullptr;
}

void ListOpsTest::add(const QString& name, const QString& type, const QString& size,
                      const QString& status, const QString& path)
{
    fileList()->append(qv::FileEntry{name, type, size, status, path});
}

QString ListOpsTest::addReal(const QString& relative, qint64 bytes)
{
    const QString path = m_dir->filePath(relative);
    if (bytes < 0) {
        QDir().mkpath(path);
        fileList()->append(qv::folderEntryFor(path, QStringLiteral("Added")));
    } else {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(QByteArray(bytes, 'x'));
        file.close();
        fileList()->append(qv::fileEntryFor(path, qv::SizeText(bytes), QStringLiteral("Added")));
    }
    return path;
}

QString ListOpsTest::addMissing(const QString& relative)
{
    const QString path = m_dir->filePath(relative);
    fileList()->append(qv::fileEntryFor(path, qv::SizeText(1), QStringLiteral("Added")));
    return path;
}

void ListOpsTest::nameSortFirstClickDescending_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("ascending");
    QTest::newRow("case ignored") << QStringList{"b", "A", "c"} << QStringList{"A", "b", "c"};
    QTest::newRow("digits compare as characters")
        << QStringList{"file2", "file10", "file1"} << QStringList{"file1", "file10", "file2"};
    QTest::newRow("umlaut with its base letter, not after z")
        << QStringList{"zebra", "Äpfel", "birne"} << QStringList{"Äpfel", "birne", "zebra"};
    QTest::newRow("underscore and space before letters")
        << QStringList{"ab", "a_b", "a b"} << QStringList{"a b", "a_b", "ab"};
}

void ListOpsTest::nameSortFirstClickDescending()
{
    QFETCH(QStringList, names);
    QFETCH(QStringList, ascending);
    for (const QString& name : names)
        add(name, "TXT", "1,000 KB", "Added", "/data/" + name + ".txt");

    clickHeader(qv::ColName);
    QStringList descending = ascending;
    std::reverse(descending.begin(), descending.end());
    QCOMPARE(column(qv::ColName), descending);
    QVERIFY(fileList()->sortDescending());

    clickHeader(qv::ColName);
    QCOMPARE(column(qv::ColName), ascending);
}

void ListOpsTest::otherColumnsStartAscending_data()
{
    QTest::addColumn<int>("sortColumn");
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QStringList>("ascending");
    QTest::newRow("type") << int(qv::ColType) << QStringList{"TXT", "dir", "JPG"}
                          << QStringList{"dir", "JPG", "TXT"};
    QTest::newRow("size, numeric not textual")
        << int(qv::ColSize) << QStringList{"10.000 KB", "9.000 KB", "100.000 KB"}
        << QStringList{"9.000 KB", "10.000 KB", "100.000 KB"};
    QTest::newRow("status") << int(qv::ColStatus) << QStringList{"Renamed", "Error", "Added"}
                            << QStringList{"Added", "Error", "Renamed"};
    QTest::newRow("path") << int(qv::ColPath) << QStringList{"/b/x", "/A/y", "/a/z"}
                          << QStringList{"/A/y", "/a/z", "/b/x"};
}

void ListOpsTest::otherColumnsStartAscending()
{
    QFETCH(int, sortColumn);
    QFETCH(QStringList, values);
    QFETCH(QStringList, ascending);
    // The separator of the size texts is the user's; the table writes a full stop.
    const QString point(qv::decimalSeparator());
    for (QString& v : values)
        v.replace('.', point);
    for (QString& v : ascending)
        v.replace('.', point);
    for (int i = 0; i < values.size(); ++i) {
        QStringList columns{"n" + QString::number(i), "TXT", "1" + point + "000 KB", "Added",
                            "/p/" + QString::number(i)};
        columns[sortColumn] = values[i];
        add(columns[0], columns[1], columns[2], columns[3], columns[4]);
    }

    clickHeader(sortColumn);
    QCOMPARE(column(sortColumn), ascending);
    clickHeader(sortColumn);
    std::reverse(ascending.begin(), ascending.end());
    QCOMPARE(column(sortColumn), ascending);
}

void ListOpsTest::sizeSortFoldersFirstAndReversed()
{
    addReal("big.txt", 1536);
    addReal("folder b", -1);
    addReal("small.txt", 64);
    addReal("folder a", -1);

    clickHeader(qv::ColSize);
    QStringList names = column(qv::ColName);
    // Folders count as 0; among equal entries the order is not defined.
    QCOMPARE(QSet<QString>(names.begin(), names.begin() + 2),
             (QSet<QString>{"folder a", "folder b"}));
    QCOMPARE(names.mid(2), (QStringList{"small", "big"}));
    QCOMPARE(column(qv::ColSize).mid(2), (QStringList{qv::SizeText(64), qv::SizeText(1536)}));

    clickHeader(qv::ColSize);
    names = column(qv::ColName);
    QCOMPARE(names.mid(0, 2), (QStringList{"big", "small"}));
    QCOMPARE(QSet<QString>(names.begin() + 2, names.end()),
             (QSet<QString>{"folder a", "folder b"}));
}

void ListOpsTest::nameAfterOtherColumnStartsAscending()
{
    for (const QString name : {"b", "c", "a"})
        add(name, "TXT", "1", "Added", "/p/" + name);
    clickHeader(qv::ColPath);
    clickHeader(qv::ColName);
    QCOMPARE(column(qv::ColName), (QStringList{"a", "b", "c"}));
    QVERIFY(!fileList()->sortDescending());
    QCOMPARE(m_prog->qulist->header()->sortIndicatorSection(), int(qv::ColName));
    QCOMPARE(m_prog->qulist->header()->sortIndicatorOrder(), Qt::AscendingOrder);
}

void ListOpsTest::selectionFollowsEntriesWhenSorting()
{
    for (const QString name : {"a", "b", "c", "d"})
        add(name, "TXT", "1", "Added", "/p/" + name);
    selectRows({0, 1});
    clickHeader(qv::ColName); // descending: d c b a
    QCOMPARE(selectedRows(), (QList<int>{2, 3}));
    QCOMPARE(cell(selectedRows().first(), qv::ColName), QString("b"));
}

void ListOpsTest::deleteKeyRemovesSelected()
{
    for (const QString name : {"a", "b", "c", "d", "e"})
        add(name, "TXT", "1", "Added", "/p/" + name);
    selectRows({0, 2, 4});
    m_prog->qulist->setFocus();
    QTest::keyClick(m_prog->qulist, Qt::Key_Delete);
    QCOMPARE(column(qv::ColName), (QStringList{"b", "d"}));
    QCOMPARE(m_prog->la_anzahl->text(), QString("2 Files/Folders loaded"));
    QVERIFY(fileList()->containsPath("/p/b"));
    QVERIFY(!fileList()->containsPath("/p/a"));
    // A removed path may be added again.
    add("a", "TXT", "1", "Added", "/p/a");
    QCOMPARE(rowCount(), 3);
}

void ListOpsTest::deleteWithNothingSelectedOnlyWritesCount()
{
    for (const QString name : {"a", "b"})
        add(name, "TXT", "1", "Added", "/p/" + name);
    m_prog->la_anzahl->setText("stale");
    QTest::mouseClick(m_prog->BitBtn3, Qt::LeftButton);
    QCOMPARE(rowCount(), 2);
    QCOMPARE(m_prog->la_anzahl->text(), QString("2 Files/Folders loaded"));
}

void ListOpsTest::deleteManyScatteredRows()
{
    // Every other row of a long list: enough ranges for the list to compact in one pass.
    fileList()->beginBulkUpdate();
    for (int i = 0; i < 300; ++i) {
        const QString name = QStringLiteral("n%1").arg(i, 3, 10, QChar('0'));
        add(name, "TXT", "1", "Added", "/p/" + name);
    }
    fileList()->endBulkUpdate();
    clickHeader(qv::ColName);
    clickHeader(qv::ColName); // ascending
    QList<int> odd;
    for (int row = 1; row < 300; row += 2)
        odd.append(row);
    selectRows(odd);
    m_prog->pop4->trigger();
    QCOMPARE(rowCount(), 150);
    for (int row = 0; row < 150; ++row) {
        QCOMPARE(cell(row, qv::ColName), QStringLiteral("n%1").arg(2 * row, 3, 10, QChar('0')));
    }
    QVERIFY(!fileList()->containsPath("/p/n001"));
    QVERIFY(selectedRows().isEmpty());
    QCOMPARE(m_prog->la_anzahl->text(), QString("150 Files/Folders loaded"));
}

void ListOpsTest::deleteAllKeepsSortState()
{
    for (const QString name : {"a", "b", "c"})
        add(name, "TXT", "1", "Added", "/p/" + name);
    clickHeader(qv::ColPath); // ascending by path
    selectRows({1});
    QTest::mouseClick(m_prog->BitBtn2, Qt::LeftButton);
    QCOMPARE(rowCount(), 0);
    QCOMPARE(m_prog->la_anzahl->text(), QString("0 Files/Folders loaded"));
    QVERIFY(selectedRows().isEmpty());

    // The next click on the same column still reverses the order kept from before.
    for (const QString name : {"a", "b", "c"})
        add(name, "TXT", "1", "Added", "/p/" + name);
    clickHeader(qv::ColPath);
    QCOMPARE(column(qv::ColPath), (QStringList{"/p/c", "/p/b", "/p/a"}));
}

void ListOpsTest::deleteAllLeavesPreviewAlone()
{
    m_prog->act_maske->setChecked(true);
    m_prog->maske->setEditText(QStringLiteral("%num%"));
    m_prog->numstart->setEditText(QStringLiteral("1"));
    for (const QString name : {"a", "b", "c"})
        add(name, "TXT", "1", "Added", "/p/" + name + ".txt");
    selectRows({2});
    QCOMPARE(m_prog->vor_out->toolTip(), QString("/p/3.txt"));
    // Emptying the list keeps the preview as it stands; only its next refresh renumbers it.
    QTest::mouseClick(m_prog->BitBtn2, Qt::LeftButton);
    QCOMPARE(m_prog->vor_orig->toolTip(), QString("/p/c.txt"));
    QCOMPARE(m_prog->vor_out->toolTip(), QString("/p/3.txt"));
}

void ListOpsTest::ctrlASelectsAll_data()
{
    QTest::addColumn<int>("modifiers");
    QTest::newRow("ctrl") << int(Qt::ControlModifier);
    QTest::newRow("ctrl+shift") << int(Qt::ControlModifier | Qt::ShiftModifier);
    QTest::newRow("ctrl+alt") << int(Qt::ControlModifier | Qt::AltModifier);
}

void ListOpsTest::ctrlASelectsAll()
{
    QFETCH(int, modifiers);
    for (const QString name : {"a", "b", "c", "d"})
        add(name, "TXT", "1", "Added", "/p/" + name);
    selectRows({1});
    m_prog->qulist->setFocus();
    QTest::keyClick(m_prog->qulist, Qt::Key_A, Qt::KeyboardModifiers(modifiers));
    QCOMPARE(selectedRows(), (QList<int>{0, 1, 2, 3}));
}

void ListOpsTest::otherKeysKeepStandardBehaviour()
{
    for (const QString name : {"apple", "berry", "cherry"})
        add(name, "TXT", "1", "Added", "/p/" + name);
    QTreeView* list = m_prog->qulist;
    list->setFocus();
    list->setCurrentIndex(listModel()->index(0, 0));
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(selectedRows(), (QList<int>{1}));
    QTest::keyClick(list, Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(selectedRows(), (QList<int>{1, 2}));
    QTest::keyClick(list, Qt::Key_Home);
    QCOMPARE(selectedRows(), (QList<int>{0}));
    // A plain letter is the view's keyboard search, not "select all".
    QTest::keyClick(list, Qt::Key_C);
    QCOMPARE(selectedRows(), (QList<int>{2}));
}

void ListOpsTest::contextMenuNeedsSelection()
{
    addReal("a.txt", 10);
    QWidget* viewport = m_prog->qulist->viewport();
    const QPoint empty(10, viewport->height() - 5);
    QContextMenuEvent request(QContextMenuEvent::Mouse, empty, viewport->mapToGlobal(empty));
    QApplication::sendEvent(viewport, &request);
    QVERIFY(!m_prog->PopupMenu1->isVisible());

    selectRows({0});
    QContextMenuEvent again(QContextMenuEvent::Mouse, empty, viewport->mapToGlobal(empty));
    QApplication::sendEvent(viewport, &again);
    QTRY_VERIFY(m_prog->PopupMenu1->isVisible());
    m_prog->PopupMenu1->close();
}

void ListOpsTest::copyToClipboard_data()
{
    // Entries "f" (file), "d" (folder), "m" (missing file), "r" (relative path), added in this
    // order with names that keep it; the selected rows; whether anything is copied.
    QTest::addColumn<QString>("kinds");
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<bool>("copies");
    QTest::newRow("one file") << "fd" << QList<int>{0} << true;
    QTest::newRow("one folder copies nothing") << "fd" << QList<int>{1} << false;
    QTest::newRow("one missing file copies nothing") << "mf" << QList<int>{0} << false;
    QTest::newRow("nothing selected") << "fd" << QList<int>{} << false;
    QTest::newRow("file and folder, in list order") << "dfd" << QList<int>{2, 0} << true;
    QTest::newRow("several without existence test") << "fmd" << QList<int>{0, 1, 2} << true;
    QTest::newRow("relative path gets the program folder") << "fr" << QList<int>{0, 1} << true;
}

void ListOpsTest::copyToClipboard()
{
    QFETCH(QString, kinds);
    QFETCH(QList<int>, selected);
    QFETCH(bool, copies);
    QStringList paths;
    for (int i = 0; i < kinds.size(); ++i) {
        const QString name = QStringLiteral("e%1").arg(i);
        switch (kinds[i].toLatin1()) {
        case 'f':
            paths.append(addReal(name + ".txt", 5));
            break;
        case 'd':
            paths.append(addReal(name, -1));
            break;
        case 'm':
            paths.append(addMissing(name + ".txt"));
            break;
        default:
            add(name, "TXT", "1", "Added", "sub/" + name + ".txt");
            paths.append(QCoreApplication::applicationDirPath() + "/sub/" + name + ".txt");
        }
    }
    QCOMPARE(column(qv::ColName).size(), kinds.size());
    selectRows(selected);
    m_prog->pop3->trigger();

    if (!copies) {
        QVERIFY(m_app->platform.clipboard.isEmpty());
        return;
    }
    std::sort(selected.begin(), selected.end());
    QStringList expected;
    for (const int row : selected)
        expected.append(paths[row]);
    QCOMPARE(m_app->platform.clipboard, (QList<QStringList>{expected}));
}

void ListOpsTest::openFolderAndProperties_data()
{
    QTest::addColumn<QString>("kinds");
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<int>("askedRow");
    QTest::newRow("file") << "fd" << QList<int>{0} << 0;
    QTest::newRow("folder does nothing") << "fd" << QList<int>{1} << -1;
    QTest::newRow("missing file does nothing") << "mf" << QList<int>{0} << -1;
    QTest::newRow("first selected in list order") << "dff" << QList<int>{2, 1} << 1;
    QTest::newRow("first selected is a folder") << "fdf" << QList<int>{2, 1} << -1;
}

void ListOpsTest::openFolderAndProperties()
{
    QFETCH(QString, kinds);
    QFETCH(QList<int>, selected);
    QFETCH(int, askedRow);
    QStringList paths;
    for (int i = 0; i < kinds.size(); ++i) {
        const QString name = QStringLiteral("e%1").arg(i);
        if (kinds[i] == 'f')
            paths.append(addReal(name + ".txt", 5));
        else if (kinds[i] == 'd')
            paths.append(addReal(name, -1));
        else
            paths.append(addMissing(name + ".txt"));
    }
    selectRows(selected);
    const QStringList expected = askedRow < 0 ? QStringList{} : QStringList{paths[askedRow]};

    m_prog->pop1->trigger();
    QCOMPARE(m_app->platform.shownItems, expected);
    QVERIFY(m_app->platform.propertyItems.isEmpty());
    m_prog->pop2->trigger();
    QCOMPARE(m_app->platform.propertyItems, expected);
    QCOMPARE(m_app->platform.shownItems, expected);
}

void ListOpsTest::desktopClipboardFormats()
{
    const QString file = m_dir->filePath("Grüße 1.txt");
    const QString folder = m_dir->filePath("a folder");
    qv::DesktopPlatform().copyFilesToClipboard({file, folder});
    const QMimeData* data = QApplication::clipboard()->mimeData();
    QVERIFY(data);
    const QByteArray fileUri = QUrl::fromLocalFile(file).toEncoded();
    const QByteArray folderUri = QUrl::fromLocalFile(folder).toEncoded();
    QVERIFY(fileUri.contains("Gr%C3%BC%C3%9Fe%201.txt"));
    QCOMPARE(data->data("text/uri-list"), fileUri + "\r\n" + folderUri + "\r\n");
    QCOMPARE(data->data("x-special/gnome-copied-files"), "copy\n" + fileUri + "\n" + folderUri);
    QCOMPARE(data->data("application/x-kde-cutselection"), QByteArray("0"));
    QCOMPARE(data->urls(), (QList<QUrl>{QUrl::fromLocalFile(file), QUrl::fromLocalFile(folder)}));
}

QTEST_MAIN(ListOpsTest)
#include "tst_listops.moc"
