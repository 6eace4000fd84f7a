#include "rename/diskrename.h"
#include "text/pathbytes.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace qv;

namespace {

// Every file and folder below root with the content of each file, so a test sees any change.
QStringList snapshot(const QString& root)
{
    QStringList entries;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString relative = QDir(root).relativeFilePath(path);
        if (it.fileInfo().isDir()) {
            entries.append(relative + u'/');
        } else {
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly))
                return {QStringLiteral("unreadable: ") + relative};
            entries.append(relative + u'=' + QString::fromUtf8(file.readAll()));
        }
    }
    entries.sort();
    return entries;
}

// What another program does to a path just before one of our steps.
enum class OtherAct
{
    // Creates a file (or an empty folder) of its own there, if the name is still free.
    Creates,
    // Puts a file of its own in place of what is there (rename over it).
    Replaces,
    // Writes into the file there, if it is an empty one.
    WritesInto
};

// A file system that refuses the no-replace flag, and hard links too when asked, beside another
// program that acts on a path just before our step number `otherActsAt` (counted from 0).
class RefusingFileSystem : public NoReplaceRenamer
{
public:
    RefusingFileSystem(bool linksWork, int otherActsAt, const QString& otherPath,
                       bool otherMakesFolder, OtherAct act = OtherAct::Creates)
        : m_linksWork(linksWork), m_otherActsAt(otherActsAt),
          m_otherPath(QFile::encodeName(otherPath)), m_otherMakesFolder(otherMakesFolder),
          m_act(act)
    {
    }

    int steps() const { return m_steps; }
    bool otherCreated() const { return m_otherCreated; }
    void failMoves() { m_failMoves = true; }

protected:
    int renameNoReplace(const char*, const char*) override
    {
        step();
        errno = EINVAL;
        return -1;
    }
    int renameReplacing(const char* from, const char* to) override
    {
        // Between the last check of the placeholder and rename(2) no check can see a write.
        step(m_act != OtherAct::WritesInto || !m_lastWasCheck);
        if (m_failMoves) {
            errno = EIO;
            return -1;
        }
        return NoReplaceRenamer::renameReplacing(from, to);
    }
    int hardLink(const char* from, const char* to) override
    {
        step();
        if (!m_linksWork) {
            errno = EPERM;
            return -1;
        }
        return NoReplaceRenamer::hardLink(from, to);
    }
    int removeFile(const char* path) override
    {
        // Nor between the last check of the old name and unlink(2) a replacement.
        step(m_act != OtherAct::Replaces || !m_lastWasCheck);
        return NoReplaceRenamer::removeFile(path);
    }
    int createFile(const char* path, Node* node) override
    {
        step();
        return NoReplaceRenamer::createFile(path, node);
    }
    int makeFolder(const char* path) override
    {
        step();
        return NoReplaceRenamer::makeFolder(path);
    }
    int removeFolder(const char* path) override
    {
        step();
        return NoReplaceRenamer::removeFolder(path);
    }
    int status(const char* path, Node* node) override
    {
        step();
        m_lastWasCheck = true;
        return NoReplaceRenamer::status(path, node);
    }

private:
    void step(bool otherMayAct = true)
    {
        m_lastWasCheck = false;
        if (m_steps++ != m_otherActsAt || !otherMayAct)
            return;
        if (m_act == OtherAct::Replaces) {
            const QByteArray own = m_otherPath + ".other";
            const int fd = ::open(own.constData(), O_CREAT | O_EXCL | O_WRONLY, 0644);
            m_otherCreated = fd >= 0 && ::write(fd, "other", 5) == 5 && ::close(fd) == 0 &&
                             ::rename(own.constData(), m_otherPath.constData()) == 0;
            return;
        }
        if (m_act == OtherAct::WritesInto) {
            struct stat st;
            if (::lstat(m_otherPath.constData(), &st) != 0 || !S_ISREG(st.st_mode) ||
                st.st_size != 0)
                return;
            const int fd = ::open(m_otherPath.constData(), O_WRONLY);
            m_otherCreated = fd >= 0 && ::write(fd, "other", 5) == 5;
            if (fd >= 0)
                ::close(fd);
            return;
        }
        if (m_otherMakesFolder) {
            m_otherCreated = ::mkdir(m_otherPath.constData(), 0755) == 0;
            return;
        }
        const int fd = ::open(m_otherPath.constData(), O_CREAT | O_EXCL | O_WRONLY, 0644);
        if (fd < 0)
            return;
        m_otherCreated = ::write(fd, "other", 5) == 5;
        ::close(fd);
    }

    const bool m_linksWork;
    const int m_otherActsAt;
    const QByteArray m_otherPath;
    const bool m_otherMakesFolder;
    const OtherAct m_act;
    bool m_failMoves = false;
    // Whether our last step looked at the disk: the step right after a check is the window no
    // check can close.
    bool m_lastWasCheck = false;
    int m_steps = 0;
    bool m_otherCreated = false;
};

} // namespace

class TestDiskRename : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void rename_data();
    void rename();
    void longName_data();
    void longName();
    void refusedFlag_data();
    void refusedFlag();
    void symbolicLink_data();
    void symbolicLink();
    void readOnlyFolder();
    void undecodableName();
    void acceptableName_data();
    void acceptableName();

private:
    void makeFile(const QString& relative, const QByteArray& content);
    void makeFolder(const QString& relative);
    QString path(const QString& relative) const { return m_dir->filePath(relative); }
    static std::unique_ptr<DiskRenamer> renamer(bool fallback);

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestDiskRename::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

std::unique_ptr<DiskRenamer> TestDiskRename::renamer(bool fallback)
{
    if (fallback)
        return std::make_unique<FallbackRenamer>();
    return std::make_unique<NoReplaceRenamer>();
}

void TestDiskRename::makeFile(const QString& relative, const QByteArray& content)
{
    QFile file(path(relative));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(content), content.size());
}

void TestDiskRename::makeFolder(const QString& relative)
{
    QVERIFY(QDir().mkpath(path(relative)));
}

// Each row sets up files ("name=content") and folders ("name/"), renames from -> to and states
// the whole tree afterwards.
void TestDiskRename::rename_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<bool>("renamed");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<bool>("fallback");

    // Every case runs through both ways of renaming: the flag-guarded call the file systems here
    // support, and the chain used where they refuse the flag.
    const auto add = [](const char* name, const QStringList& before, const QString& from,
                        const QString& to, bool renamed, const QStringList& after) {
        for (const bool fallback : {false, true}) {
            const QByteArray tag = (fallback ? "fallback/" : "no-replace/") + QByteArray(name);
            QTest::newRow(tag.constData()) << before << from << to << renamed << after << fallback;
        }
    };

    add("plain file", QStringList{"a.txt=A"}, "a.txt", "b.txt", true, QStringList{"b.txt=A"});
    add("target file exists", QStringList{"a.txt=A", "b.txt=B"}, "a.txt", "b.txt", false,
        QStringList{"a.txt=A", "b.txt=B"});
    add("target empty folder exists", QStringList{"a.txt=A", "b/"}, "a.txt", "b", false,
        QStringList{"a.txt=A", "b/"});
    add("folder onto empty folder", QStringList{"a/", "a/x=X", "b/"}, "a", "b", false,
        QStringList{"a/", "a/x=X", "b/"});
    add("folder onto non-empty folder", QStringList{"a/", "a/x=X", "b/", "b/y=Y"}, "a", "b", false,
        QStringList{"a/", "a/x=X", "b/", "b/y=Y"});
    add("folder onto file", QStringList{"a/", "a/x=X", "b=B"}, "a", "b", false,
        QStringList{"a/", "a/x=X", "b=B"});
    add("folder with contents",
        QStringList{"pics/", "pics/x.jpg=J", "pics/sub/", "pics/sub/y=Y", "pics2/"}, "pics",
        "photos", true,
        QStringList{"photos/", "photos/sub/", "photos/sub/y=Y", "photos/x.jpg=J", "pics2/"});
    add("case only", QStringList{"report.txt=R"}, "report.txt", "Report.txt", true,
        QStringList{"Report.txt=R"});
    add("missing source", QStringList{"b.txt=B"}, "a.txt", "c.txt", false, QStringList{"b.txt=B"});
    add("same name", QStringList{"a.txt=A"}, "a.txt", "a.txt", false, QStringList{"a.txt=A"});
    add("into another existing folder", QStringList{"a.txt=A", "sub/"}, "a.txt", "sub/a.txt", true,
        QStringList{"sub/", "sub/a.txt=A"});
    add("folder into itself", QStringList{"a/", "a/x=X"}, "a", "a/b", false,
        QStringList{"a/", "a/x=X"});
    add("target ends in separator", QStringList{"a/"}, "a", "b/", false, QStringList{"a/"});
    add("target dot-dot", QStringList{"d/", "d/a.txt=A"}, "d/a.txt", "d/..", false,
        QStringList{"d/", "d/a.txt=A"});
    add("unicode names", QStringList{"Ä ö.txt=U"}, "Ä ö.txt", "Grüße 日本.txt", true,
        QStringList{"Grüße 日本.txt=U"});
    add("backslash and colon in the new name", QStringList{"a.txt=A"}, "a.txt", "b\\c:d.txt", true,
        QStringList{"b\\c:d.txt=A"});
}

void TestDiskRename::rename()
{
    QFETCH(QStringList, before);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(bool, renamed);
    QFETCH(QStringList, after);

    for (const QString& entry : std::as_const(before)) {
        if (entry.endsWith(u'/'))
            makeFolder(entry);
        else
            makeFile(entry.section(u'=', 0, 0), entry.section(u'=', 1).toUtf8());
    }
    QStringList sorted = before;
    sorted.sort();
    QCOMPARE(snapshot(m_dir->path()), sorted);

    QFETCH(bool, fallback);
    QCOMPARE(renamer(fallback)->rename(path(from), path(to)), renamed);
    QCOMPARE(snapshot(m_dir->path()), after);
}

void TestDiskRename::longName_data()
{
    QTest::addColumn<bool>("fallback");
    QTest::newRow("no-replace") << false;
    QTest::newRow("fallback") << true;
}

void TestDiskRename::longName()
{
    QFETCH(bool, fallback);
    makeFile(QStringLiteral("a.txt"), "A");
    const auto renamer = TestDiskRename::renamer(fallback);
    QVERIFY(!renamer->rename(path("a.txt"), path(QString(256, u'x'))));
    // Two-byte characters: 128 of them are already 256 bytes.
    QVERIFY(!renamer->rename(path("a.txt"), path(QString(128, QChar(0xE4)))));
    QCOMPARE(snapshot(m_dir->path()), QStringList{"a.txt=A"});
    QVERIFY(renamer->rename(path("a.txt"), path(QString(255, u'x'))));
    QCOMPARE(snapshot(m_dir->path()), QStringList{QString(255, u'x') + QStringLiteral("=A")});
}

void TestDiskRename::refusedFlag_data()
{
    QTest::addColumn<bool>("folder");
    QTest::addColumn<bool>("linksWork");
    QTest::addColumn<QString>("other");

    for (const bool folder : {false, true}) {
        for (const bool linksWork : {true, false}) {
            const QByteArray kind = QByteArray(folder ? "folder" : "file") +
                                    (linksWork ? "/links work" : "/links refused");
            QTest::newRow(kind + "/alone") << folder << linksWork << "alone";
            QTest::newRow(kind + "/another program creates the target")
                << folder << linksWork << "creates";
            QTest::newRow(kind + "/the move fails") << folder << linksWork << "move fails";
            if (!folder) {
                QTest::newRow(kind + "/another program replaces the source")
                    << folder << linksWork << "replaces";
                QTest::newRow(kind + "/another program writes into the placeholder")
                    << folder << linksWork << "writes";
            }
        }
    }
}

// Where the flag is refused, no moment at which another program creates the target lets the
// rename replace that program's file, and a failed rename leaves no placeholder behind.
void TestDiskRename::refusedFlag()
{
    QFETCH(bool, folder);
    QFETCH(bool, linksWork);
    QFETCH(QString, other);

    const QStringList before =
        folder ? QStringList{"a/", "a/x=mine"} : QStringList{QStringLiteral("a=mine")};
    const QStringList renamed =
        folder ? QStringList{"b/", "b/x=mine"} : QStringList{QStringLiteral("b=mine")};
    // Each kind of target that a plain rename(2) would replace.
    QStringList beside = before + QStringList{folder ? "b/" : "b=other"};
    beside.sort();

    // The other program gets its turn before each of our steps in turn, until it comes too late.
    const bool acts = other != u"alone" && other != u"move fails";
    const int lastMoment = acts ? 1000 : 0;
    for (int moment = 0; moment <= lastMoment; ++moment) {
        const QString root = QStringLiteral("moment %1/").arg(moment);
        makeFolder(root);
        if (folder)
            makeFolder(root + u'a');
        makeFile(root + (folder ? "a/x" : "a"), "mine");
        const OtherAct act = other == u"replaces" ? OtherAct::Replaces
                             : other == u"writes" ? OtherAct::WritesInto
                                                  : OtherAct::Creates;
        RefusingFileSystem fileSystem(linksWork, acts ? moment : -1,
                                      path(root + (act == OtherAct::Replaces ? u'a' : u'b')),
                                      folder, act);
        if (other == u"move fails")
            fileSystem.failMoves();

        const bool done = fileSystem.rename(path(root + u'a'), path(root + u'b'));
        const QStringList after = snapshot(path(root));
        const QByteArray where = "at moment " + QByteArray::number(moment);
        if (act != OtherAct::Creates) {
            // The other program's file survives whatever we did, and no placeholder is left.
            const QString shown = after.join(u", ");
            if (fileSystem.otherCreated())
                QVERIFY2(shown.contains(u"=other"), where + ": " + shown.toUtf8());
            QVERIFY2(!after.contains(u"b="), where + ": " + shown.toUtf8());
        } else if (fileSystem.otherCreated()) {
            QVERIFY2(after == beside, where + ": " + after.join(u", ").toUtf8());
            QVERIFY2(!done, where);
        } else if (other == u"move fails" && (folder || !linksWork)) {
            // (A file is moved by link+unlink where hard links work, without rename(2).)
            QVERIFY(!done);
            QCOMPARE(after, before);
        } else {
            QVERIFY2(done, where);
            QVERIFY2(after == renamed, where + ": " + after.join(u", ").toUtf8());
        }
        if (moment >= fileSystem.steps())
            break;
    }
}

void TestDiskRename::symbolicLink_data()
{
    longName_data();
}

// The link itself is renamed, never the folder it points to.
void TestDiskRename::symbolicLink()
{
    QFETCH(bool, fallback);
    makeFolder(QStringLiteral("target"));
    makeFile(QStringLiteral("target/x"), "X");
    QVERIFY(QFile::link(path("target"), path("link")));
    QVERIFY(renamer(fallback)->rename(path("link"), path("renamed")));
    QCOMPARE(QFileInfo(path("renamed")).symLinkTarget(), path("target"));
    QVERIFY(!QFileInfo::exists(path("link")));
    QVERIFY(QFileInfo::exists(path("target/x")));
}

void TestDiskRename::readOnlyFolder()
{
    if (::geteuid() == 0)
        QSKIP("root ignores folder permissions");
    makeFolder(QStringLiteral("locked"));
    makeFile(QStringLiteral("locked/a.txt"), "A");
    QFile::Permissions readOnly = QFile::ReadOwner | QFile::ExeOwner;
    QVERIFY(QFile::setPermissions(path("locked"), readOnly));
    const bool renamed = NoReplaceRenamer().rename(path("locked/a.txt"), path("locked/b.txt")) ||
                         FallbackRenamer().rename(path("locked/a.txt"), path("locked/b.txt"));
    QVERIFY(QFile::setPermissions(path("locked"), readOnly | QFile::WriteOwner));
    QVERIFY(!renamed);
    QCOMPARE(snapshot(m_dir->path()), (QStringList{"locked/", "locked/a.txt=A"}));
}

// A name that is not UTF-8 keeps its bytes in the text; U+FFFD is a character of its own. Each
// text renames exactly its file, and one that stands for no bytes renames nothing.
void TestDiskRename::undecodableName()
{
    const QByteArray rawName = QFile::encodeName(m_dir->path()) + "/a\xff";
    const int fd = ::open(rawName.constData(), O_CREAT | O_WRONLY, 0644);
    QVERIFY(fd >= 0);
    ::close(fd);
    const QString raw = pathFromBytes(rawName);
    const QString replacement = QStringLiteral("a") + QChar(QChar::ReplacementCharacter);
    makeFile(replacement, "L");

    for (const bool fallback : {false, true}) {
        const auto r = renamer(fallback);
        QVERIFY(!r->rename(path("c"), path("c") + QChar(0xD800)));
        QVERIFY(!r->rename(path("c"), path("c") + QChar(0xDC10)));
        QVERIFY(!r->rename(path(QStringLiteral("a") + QChar(u'\0') + u'x'), path("b")));
        QVERIFY(!r->rename(raw, path(QStringLiteral("b") + QChar(u'\0'))));
        QVERIFY(!r->rename(raw, path(replacement)));
    }
    QVERIFY(renamer(false)->rename(raw, path("b")));
    QVERIFY(renamer(true)->rename(path(replacement), raw));
    // The bytes now name the file of U+FFFD (one byte long); "b" is the empty one.
    struct stat st;
    QCOMPARE(::stat(rawName.constData(), &st), 0);
    QCOMPARE(st.st_size, 1);
    QVERIFY(!QFileInfo::exists(path(replacement)));
    QCOMPARE(QFileInfo(path("b")).size(), 0);
    ::unlink(rawName.constData());
}

void TestDiskRename::acceptableName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("acceptable");

    QTest::newRow("plain") << "a.txt" << true;
    QTest::newRow("dot file") << ".profile" << true;
    QTest::newRow("three dots") << "..." << true;
    QTest::newRow("blank") << " " << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("dot") << "." << false;
    QTest::newRow("dot-dot") << ".." << false;
    QTest::newRow("slash") << "a/b" << false;
    QTest::newRow("leading slash") << "/a" << false;
    QTest::newRow("NUL") << QString::fromUtf16(u"a\0b", 3) << false;
#ifndef Q_OS_WIN
    QTest::newRow("backslash") << "a\\b" << true;
    QTest::newRow("colon") << "a:b" << true;
#endif
}

void TestDiskRename::acceptableName()
{
    QFETCH(QString, name);
    QFETCH(bool, acceptable);
    QCOMPARE(isAcceptableNewName(name), acceptable);
}

QTEST_GUILESS_MAIN(TestDiskRename)
#include "tst_diskrename.moc"
