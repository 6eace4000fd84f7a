#include "filelist/asciicollation.h"
#include "filelist/filelistmodel.h"
#include "filelist/sizetext.h"

#include <QAbstractItemModelTester>
#include <QItemSelectionModel>
#include <QPersistentModelIndex>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

using namespace qv;

namespace {

FileEntry fileNamed(const QString& name, const QString& size = SizeText(0))
{
    return fileEntryFor(QStringLiteral("/x/") + name, size, QStringLiteral("Added"));
}

QStringList column(const FileListModel& model, int col)
{
    QStringList texts;
    for (int row = 0; row < model.count(); ++row)
        texts.append(model.text(row, col));
    return texts;
}

void appendAll(FileListModel& model, const QStringList& names)
{
    for (const QString& name : names)
        model.append(fileNamed(name));
}

} // namespace

class TestFileListModel : public QObject
{
    Q_OBJECT

private slots:
    void nameOrder_data();
    void nameOrder();
    void numbersByValue_data();
    void numbersByValue();
    void pathIndex();
    void sortedInsertionMatchesBulkSort();
    void bulkUpdateSortsOnceAtOutermostEnd();
    void nameChangeResorts();
    void nameChangeSortsByCurrentColumn();
    void otherColumnDoesNotResort();
    void appendAfterSortColumnChanged();
    void appendPlacedByAllColumns();
    void sizeSort_data();
    void sizeSort();
    void selectionFollowsSort();
    void removeRowsAt_data();
    void removeRowsAt();
    void clearKeepsSortState();
    void modelTexts();
    void pausedSortKeepsTheOrder_data();
    void pausedSortKeepsTheOrder();
    void asciiTableAgreesWithCollator_data();
    void asciiTableAgreesWithCollator();
    void keepsTheModelContract();
};

void TestFileListModel::nameOrder_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("ascending");

    QTest::newRow("case ignored") << QStringList{"b", "A", "c"} << QStringList{"A", "b", "c"};
    QTest::newRow("digits as characters")
        << QStringList{"file2", "file10", "file1"} << QStringList{"file1", "file10", "file2"};
    QTest::newRow("umlaut among letters")
        << QStringList{"Zebra", "Äpfel", "Birne"} << QStringList{"Äpfel", "Birne", "Zebra"};
    // Many names take the sort-key path; the order must be the same.
    QStringList many;
    for (int i = 0; i < 40; ++i)
        many << QStringLiteral("file%1").arg(i) << QStringLiteral("File%1x").arg(i);
    QStringList sorted = many;
    std::sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    QTest::newRow("many entries") << many << sorted;
}

void TestFileListModel::nameOrder()
{
    QFETCH(QStringList, names);
    QFETCH(QStringList, ascending);

    FileListModel model;
    appendAll(model, names);
    QCOMPARE(column(model, ColName), ascending);

    model.setSortOrder(ColName, true);
    model.sort();
    QStringList descending = ascending;
    std::reverse(descending.begin(), descending.end());
    QCOMPARE(column(model, ColName), descending);

    FileListModel bulk;
    bulk.beginBulkUpdate();
    appendAll(bulk, names);
    bulk.endBulkUpdate();
    QCOMPARE(column(bulk, ColName), ascending);
}

void TestFileListModel::numbersByValue_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("byCharacters");
    QTest::addColumn<QStringList>("byValue");
    QTest::newRow("ascii names") << QStringList{"Bild 2", "Bild 10", "Bild 1"}
                                 << QStringList{"Bild 1", "Bild 10", "Bild 2"}
                                 << QStringList{"Bild 1", "Bild 2", "Bild 10"};
    // Names outside the fast table sort by collation keys, which a change must not keep.
    QTest::newRow("umlauts") << QStringList{"Äpfel 9", "Äpfel 10", "Öl 3"}
                             << QStringList{"Äpfel 10", "Äpfel 9", "Öl 3"}
                             << QStringList{"Äpfel 9", "Äpfel 10", "Öl 3"};
    QTest::newRow("mixed") << QStringList{"x10", "Äx9", "x9", "Äx10"}
                           << QStringList{"Äx10", "Äx9", "x10", "x9"}
                           << QStringList{"Äx9", "Äx10", "x9", "x10"};
}

void TestFileListModel::numbersByValue()
{
    QFETCH(QStringList, names);
    QFETCH(QStringList, byCharacters);
    QFETCH(QStringList, byValue);
    FileListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    appendAll(model, names);
    QCOMPARE(column(model, ColName), byCharacters);
    model.setNumbersByValue(true);
    QCOMPARE(column(model, ColName), byValue);
    model.append(fileNamed(QStringLiteral("x100")));
    QCOMPARE(column(model, ColName).indexOf(QStringLiteral("x100")), model.count() - 1);
    model.removeRowsAt({model.count() - 1});
    model.setNumbersByValue(false);
    QCOMPARE(column(model, ColName), byCharacters);

    FileListModel bulk;
    bulk.setNumbersByValue(true);
    bulk.beginBulkUpdate();
    appendAll(bulk, names);
    bulk.endBulkUpdate();
    QCOMPARE(column(bulk, ColName), byValue);
}

void TestFileListModel::pathIndex()
{
    FileListModel model;
    model.append(fileNamed(QStringLiteral("a.jpg")));
    QVERIFY(model.containsPath(QStringLiteral("/x/a.jpg")));
    QVERIFY(!model.containsPath(QStringLiteral("/x/A.JPG")));
    QVERIFY(!model.containsPath(QStringLiteral("/x/a.jpg/")));

    model.append(fileNamed(QStringLiteral("A.JPG")));
    QCOMPARE(model.count(), 2);
    QVERIFY(model.containsPath(QStringLiteral("/x/A.JPG")));
    QCOMPARE(model.rowOfPath(QStringLiteral("/x/A.JPG")),
             model.text(0, ColPath) == QStringLiteral("/x/A.JPG") ? 0 : 1);

    // A renamed entry is found under its new path only.
    const int row = model.rowOfPath(QStringLiteral("/x/a.jpg"));
    model.setText(row, ColPath, QStringLiteral("/x/b.jpg"));
    QVERIFY(!model.containsPath(QStringLiteral("/x/a.jpg")));
    QVERIFY(model.containsPath(QStringLiteral("/x/b.jpg")));
    QCOMPARE(model.rowOfPath(QStringLiteral("/x/a.jpg")), -1);

    // Two entries with one path (a rename made them equal): removing one keeps the other found.
    model.setText(model.rowOfPath(QStringLiteral("/x/A.JPG")), ColPath, QStringLiteral("/x/b.jpg"));
    model.removeRowsAt({0});
    QVERIFY(model.containsPath(QStringLiteral("/x/b.jpg")));
    model.removeRowsAt({0});
    QVERIFY(!model.containsPath(QStringLiteral("/x/b.jpg")));

    model.append(fileNamed(QStringLiteral("c.jpg")));
    model.clear();
    QVERIFY(!model.containsPath(QStringLiteral("/x/c.jpg")));
    QCOMPARE(model.count(), 0);
}

void TestFileListModel::sortedInsertionMatchesBulkSort()
{
    QStringList names;
    QRandomGenerator random(7);
    for (int i = 0; i < 300; ++i) {
        // Collisions on purpose: equal names keep the order of their addition.
        names << QStringLiteral("n%1").arg(random.bounded(120));
    }
    for (int sortColumn : {int(ColName), int(ColPath)}) {
        FileListModel single;
        FileListModel bulk;
        single.setSortOrder(sortColumn, false);
        bulk.setSortOrder(sortColumn, false);
        int i = 0;
        bulk.beginBulkUpdate();
        for (const QString& name : names) {
            const FileEntry e = fileEntryFor(QStringLiteral("/x/%1/%2").arg(i++).arg(name),
                                             QString(), QStringLiteral("Added"));
            single.append(e);
            bulk.append(e);
        }
        QCOMPARE(bulk.text(0, ColName), names.first());
        bulk.endBulkUpdate();
        QCOMPARE(column(single, ColPath), column(bulk, ColPath));
    }
}

void TestFileListModel::bulkUpdateSortsOnceAtOutermostEnd()
{
    FileListModel model;
    QSignalSpy layouts(&model, &QAbstractItemModel::layoutChanged);
    model.beginBulkUpdate();
    model.beginBulkUpdate();
    appendAll(model, {"c", "b"});
    model.endBulkUpdate();
    appendAll(model, {"a"});
    QCOMPARE(column(model, ColName), (QStringList{"c", "b", "a"}));
    QCOMPARE(layouts.count(), 0);
    model.endBulkUpdate();
    QCOMPARE(column(model, ColName), (QStringList{"a", "b", "c"}));
    QCOMPARE(layouts.count(), 1);
}

void TestFileListModel::nameChangeResorts()
{
    FileListModel model;
    appendAll(model, {"a", "b", "c"});
    model.setText(0, ColName, QStringLiteral("d"));
    QCOMPARE(column(model, ColName), (QStringList{"b", "c", "d"}));

    // The same text again is no change.
    QSignalSpy layouts(&model, &QAbstractItemModel::layoutChanged);
    QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);
    model.setText(0, ColName, QStringLiteral("b"));
    QCOMPARE(layouts.count(), 0);
    QCOMPARE(changes.count(), 0);

    // Inside a bulk update the rename waits for its end.
    model.beginBulkUpdate();
    model.setText(2, ColName, QStringLiteral("a"));
    QCOMPARE(column(model, ColName), (QStringList{"b", "c", "a"}));
    model.endBulkUpdate();
    QCOMPARE(column(model, ColName), (QStringList{"a", "b", "c"}));
}

void TestFileListModel::nameChangeSortsByCurrentColumn()
{
    FileListModel model;
    model.setSortOrder(ColType, false);
    appendAll(model, {"a.x", "b.y", "c.z"});
    model.setText(0, ColType, QStringLiteral("ZZ"));
    QCOMPARE(column(model, ColType), (QStringList{"ZZ", "Y", "Z"}));
    // The rename sorts the whole list by type, including the entry changed before.
    model.setText(1, ColName, QStringLiteral("q"));
    QCOMPARE(column(model, ColType), (QStringList{"Y", "Z", "ZZ"}));
    QCOMPARE(column(model, ColName), (QStringList{"q", "c", "a"}));
}

void TestFileListModel::otherColumnDoesNotResort()
{
    FileListModel model;
    model.setSortOrder(ColStatus, false);
    model.append(fileEntryFor("/x/a", QString(), "1"));
    model.append(fileEntryFor("/x/b", QString(), "2"));
    model.append(fileEntryFor("/x/c", QString(), "3"));
    model.setText(0, ColStatus, QStringLiteral("9"));
    QCOMPARE(column(model, ColStatus), (QStringList{"9", "2", "3"}));
    model.setText(0, ColPath, QStringLiteral("/y/a"));
    QCOMPARE(column(model, ColStatus), (QStringList{"9", "2", "3"}));
}

void TestFileListModel::appendAfterSortColumnChanged()
{
    // After a status column changed unsorted, an addition still leaves a sorted list.
    FileListModel model;
    model.setSortOrder(ColStatus, false);
    model.append(fileEntryFor("/x/a", QString(), "1"));
    model.append(fileEntryFor("/x/b", QString(), "3"));
    model.setText(0, ColStatus, QStringLiteral("5"));
    model.append(fileEntryFor("/x/c", QString(), "4"));
    QCOMPARE(column(model, ColStatus), (QStringList{"3", "4", "5"}));
}

void TestFileListModel::appendPlacedByAllColumns()
{
    // The added entry is placed by its own type, not as if the column were still empty.
    FileListModel model;
    model.setSortOrder(ColType, false);
    appendAll(model, {"x.a", "x.c", "x.b"});
    QCOMPARE(column(model, ColType), (QStringList{"A", "B", "C"}));
    model.setSortOrder(ColSize, false);
    model.sort();
    model.append(fileNamed(QStringLiteral("big"), SizeText(5 * 1024)));
    model.append(fileNamed(QStringLiteral("mid"), SizeText(2 * 1024)));
    QCOMPARE(model.text(3, ColName), QStringLiteral("mid"));
    QCOMPARE(model.text(4, ColName), QStringLiteral("big"));
}

void TestFileListModel::sizeSort_data()
{
    QTest::addColumn<bool>("descending");
    QTest::addColumn<QStringList>("order");

    QTest::newRow("ascending") << false << QStringList{"dir", "zero", "tiny", "one", "huge"};
    QTest::newRow("descending") << true << QStringList{"huge", "one", "tiny", "dir", "zero"};
}

void TestFileListModel::sizeSort()
{
    QFETCH(bool, descending);
    QFETCH(QStringList, order);

    FileListModel model;
    model.append(fileNamed(QStringLiteral("one"), SizeText(1536)));
    model.append(fileNamed(QStringLiteral("tiny"), SizeText(64)));
    model.append(folderEntryFor(QStringLiteral("/x/dir"), QStringLiteral("Added")));
    model.append(fileNamed(QStringLiteral("zero"), SizeText(0)));
    // Exponent form must still compare as a number, not as text.
    model.append(fileNamed(QStringLiteral("huge"), SizeText(qint64(123456789) * 1024)));
    model.setSortOrder(ColSize, descending);
    model.sort();
    QCOMPARE(column(model, ColName), order);
}

void TestFileListModel::selectionFollowsSort()
{
    FileListModel model;
    QStringList names;
    for (int i = 0; i < 50; ++i)
        names << QStringLiteral("e%1").arg(i, 2, 10, QChar(u'0'));
    appendAll(model, names);

    QItemSelectionModel selection(&model);
    const int rowOf7 = model.rowOfPath(QStringLiteral("/x/e07"));
    selection.setCurrentIndex(model.index(rowOf7, 0), QItemSelectionModel::NoUpdate);
    selection.select(model.index(model.rowOfPath(QStringLiteral("/x/e42")), 0),
                     QItemSelectionModel::Select | QItemSelectionModel::Rows);

    model.setSortOrder(ColName, true);
    model.sort();
    QCOMPARE(model.text(selection.currentIndex().row(), ColName), QStringLiteral("e07"));
    const QModelIndexList rows = selection.selectedRows();
    QCOMPARE(rows.size(), 1);
    QCOMPARE(model.text(rows.first().row(), ColName), QStringLiteral("e42"));

    model.setText(selection.currentIndex().row(), ColName, QStringLiteral("zz"));
    QCOMPARE(selection.currentIndex().row(), 0);
    QCOMPARE(model.text(0, ColPath), QStringLiteral("/x/e07"));
}

void TestFileListModel::removeRowsAt_data()
{
    QTest::addColumn<int>("entries");
    QTest::addColumn<QList<int>>("rows");

    QTest::newRow("one row") << 10 << QList<int>{4};
    QTest::newRow("unsorted with duplicates") << 10 << QList<int>{7, 2, 7, 3, 9};
    QTest::newRow("out of range ignored") << 5 << QList<int>{-1, 5, 1};
    QList<int> scattered;
    for (int r = 0; r < 3000; r += 3)
        scattered << r;
    QTest::newRow("many scattered rows") << 3000 << scattered;
    QList<int> all;
    for (int r = 0; r < 200; ++r)
        all << r;
    QTest::newRow("all rows") << 200 << all;
}

void TestFileListModel::removeRowsAt()
{
    QFETCH(int, entries);
    QFETCH(QList<int>, rows);

    FileListModel model;
    QStringList names;
    for (int i = 0; i < entries; ++i)
        names << QStringLiteral("e%1").arg(i, 5, 10, QChar(u'0'));
    model.beginBulkUpdate();
    appendAll(model, names);
    model.endBulkUpdate();

    QSet<int> gone;
    for (int r : rows) {
        if (r >= 0 && r < entries)
            gone.insert(r);
    }
    QStringList kept;
    for (int i = 0; i < entries; ++i) {
        if (!gone.contains(i))
            kept << names[i];
    }
    // A kept entry the view points at: it must still point at it when rows were shifted.
    QPersistentModelIndex watched;
    if (!kept.isEmpty())
        watched = model.index(names.indexOf(kept.last()), ColName);

    model.removeRowsAt(rows);
    QCOMPARE(column(model, ColName), kept);
    for (int i = 0; i < entries; ++i)
        QCOMPARE(model.containsPath(QStringLiteral("/x/") + names[i]), !gone.contains(i));
    if (watched.isValid())
        QCOMPARE(watched.data().toString(), kept.last());
}

void TestFileListModel::clearKeepsSortState()
{
    FileListModel model;
    model.setSortOrder(ColName, true);
    appendAll(model, {"a", "b"});
    model.clear();
    QCOMPARE(model.sortDescending(), true);
    appendAll(model, {"a", "c", "b"});
    QCOMPARE(column(model, ColName), (QStringList{"c", "b", "a"}));
}

void TestFileListModel::modelTexts()
{
    FileListModel model;
    model.append(fileNamed(QStringLiteral("a.jpg"), QStringLiteral("1.500 KB")));
    QCOMPARE(model.columnCount(), 5);
    QCOMPARE(model.headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(),
             QStringLiteral("Größe"));
    model.setHeaderTexts({"Name", "Type", "Size", "Status", "Path"});
    QCOMPARE(model.headerData(4, Qt::Horizontal, Qt::DisplayRole).toString(),
             QStringLiteral("Path"));
    QCOMPARE(model.data(model.index(0, ColSize), Qt::DisplayRole).toString(),
             QStringLiteral("1.500 KB"));
    QCOMPARE(model.data(model.index(0, ColType), Qt::DisplayRole).toString(),
             QStringLiteral("JPG"));
    const auto alignment =
        model.data(model.index(0, ColSize), Qt::TextAlignmentRole).value<Qt::Alignment>();
    QVERIFY(alignment & Qt::AlignRight);
    QVERIFY(!(model.flags(model.index(0, ColName)) & Qt::ItemIsEditable));
}

void TestFileListModel::pausedSortKeepsTheOrder_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("descending");
    QTest::newRow("name ascending") << int(qv::ColName) << false;
    QTest::newRow("type descending, many equal keys") << int(qv::ColType) << true;
    QTest::newRow("size ascending") << int(qv::ColSize) << false;
}

// A long sort in chunks with pauses in between must give the same stable order as one piece.
void TestFileListModel::pausedSortKeepsTheOrder()
{
    QFETCH(int, column);
    QFETCH(bool, descending);
    auto fill = [](qv::FileListModel& model) {
        QRandomGenerator random(7);
        model.beginBulkUpdate();
        for (int i = 0; i < 30000; ++i) {
            const quint32 r = random.bounded(5000u);
            model.append(qv::fileEntryFor(QStringLiteral("/d/f%1_%2.%3").arg(r).arg(i).arg(r % 7),
                                          qv::SizeText(qint64(r) * 100, QLatin1Char('.')),
                                          QStringLiteral("Added")));
        }
        model.endBulkUpdate();
    };
    qv::FileListModel plain;
    qv::FileListModel paused;
    fill(plain);
    fill(paused);
    int pauses = 0;
    paused.setSortPause([&pauses] { ++pauses; });
    plain.setSortOrder(column, descending);
    paused.setSortOrder(column, descending);
    plain.sort();
    paused.sort();
    QVERIFY(pauses > 3);
    for (int row = 0; row < plain.count(); ++row)
        QCOMPARE(paused.entry(row).path, plain.entry(row).path);
}

void TestFileListModel::asciiTableAgreesWithCollator_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<bool>("usable");
    QTest::newRow("English") << "en_US" << true;
    QTest::newRow("German") << "de_DE" << true;
    QTest::newRow("Czech: ch after h") << "cs_CZ" << false;
    QTest::newRow("Danish: aa as the last letter") << "da_DK" << false;
}

void TestFileListModel::asciiTableAgreesWithCollator()
{
    QFETCH(QString, locale);
    QFETCH(bool, usable);
    QCollator collator{QLocale(locale)};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);
    const AsciiCollation table(collator);
    QCOMPARE(table.usable(), usable);
    if (!usable)
        return;

    // Names built from pieces that sort apart in some language, in every combination of case.
    const QStringList pieces{"a",       "A",      "aa",  "ch", "h",  "z", "0", "10",
                             "9",       " ",      "_",   "-",  ".",  "~", "(", "'",
                             "Bild 00", "bild_0", "x.y", "ss", "ij", "ll"};
    QRandomGenerator random(7);
    QStringList names{QString()};
    for (int i = 0; i < 3000; ++i) {
        QString name;
        for (int n = random.bounded(1, 6); n > 0; --n)
            name += pieces[random.bounded(int(pieces.size()))];
        names.append(name);
    }
    std::stable_sort(names.begin(), names.end(), [&](const QString& a, const QString& b) {
        return collator.compare(a, b) < 0;
    });
    for (int i = 1; i < names.size(); ++i) {
        const int expected = collator.compare(names[i - 1], names[i]);
        QVERIFY2(table.compare(names[i - 1], names[i]) == expected,
                 qPrintable(names[i - 1] + u'|' + names[i]));
        QCOMPARE(table.compare(names[i], names[i - 1]), -expected);
    }
}

// Every change the view is told of is one Qt's views can follow: inserts, removals, sorting
// and bulk updates, checked by Qt's own model tester after each step.
void TestFileListModel::keepsTheModelContract()
{
    FileListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.appendFile(QStringLiteral("/d/b.txt"), 3, QStringLiteral("new"));
    model.appendFolder(QStringLiteral("/d"), QStringLiteral("new"));
    model.beginBulkUpdate();
    for (int i = 0; i < 50; ++i)
        model.appendFile(QStringLiteral("/d/f%1.jpg").arg(i), i, QStringLiteral("new"));
    model.endBulkUpdate();
    model.sort(ColSize, Qt::DescendingOrder);
    model.setText(0, ColName, QStringLiteral("aaa"));
    model.sort(ColName, Qt::AscendingOrder);
    model.setText(3, ColPath, QStringLiteral("/e/x.txt"));
    model.removeRowsAt({0, 5, 6, 40});
    QCOMPARE(model.count(), 48);
    model.clear();
    QCOMPARE(model.rowCount(), 0);
}

QTEST_APPLESS_MAIN(TestFileListModel)
#include "tst_filelistmodel.moc"
