#pragma once

// Folder layouts on real disks for the rename tests: made from a compact list, and read back in
// the same form, so that a table row can say what the disk holds before and after.

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMetaType>
#include <QStringList>
#include <QTest>

// The settings of one run, or one press of the rename button.
struct Run
{
    Run(QString mask_ = {}, QString search_ = {}, QString replace_ = {})
        : mask(std::move(mask_)), search(std::move(search_)), replace(std::move(replace_))
    {
    }
    QString mask;   // empty: mask not active
    QString search; // empty: search and replace not active
    QString replace;
    QString numStart = QStringLiteral("1");
    // Entries wait for the names others leave, and circles turn through a temporary name.
    bool chains = false;
};
Q_DECLARE_METATYPE(Run)

// Layout items: "name" is a file whose content is its own relative path, "name/" a folder,
// "name>target" a symbolic link.
inline void createLayout(const QString& root, const QStringList& layout)
{
    for (const QString& item : layout) {
        const QString path = root + u'/' + item;
        if (item.endsWith(u'/')) {
            QVERIFY(QDir().mkpath(path));
        } else if (item.contains(u'>')) {
            const QStringList parts = item.split(u'>');
            QVERIFY(QFile::link(parts[1], root + u'/' + parts[0]));
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(item.toUtf8());
        }
    }
}

// The disk below root in the layout form; a file whose content differs from its own name is
// "name=content", so that lost or swapped contents show.
inline QStringList diskLayout(const QString& root)
{
    QStringList found;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        const QString rel = QDir(root).relativeFilePath(info.filePath());
        if (info.isSymLink()) {
            found.append(rel + u'>' + info.symLinkTarget().section(u'/', -1));
        } else if (info.isDir()) {
            found.append(rel + u'/');
        } else {
            QFile file(info.filePath());
            if (!file.open(QIODevice::ReadOnly))
                return {QStringLiteral("unreadable: ") + rel};
            const QString content = QString::fromUtf8(file.readAll());
            found.append(content == rel ? rel : rel + u'=' + content);
        }
    }
    found.sort();
    return found;
}
