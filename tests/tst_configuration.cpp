#include "app/filter/tquorvel_filter.h"
#include "app/panel.h"
#include "config/profilefile.h"
#include "tests/appfixture.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>
#include <QTest>
#include <QTreeView>

#include <algorithm>
#include <limits>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>
#endif
#ifdef Q_OS_LINUX
#include <sys/inotify.h>
#endif

namespace {

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QByteArray utf16File(const QString& text)
{
    QByteArray bytes("\xFF\xFE", 2);
    for (QChar c : text) {
        bytes.append(char(c.unicode() & 0xFF));
        bytes.append(char(c.unicode() >> 8));
    }
    return bytes;
}

QString fileText(const QString& path)
{
    const QByteArray bytes = readBytes(path);
    if (!bytes.startsWith("\xFF\xFE"))
        return QString::fromUtf8(bytes);
    QString text;
    for (qsizetype i = 2; i + 1 < bytes.size(); i += 2)
        text.append(QChar(ushort(uchar(bytes[i]) | (uchar(bytes[i + 1]) << 8))));
    return text;
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QString startConfiguration()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/Auto.qvc");
}

QRect availableArea()
{
    return QGuiApplication::primaryScreen()->availableGeometry();
}

// Where a frame of that size stored at topLeft goes: moved as little as keeps it inside the
// available area.
QPoint broughtInside(QPoint topLeft, QSize frame)
{
    const QRect area = availableArea();
    return {std::clamp(topLeft.x(), area.left(), area.right() + 1 - frame.width()),
            std::clamp(topLeft.y(), area.top(), area.bottom() + 1 - frame.height())};
}

QList<int> widthsOf(const Tprog* p)
{
    QList<int> widths;
    for (int c = 0; c < p->qulist->header()->count(); ++c)
        widths.append(p->qulist->columnWidth(c));
    return widths;
}

// The text control of either window by its name: an edit or the edit field of a combo box.
QLineEdit* textControl(const QString& name)
{
    for (QWidget* window :
         {static_cast<QWidget*>(qv::prog), static_cast<QWidget*>(qv::quorvel_filter)}) {
        if (auto* combo = window->findChild<QComboBox*>(name))
            return combo->lineEdit();
        if (auto* edit = window->findChild<QLineEdit*>(name))
            return edit;
    }
    qFatal("no text control %s", qPrintable(name));
}

// What the kernel reports about one file while this lives: each open, read and write of it,
// by whatever code made it.
class FileAccess
{
public:
    struct Counts
    {
        int opens = 0;
        int reads = 0;
        // Opens for writing that have been closed again.
        int writes = 0;
    };

    explicit FileAccess(const QString& path)
    {
#ifdef Q_OS_LINUX
        m_fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        // Closes are watched too: two opens in a row with nothing between them would be
        // reported as one.
        if (m_fd >= 0 &&
            inotify_add_watch(m_fd, QFile::encodeName(path).constData(),
                              IN_OPEN | IN_ACCESS | IN_CLOSE_WRITE | IN_CLOSE_NOWRITE) < 0) {
            ::close(m_fd);
            m_fd = -1;
        }
#else
        Q_UNUSED(path);
#endif
    }
    ~FileAccess()
    {
#ifdef Q_OS_LINUX
        if (m_fd >= 0)
            ::close(m_fd);
#endif
    }
    bool isValid() const
    {
        return m_fd >= 0;
    }

    // The events since the last call; the kernel has queued them by the time the calls that
    // caused them return.
    Counts take()
    {
        Counts counts;
#ifdef Q_OS_LINUX
        alignas(inotify_event) char buffer[4096];
        ssize_t length;
        while ((length = ::read(m_fd, buffer, sizeof buffer)) > 0) {
            for (char* at = buffer; at < buffer + length;) {
                const auto* event = reinterpret_cast<const inotify_event*>(at);
                counts.opens += (event->mask & IN_OPEN) ? 1 : 0;
                counts.reads += (event->mask & IN_ACCESS) ? 1 : 0;
                counts.writes += (event->mask & IN_CLOSE_WRITE) ? 1 : 0;
                at += sizeof(inotify_event) + event->len;
            }
        }
#endif
        return counts;
    }

private:
    int m_fd = -1;
};

} // namespace

class ConfigurationTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void designStateFile();
    void quoteRoundTrip_data();
    void quoteRoundTrip();
    void blanksAroundTextDropped_data();
    void blanksAroundTextDropped();
    void columnWidths_data();
    void columnWidths();
    void placement_data();
    void placement();
    void maximisedFromMenu();
    void maximisedAtStart();
    void startPlacementBroughtInside_data();
    void startPlacementBroughtInside();
    void autosaveMarks_data();
    void autosaveMarks();
    void optionsStoredWhenSet_data();
    void optionsStoredWhenSet();
    void checkBoxHandlersRun();
    void radioButtons_data();
    void radioButtons();
    void savingKeepsUnknownEntries_data();
    void savingKeepsUnknownEntries();
    void imageNameWrittenAs8Bit();
    void missingFileLoadsAsEmpty();
    void saveFailures_data();
    void saveFailures();
    void writeProtectedFile();
    void stopsAtEntryThatCannotBeWritten();
    void oneReadPerLoadOneWritePerSave();
    void oversizedFileLeftAlone();
    void fileDialogs_data();
    void fileDialogs();
    void fileDialogsMadeOnFirstUse();
    void startConfigurationBesideExecutable();
    void folderNamedAutoQvc();
    void immerThenCloseThenNextStart();
    void nieBeforeCloseKeepsStartConfiguration();
    void beendenDoesNotSave();
};

void ConfigurationTest::init()
{
    cleanup();
}

void ConfigurationTest::cleanup()
{
    QFile::remove(startConfiguration());
    QDir().rmdir(startConfiguration());
}

void ConfigurationTest::designStateFile()
{
    AppFixture app;
    Tprog* p = app.prog();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("design.qvc"));
    p->KonfigurationSpeichern(p->m_konfig_save, path);

    const QString expected =
        QStringLiteral("[PBPA]\r\nPanel6=1\r\nPanel7=1\r\nPanel1=1\r\nPanel2=1\r\npa1=0\r\n"
                       "pa2=0\r\nPanel3=1\r\nPanel4=1\r\n"
                       "[PBED]\r\nquordner=\r\nsuchenalt=\r\nsuchenneu=\r\n"
                       "[PBCH]\r\ncb_dat=1\r\ncb_dir=1\r\nact_maske=0\r\nact_suchenersetzen=0\r\n"
                       "cb_suchendung=0\r\ncb_suchname=1\r\nCOL=150,50,80,90,155,\r\n"
                       "[PBCB]\r\nmaske=%name%\r\nnumstart=1\r\n"
                       "[PFRB]\r\nalle=1\r\nauswahl=0\r\n"
                       "[PFED]\r\nfilter=jpg,bmp,txt\r\n"
                       "[PFCH]\r\nuv=1\r\n"
                       "[SP]\r\nPF=0\r\nPB=%1\r\nPH=%2\r\nPT=%3\r\nPL=%4\r\n"
                       "[AS]\r\nN=1\r\nA=0\r\n")
            .arg(p->client()->width())
            .arg(p->client()->height())
            .arg(p->frameGeometry().top())
            .arg(p->frameGeometry().left());
    QCOMPARE(p->client()->size(), QSize(614, 639));
    QCOMPARE(fileText(path), expected);
    QCOMPARE(readBytes(path), utf16File(expected));
}

void ConfigurationTest::quoteRoundTrip_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("stored");
    QTest::newRow("mask in single quotes") << "maske"
                                           << "'x'"
                                           << "''x''";
    QTest::newRow("mask in double quotes") << "maske"
                                           << "\"x\""
                                           << "\"\"x\"\"";
    QTest::newRow("mask a lone single quote") << "maske"
                                              << "'"
                                              << "'";
    QTest::newRow("search a lone double quote") << "suchenalt"
                                                << "\""
                                                << "\"";
    QTest::newRow("search in single quotes") << "suchenalt"
                                             << "'a b'"
                                             << "''a b''";
    QTest::newRow("replacement two single quotes") << "suchenneu"
                                                   << "''"
                                                   << "''''";
    QTest::newRow("numbering start in double quotes") << "numstart"
                                                      << "\"7\""
                                                      << "\"\"7\"\"";
    QTest::newRow("filter in double quotes") << "filter"
                                             << "\"jpg\""
                                             << "\"\"jpg\"\"";
    QTest::newRow("different quotes at the ends") << "maske"
                                                  << "'x\""
                                                  << "'x\"";
    QTest::newRow("folder with umlauts") << "quordner"
                                         << "/tmp/Größe"
                                         << "/tmp/Größe";
}

void ConfigurationTest::quoteRoundTrip()
{
    QFETCH(QString, control);
    QFETCH(QString, text);
    QFETCH(QString, stored);
    AppFixture app;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("q.qvc"));
    textControl(control)->setText(text);
    app.prog()->KonfigurationSpeichern(app.prog()->m_konfig_save, path);
    QVERIFY2(fileText(path).contains(QStringLiteral("\r\n%1=%2\r\n").arg(control, stored)),
             qPrintable(fileText(path)));

    textControl(control)->setText(QStringLiteral("other"));
    app.prog()->KonfigurationLaden(app.prog()->m_konfig_open, path);
    QCOMPARE(textControl(control)->text(), text);
}

void ConfigurationTest::blanksAroundTextDropped_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("loaded");
    QTest::newRow("leading blank") << " a"
                                   << "a";
    QTest::newRow("trailing blank") << "a "
                                    << "a";
    QTest::newRow("blanks and tab") << " \ta b\t "
                                    << "a b";
    QTest::newRow("quoted blank keeps nothing of the quotes") << "' a '"
                                                              << "' a '";
}

void ConfigurationTest::blanksAroundTextDropped()
{
    QFETCH(QString, text);
    QFETCH(QString, loaded);
    AppFixture app;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("b.qvc"));
    app.prog()->suchenalt->setText(text);
    app.prog()->KonfigurationSpeichern(app.prog()->m_konfig_save, path);
    app.prog()->suchenalt->clear();
    app.prog()->KonfigurationLaden(app.prog()->m_konfig_open, path);
    QCOMPARE(app.prog()->suchenalt->text(), loaded);
}

void ConfigurationTest::columnWidths_data()
{
    QTest::addColumn<QString>("col");
    QTest::addColumn<QList<int>>("widths");
    const QList<int> design{150, 50, 80, 90, 155};
    QTest::newRow("three fields change nothing") << "1,2,3" << design;
    QTest::newRow("four fields, the last empty") << "31,32,33," << QList<int>{31, 32, 33, 90, 155};
    QTest::newRow("as written") << "100,60,70,80,90," << QList<int>{100, 60, 70, 80, 90};
    QTest::newRow("not a number leaves its column")
        << "200,x,60,,70," << QList<int>{200, 50, 60, 90, 70};
    QTest::newRow("hexadecimal is a number") << "$40,0x30,40,50" << QList<int>{64, 48, 40, 50, 155};
    QTest::newRow("more fields than columns")
        << "40,41,42,43,44,45,46" << QList<int>{40, 41, 42, 43, 44};
    QTest::newRow("empty") << "" << design;
    QTest::newRow("quoted") << "'101,102,103,'" << QList<int>{101, 102, 103, 90, 155};
}

void ConfigurationTest::columnWidths()
{
    QFETCH(QString, col);
    QFETCH(QList<int>, widths);
    AppFixture app;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("c.qvc"));
    writeBytes(path, "[PBCH]\r\nCOL=" + col.toUtf8() + "\r\n");
    app.prog()->KonfigurationLaden(app.prog()->m_konfig_open, path);
    QCOMPARE(widthsOf(app.prog()), widths);
}

void ConfigurationTest::placement_data()
{
    QTest::addColumn<int>("pb");
    QTest::addColumn<int>("ph");
    QTest::addColumn<int>("pt");
    QTest::addColumn<int>("pl");
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    QTest::newRow("all inside the screen") << 520 << 560 << 10 << 20;
    QTest::newRow("top beyond the screen") << 520 << 560 << screen.height() + 1 << 20;
    QTest::newRow("top at the screen's height") << 520 << 560 << screen.height() << 20;
    QTest::newRow("negative left") << 520 << 560 << 10 << -30;
    QTest::newRow("negative top") << 520 << 560 << -12 << 5;
    QTest::newRow("left beyond the screen") << 520 << 560 << 10 << screen.width() + 1;
    QTest::newRow("wider than the screen") << screen.width() + 1 << 560 << 10 << 20;
    QTest::newRow("taller than the screen") << 520 << screen.height() + 1 << 10 << 20;
    // The ends of the range a stored number may take: no sum on the way may overflow.
    const int least = std::numeric_limits<int>::min();
    const int most = std::numeric_limits<int>::max();
    QTest::newRow("top at the least number") << 520 << 560 << least << 20;
    QTest::newRow("left at the least number") << 520 << 560 << 10 << least;
    QTest::newRow("size at the largest number") << most << most << 10 << 20;
    QTest::newRow("top and left at the largest number") << 520 << 560 << most << most;
    QTest::newRow("all at the ends") << most << most << least << least;
}

// The stored size, shrunk where the screen is smaller; then the frame moves in as little as
// keeps it on the screen's available area.
void ConfigurationTest::placement()
{
    QFETCH(int, pb);
    QFETCH(int, ph);
    QFETCH(int, pt);
    QFETCH(int, pl);
    AppFixture app;
    Tprog* p = app.prog();
    p->show();
    QVERIFY(QTest::qWaitForWindowExposed(p));
    // The menu bar and the frame around the client.
    const QSize around = p->frameGeometry().size() - p->client()->size();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("p.qvc"));
    writeBytes(path, QStringLiteral("[SP]\r\nPF=0\r\nPB=%1\r\nPH=%2\r\nPT=%3\r\nPL=%4\r\n")
                         .arg(pb)
                         .arg(ph)
                         .arg(pt)
                         .arg(pl)
                         .toUtf8());
    p->KonfigurationLaden(p->m_konfig_open, path);

    const QSize room = availableArea().size() - around;
    const QSize client = QSize(pb, ph).boundedTo(room);
    const QPoint topLeft = broughtInside(QPoint(pl, pt), client + around);
    QTRY_COMPARE(p->client()->size(), client);
    QTRY_COMPARE(p->frameGeometry().topLeft(), topLeft);
    QVERIFY(!p->isMaximized());

    // What was applied is what a save writes back.
    const QString again = dir.filePath(QStringLiteral("again.qvc"));
    p->KonfigurationSpeichern(p->m_konfig_save, again);
    const qv::ProfileFile written(again);
    QCOMPARE(written.readInteger(QStringLiteral("SP"), QStringLiteral("PB"), 0), client.width());
    QCOMPARE(written.readInteger(QStringLiteral("SP"), QStringLiteral("PH"), 0), client.height());
    QCOMPARE(written.readInteger(QStringLiteral("SP"), QStringLiteral("PT"), 0), topLeft.y());
    QCOMPARE(written.readInteger(QStringLiteral("SP"), QStringLiteral("PL"), 0), topLeft.x());
}

void ConfigurationTest::maximisedFromMenu()
{
    AppFixture app;
    Tprog* p = app.prog();
    p->show();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("max.qvc"));
    writeBytes(path, "[SP]\r\nPF=1\r\nPB=520\r\nPH=560\r\nPT=1\r\nPL=1\r\n");
    app.platform.fileDialogAnswer = path;
    p->m_konfig_open->trigger();
    QCOMPARE(app.platform.fileDialogCalls, 1);
    QVERIFY(p->isMaximized());

    const QString saved = dir.filePath(QStringLiteral("saved.qvc"));
    p->KonfigurationSpeichern(p->m_konfig_save, saved);
    QVERIFY(qv::ProfileFile(saved).readBool(QStringLiteral("SP"), QStringLiteral("PF"), false));

    // A file of a normal window does not restore a maximised one.
    const QString normal = dir.filePath(QStringLiteral("normal.qvc"));
    writeBytes(normal, "[SP]\r\nPF=0\r\nPB=520\r\nPH=560\r\nPT=1\r\nPL=1\r\n");
    p->KonfigurationLaden(p->m_konfig_open, normal);
    QTest::qWait(50);
    QVERIFY(p->isMaximized());
}

void ConfigurationTest::maximisedAtStart()
{
    writeBytes(startConfiguration(), "[SP]\r\nPF=1\r\nPB=520\r\nPH=560\r\nPT=1\r\nPL=1\r\n");
    AppFixture app;
    Tprog* p = app.prog();
    p->show();
    // Loaded while being shown: the maximising waits for the activation, and happens once.
    QVERIFY(!p->isMaximized());
    p->activateWindow();
    QTRY_VERIFY(p->isMaximized());
    p->showNormal();
    p->FormActivate();
    QVERIFY(!p->isMaximized());

    p->showNormal();
    p->FormActivate();
    QVERIFY(!p->isMaximized());
}

// A start configuration placing the window partly off the screen opens it just inside, also
// when the window manager's frame differs from the one guessed before the first showing.
void ConfigurationTest::startPlacementBroughtInside_data()
{
    QTest::addColumn<int>("pt");
    QTest::addColumn<int>("pl");
    const QRect area = availableArea();
    QTest::newRow("on the screen") << area.top() + 120 << area.left() + 100;
    QTest::newRow("title bar above the screen") << area.top() - 200 << area.left() + 100;
    QTest::newRow("title bar below the screen") << area.bottom() - 2 << area.left() + 100;
    QTest::newRow("all but the right end left of the screen") << area.top() + 120 << -5000;
    QTest::newRow("the left end right of the screen") << area.top() + 120 << area.right() - 10;
    QTest::newRow("top and left at the least number")
        << std::numeric_limits<int>::min() << std::numeric_limits<int>::min();
    QTest::newRow("top and left at the largest number")
        << std::numeric_limits<int>::max() << std::numeric_limits<int>::max();
}

void ConfigurationTest::startPlacementBroughtInside()
{
    QFETCH(int, pt);
    QFETCH(int, pl);
    writeBytes(startConfiguration(),
               QStringLiteral("[SP]\r\nPF=0\r\nPT=%1\r\nPL=%2\r\n").arg(pt).arg(pl).toUtf8());
    AppFixture app;
    Tprog* p = app.prog();
    p->show();
    QVERIFY(QTest::qWaitForWindowExposed(p));
    QTRY_COMPARE(p->frameGeometry().topLeft(),
                 broughtInside(QPoint(pl, pt), p->frameGeometry().size()));
}

void ConfigurationTest::autosaveMarks_data()
{
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<bool>("startNie");
    QTest::addColumn<bool>("nie");
    QTest::addColumn<bool>("immer");
    QTest::newRow("both set") << QByteArray("N=1\r\nA=1\r\n") << true << true << true;
    QTest::newRow("Immer") << QByteArray("N=0\r\nA=1\r\n") << true << false << true;
    QTest::newRow("neither") << QByteArray("N=0\r\nA=0\r\n") << true << false << false;
    QTest::newRow("missing keys keep the marks") << QByteArray() << false << false << true;
    QTest::newRow("not a number keeps the mark") << QByteArray("N=ja\r\n") << true << true << false;
}

void ConfigurationTest::autosaveMarks()
{
    QFETCH(QByteArray, section);
    QFETCH(bool, startNie);
    QFETCH(bool, nie);
    QFETCH(bool, immer);
    AppFixture app;
    Tprog* p = app.prog();
    if (startNie)
        p->m_konfig_autosave_nie->trigger();
    else
        p->m_konfig_autosave_alles->trigger();
    QCOMPARE(p->m_konfig_autosave_nie->isChecked(), startNie);
    QCOMPARE(p->m_konfig_autosave_alles->isChecked(), !startNie);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("as.qvc"));
    writeBytes(path, "[AS]\r\n" + section);
    p->KonfigurationLaden(p->m_konfig_open, path);
    QCOMPARE(p->m_konfig_autosave_nie->isChecked(), nie);
    QCOMPARE(p->m_konfig_autosave_alles->isChecked(), immer);

    // Only "Immer" decides whether closing saves.
    p->show();
    QVERIFY(p->close());
    QCOMPARE(QFileInfo::exists(startConfiguration()), immer);
}

void ConfigurationTest::optionsStoredWhenSet_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("choice"); // item, or whether it is checked
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("atDefault");
    const auto row = [](const char* control, int choice, const char* stored,
                        const char* byDefault) {
        QTest::newRow(control) << control << choice << stored << byDefault;
    };
    row("datumsquelle", 2, "takenormodified", "today");
    row("stellen", 3, "3", "0");
    row("cb_regex", 1, "1", "0");
    row("cb_gross", 0, "0", "1");
    row("schreibung", 4, "words", "keep");
    row("cb_endungklein", 1, "1", "0");
    row("m_natuerlich", 1, "1", "0");
}

// A file of the usual settings stays as it was (designStateFile). An option set is stored under a
// key of its own and survives a load; a file without the key loads the default; saved back at its
// default over a file that has the key, the key takes the default.
void ConfigurationTest::optionsStoredWhenSet()
{
    QFETCH(QString, control);
    QFETCH(int, choice);
    QFETCH(QString, stored);
    QFETCH(QString, atDefault);
    AppFixture app;
    Tprog* p = app.prog();
    auto* combo = p->findChild<QComboBox*>(control);
    QObject* checkable = combo ? nullptr : p->findChild<QObject*>(control);
    const auto value = [&] {
        return combo ? combo->currentIndex() : checkable->property("checked").toInt();
    };
    const auto set = [&](int to) {
        combo ? combo->setCurrentIndex(to) : void(checkable->setProperty("checked", bool(to)));
    };
    const int byDefault = value();
    QTemporaryDir dir;
    const QString with = dir.filePath(QStringLiteral("with.qvc"));
    const QString without = dir.filePath(QStringLiteral("without.qvc"));
    p->KonfigurationSpeichern(p->m_konfig_save, without);
    set(choice);
    p->KonfigurationSpeichern(p->m_konfig_save, with);
    QVERIFY(fileText(with).endsWith(QStringLiteral("[OP]\r\n%1=%2\r\n").arg(control, stored)));
    p->KonfigurationLaden(p->m_konfig_open, without);
    QCOMPARE(value(), byDefault);
    p->KonfigurationLaden(p->m_konfig_open, with);
    QCOMPARE(value(), choice);
    set(byDefault);
    p->KonfigurationSpeichern(p->m_konfig_save, with);
    QVERIFY(fileText(with).endsWith(QStringLiteral("[OP]\r\n%1=%2\r\n").arg(control, atDefault)));
}

void ConfigurationTest::checkBoxHandlersRun()
{
    AppFixture app;
    Tprog* p = app.prog();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cb.qvc"));
    writeBytes(path, "[PBCH]\r\ncb_dat=0\r\ncb_suchendung=1\r\ncb_suchname=0\r\n"
                     "act_maske=1\r\n[PFCH]\r\nuv=0\r\n");
    QStringList clicked;
    for (QCheckBox* box : {p->cb_dat, p->cb_suchendung, p->cb_suchname, p->act_maske,
                           p->act_suchenersetzen, qv::quorvel_filter->uv})
        connect(box, &QCheckBox::clicked, box, [&clicked, box] { clicked << box->objectName(); });
    p->KonfigurationLaden(p->m_konfig_open, path);
    QCOMPARE(clicked, (QStringList{"cb_dat", "act_maske", "cb_suchendung", "cb_suchname", "uv"}));
    QVERIFY(!p->cb_dat->isChecked());
    QVERIFY(p->cb_dir->isChecked());
    QVERIFY(p->act_maske->isChecked());
    QVERIFY(p->cb_suchendung->isChecked());
    QVERIFY(!p->cb_suchname->isChecked());
    QVERIFY(!qv::quorvel_filter->uv->isChecked());
    // Whatever the file says about them, the option panels end hidden.
    QVERIFY(p->pa2->isHidden());
    QVERIFY(p->pa1->isHidden());
}

void ConfigurationTest::radioButtons_data()
{
    QTest::addColumn<bool>("startAuswahl");
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<bool>("auswahl");
    QTest::newRow("both set") << false << QByteArray("alle=1\r\nauswahl=1\r\n") << true;
    QTest::newRow("both set, auswahl already")
        << true << QByteArray("alle=1\r\nauswahl=1\r\n") << true;
    QTest::newRow("alle") << true << QByteArray("alle=1\r\nauswahl=0\r\n") << false;
    QTest::newRow("auswahl") << false << QByteArray("alle=0\r\nauswahl=1\r\n") << true;
    QTest::newRow("neither keeps the choice")
        << true << QByteArray("alle=0\r\nauswahl=0\r\n") << true;
    QTest::newRow("missing") << true << QByteArray() << true;
}

void ConfigurationTest::radioButtons()
{
    QFETCH(bool, startAuswahl);
    QFETCH(QByteArray, section);
    QFETCH(bool, auswahl);
    AppFixture app;
    Tquorvel_filter* f = qv::quorvel_filter;
    if (startAuswahl)
        QTest::mouseClick(f->auswahl, Qt::LeftButton);
    QCOMPARE(f->auswahl->isChecked(), startAuswahl);
    QCOMPARE(f->filter->isEnabled(), startAuswahl);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("rb.qvc"));
    writeBytes(path, "[PFRB]\r\n" + section);
    app.prog()->KonfigurationLaden(app.prog()->m_konfig_open, path);
    QCOMPARE(f->auswahl->isChecked(), auswahl);
    QCOMPARE(f->alle->isChecked(), !auswahl);
    QCOMPARE(f->filter->isEnabled(), auswahl);
}

void ConfigurationTest::savingKeepsUnknownEntries_data()
{
    QTest::addColumn<bool>("utf16");
    QTest::newRow("UTF-16 file") << true;
    QTest::newRow("8-bit file") << false;
}

void ConfigurationTest::savingKeepsUnknownEntries()
{
    QFETCH(bool, utf16);
    AppFixture app;
    Tprog* p = app.prog();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("old.qvc"));
    const QString before = QStringLiteral("; kept comment\r\n[Fremd]\r\nschl\u00fcssel=wert\r\n"
                                          "[pbed]\r\nSUCHENALT=alt\r\nunbekannt=1\r\n");
    writeBytes(path, utf16 ? utf16File(before) : before.toUtf8());
    p->suchenalt->setText(QStringLiteral("neu"));
    p->KonfigurationSpeichern(p->m_konfig_save, path);

    const QByteArray bytes = readBytes(path);
    QCOMPARE(bytes.startsWith("\xFF\xFE"), utf16);
    const QString after = fileText(path);
    QVERIFY(after.startsWith(QStringLiteral("; kept comment\r\n[Fremd]\r\nschl\u00fcssel=wert\r\n"
                                            "[pbed]\r\nSUCHENALT=neu\r\nunbekannt=1\r\n"
                                            "quordner=\r\nsuchenneu=\r\n[PBPA]\r\n")));
    const qv::ProfileFile file(path);
    QCOMPARE(file.readString(QStringLiteral("FREMD"), QStringLiteral("Schl\u00fcssel"), {}),
             QStringLiteral("wert"));
    QCOMPARE(file.readString(QStringLiteral("AS"), QStringLiteral("N"), {}), QStringLiteral("1"));
    QCOMPARE(after.count(QStringLiteral("suchenalt="), Qt::CaseInsensitive), 1);
}

void ConfigurationTest::imageNameWrittenAs8Bit()
{
    AppFixture app;
    Tprog* p = app.prog();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("x.jpg"));
    p->quordner->setText(QStringLiteral("/tmp/\u00c4rger"));
    p->KonfigurationSpeichern(p->m_konfig_save, path);
    const QByteArray bytes = readBytes(path);
    QVERIFY(bytes.startsWith("[PBPA]\r\nPanel6=1\r\n"));
    QVERIFY(bytes.contains("\r\nquordner=/tmp/\xC3\x84rger\r\n"));

    p->quordner->clear();
    p->KonfigurationLaden(p->m_konfig_open, path);
    QCOMPARE(p->quordner->text(), QStringLiteral("/tmp/\u00c4rger"));
}

void ConfigurationTest::missingFileLoadsAsEmpty()
{
    AppFixture app;
    Tprog* p = app.prog();
    p->show();
    p->suchenalt->setText(QStringLiteral("abc"));
    p->act_suchenersetzen->click();
    p->pa1->show();
    p->cb_dir->setChecked(false);
    p->qulist->setColumnWidth(1, 77);
    qv::quorvel_filter->filter->setText(QStringLiteral("png"));
    const QSize client = p->client()->size();
    // The language has changed without being applied; the load applies it.
    qv::setLanguageCode(QStringLiteral("en"));
    QTemporaryDir dir;
    app.platform.fileDialogAnswer = dir.filePath(QStringLiteral("nothing.qvc"));
    p->m_konfig_open->trigger();

    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("nothing.qvc"))));
    QCOMPARE(p->suchenalt->text(), QStringLiteral("abc"));
    QVERIFY(p->act_suchenersetzen->isChecked());
    QVERIFY(!p->cb_dir->isChecked());
    QCOMPARE(p->qulist->columnWidth(1), 77);
    QCOMPARE(qv::quorvel_filter->filter->text(), QStringLiteral("png"));
    QCOMPARE(p->client()->size(), client);
    QVERIFY(p->pa1->isHidden());
    QVERIFY(p->pa2->isHidden());
    QCOMPARE(p->m_konfig_save->text(), QStringLiteral("Save Configuration.."));
    QVERIFY(app.platform.errors.isEmpty());
}

void ConfigurationTest::saveFailures_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("error");
    QTest::newRow("folder of that name") << "folder.qvc"
                                         << "Unable to write to %1";
    QTest::newRow("parent is a file") << "plain/a.qvc"
                                      << "Cannot create file \"%1\". ";
    QTest::newRow("parent missing") << "missing/a.qvc"
                                    << "Cannot create file \"%1\". ";
}

void ConfigurationTest::saveFailures()
{
    QFETCH(QString, name);
    QFETCH(QString, error);
    AppFixture app;
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.qvc")));
    writeBytes(dir.filePath(QStringLiteral("plain")), "x");
    const QString path = dir.filePath(name);
    app.platform.fileDialogAnswer = path;
    app.prog()->m_konfig_save->trigger();
    QCOMPARE(app.platform.errors.size(), 1);
    QVERIFY2(app.platform.errors.first().startsWith(error.arg(path)),
             qPrintable(app.platform.errors.first()));
    QCOMPARE(readBytes(dir.filePath(QStringLiteral("plain"))), QByteArray("x"));
    QVERIFY(QFileInfo(dir.filePath(QStringLiteral("folder.qvc"))).isDir());
}

void ConfigurationTest::writeProtectedFile()
{
#ifdef Q_OS_UNIX
    if (geteuid() == 0)
        QSKIP("permissions do not bind the superuser; stopsAtEntryThatCannotBeWritten covers it");
#endif
    AppFixture app;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ro.qvc"));
    const QByteArray before = utf16File(QStringLiteral("[PBED]\r\nsuchenalt=alt\r\n"));
    writeBytes(path, before);
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner));
    app.platform.fileDialogAnswer = path;
    app.prog()->m_konfig_save->trigger();
    QCOMPARE(app.platform.errors, QStringList{QStringLiteral("Unable to write to ") + path});
    QCOMPARE(readBytes(path), before);
}

// A file size limit makes a write fail half-way through a save, whoever runs the test.
void ConfigurationTest::stopsAtEntryThatCannotBeWritten()
{
#ifdef Q_OS_UNIX
    AppFixture app;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("limit.qvc"));
    app.platform.fileDialogAnswer = path;

    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit limited = old;
    limited.rlim_cur = 200;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
    app.prog()->m_konfig_save->trigger();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    QCOMPARE(app.platform.errors, QStringList{QStringLiteral("Unable to write to ") + path});
    // Written control by control: the entries before the one that overflows stay, intact.
    QCOMPARE(readBytes(path), utf16File(QStringLiteral(
                                  "[PBPA]\r\nPanel6=1\r\nPanel7=1\r\nPanel1=1\r\nPanel2=1\r\n"
                                  "[PBED]\r\nquordner=\r\n[PBCH]\r\ncb_dat=1\r\ncb_dir=1\r\n")));
#else
    QSKIP("needs a file size limit");
#endif
}

// However many entries: a load opens the file once, a save opens it once and writes it once.
void ConfigurationTest::oneReadPerLoadOneWritePerSave()
{
    AppFixture app;
    Tprog* p = app.prog();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("once.qvc"));
    p->KonfigurationSpeichern(p->m_konfig_save, path);
    FileAccess access(path);
    if (!access.isValid())
        QSKIP("needs inotify to see the file being opened");

    p->suchenalt->setText(QStringLiteral("neu"));
    p->KonfigurationSpeichern(p->m_konfig_save, path);
    const FileAccess::Counts saved = access.take();
    QCOMPARE(saved.opens, 1);
    QCOMPARE(saved.writes, 1);

    p->suchenalt->clear();
    p->KonfigurationLaden(p->m_konfig_open, path);
    const FileAccess::Counts loaded = access.take();
    QCOMPARE(loaded.opens, 1);
    QCOMPARE(loaded.writes, 0);
    QCOMPARE(p->suchenalt->text(), QStringLiteral("neu"));
}

// A file of more than a mebibyte is no configuration of ours: loading it reads nothing and changes
// nothing, saving into it fails and leaves every byte as it was.
void ConfigurationTest::oversizedFileLeftAlone()
{
    AppFixture app;
    Tprog* p = app.prog();
    p->show();
    QVERIFY(QTest::qWaitForWindowExposed(p));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.qvc"));
    const QByteArray content =
        "[PBED]\r\nsuchenalt=geladen\r\n[PBCH]\r\nCOL=31,32,33,\r\n"
        "[SP]\r\nPF=0\r\nPB=520\r\nPH=560\r\nPT=10\r\nPL=20\r\n[AS]\r\nN=0\r\nA=1\r\n;" +
        QByteArray(1 << 20, 'x') + "\r\n";
    writeBytes(path, content);
    const QList<int> widths = widthsOf(p);
    const QSize client = p->client()->size();
    FileAccess access(path);

    p->KonfigurationLaden(p->m_konfig_open, path);
    QCOMPARE(p->suchenalt->text(), QString());
    QCOMPARE(widthsOf(p), widths);
    QCOMPARE(p->client()->size(), client);
    QVERIFY(p->m_konfig_autosave_nie->isChecked());
    QVERIFY(!p->m_konfig_autosave_alles->isChecked());
    if (access.isValid())
        QCOMPARE(access.take().reads, 0);

    app.platform.fileDialogAnswer = path;
    p->m_konfig_save->trigger();
    QCOMPARE(app.platform.errors, QStringList{QStringLiteral("Unable to write to ") + path});
    QCOMPARE(readBytes(path), content);
}

void ConfigurationTest::fileDialogs_data()
{
    QTest::addColumn<bool>("save");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("file");
    QTest::newRow("save: name without extension") << true << "test"
                                                  << "test.qvc";
    QTest::newRow("save: other extension kept") << true << "test.cfg"
                                                << "test.cfg";
    QTest::newRow("save: qvc") << true << "test.qvc"
                               << "test.qvc";
    QTest::newRow("save: cancelled") << true << ""
                                     << "";
    QTest::newRow("load: name without extension") << false << "test"
                                                  << "test.qvc";
    QTest::newRow("load: cancelled") << false << ""
                                     << "";
}

void ConfigurationTest::fileDialogs()
{
    QFETCH(bool, save);
    QFETCH(QString, answer);
    QFETCH(QString, file);
    AppFixture app;
    Tprog* p = app.prog();
    QCOMPARE(p->sd_konfig->defaultSuffix(), QStringLiteral("qvc"));
    QCOMPARE(p->od_konfig->defaultSuffix(), QStringLiteral("qvc"));
    QTemporaryDir dir;
    app.platform.fileDialogAnswer = answer.isEmpty() ? QString() : dir.filePath(answer);
    if (save) {
        p->suchenneu->setText(QStringLiteral("gespeichert"));
        p->m_konfig_save->trigger();
        const QStringList files = QDir(dir.path()).entryList(QDir::Files);
        QCOMPARE(files, file.isEmpty() ? QStringList() : QStringList{file});
        if (!file.isEmpty())
            QCOMPARE(qv::ProfileFile(dir.filePath(file))
                         .readString(QStringLiteral("PBED"), QStringLiteral("suchenneu"), {}),
                     QStringLiteral("gespeichert"));
    } else {
        writeBytes(dir.filePath(QStringLiteral("test.qvc")), "[PBED]\r\nsuchenneu=geladen\r\n");
        p->m_konfig_open->trigger();
        QCOMPARE(p->suchenneu->text(), file.isEmpty() ? QString() : QStringLiteral("geladen"));
    }
    QCOMPARE(app.platform.fileDialogCalls, 1);
    QVERIFY(app.platform.errors.isEmpty());
}

// Each dialog is made when it is first used, in the language of that moment, and then kept.
void ConfigurationTest::fileDialogsMadeOnFirstUse()
{
    AppFixture app(QStringLiteral("en"));
    Tprog* p = app.prog();
    QVERIFY(p->findChildren<QFileDialog*>().isEmpty());
    p->Deutsch1Click();
    QVERIFY(p->findChildren<QFileDialog*>().isEmpty());

    p->m_konfig_save->trigger();
    auto* save = p->findChild<QFileDialog*>(QStringLiteral("sd_konfig"));
    QVERIFY(save);
    QVERIFY(!p->findChild<QFileDialog*>(QStringLiteral("od_konfig")));
    QCOMPARE(save->nameFilters(), QStringList{"Quorvel Konfiguration (*.qvc)"});
    QCOMPARE(save->acceptMode(), QFileDialog::AcceptSave);
    QVERIFY(save->testOption(QFileDialog::DontConfirmOverwrite));

    p->Englisch1Click();
    QCOMPARE(save->nameFilters(), QStringList{"Quorvel Configuration (*.qvc)"});
    p->m_konfig_open->trigger();
    auto* open = p->findChild<QFileDialog*>(QStringLiteral("od_konfig"));
    QVERIFY(open);
    QCOMPARE(open->nameFilters(), QStringList{"Quorvel Configuration (*.qvc)"});
    QCOMPARE(open->acceptMode(), QFileDialog::AcceptOpen);
    QCOMPARE(open->fileMode(), QFileDialog::AnyFile);
    QCOMPARE(open->defaultSuffix(), QStringLiteral("qvc"));

    p->m_konfig_save->trigger();
    p->m_konfig_open->trigger();
    QCOMPARE(p->findChildren<QFileDialog*>().size(), 2);
    QCOMPARE(app.platform.fileDialogCalls, 4);
}

void ConfigurationTest::startConfigurationBesideExecutable()
{
    QCOMPARE(Tprog::startConfigurationPath(), startConfiguration());
    AppFixture app;
    Tprog* p = app.prog();
    p->suchenalt->setText(QStringLiteral("start"));
    p->m_konfig_alsstart->trigger();
    QVERIFY(app.platform.errors.isEmpty());
    QVERIFY(readBytes(startConfiguration()).startsWith("\xFF\xFE[\0P\0B\0P\0A\0]\0"));
    QCOMPARE(qv::ProfileFile(startConfiguration())
                 .readString(QStringLiteral("PBED"), QStringLiteral("suchenalt"), {}),
             QStringLiteral("start"));

    // Loading another file through the menu leaves the start configuration alone.
    const QByteArray saved = readBytes(startConfiguration());
    QTemporaryDir dir;
    writeBytes(dir.filePath(QStringLiteral("other.qvc")), "[PBED]\r\nsuchenalt=anders\r\n");
    app.platform.fileDialogAnswer = dir.filePath(QStringLiteral("other.qvc"));
    p->m_konfig_open->trigger();
    QCOMPARE(p->suchenalt->text(), QStringLiteral("anders"));
    QCOMPARE(readBytes(startConfiguration()), saved);
}

void ConfigurationTest::folderNamedAutoQvc()
{
    QVERIFY(QDir().mkdir(startConfiguration()));
    AppFixture app;
    Tprog* p = app.prog();
    p->show();
    QVERIFY(p->isVisible());
    QVERIFY(app.platform.errors.isEmpty());
    p->FormActivate();
    QVERIFY(!p->isMaximized());

    const QString error = QStringLiteral("Unable to write to ") + startConfiguration();
    p->m_konfig_alsstart->trigger();
    QCOMPARE(app.platform.errors, QStringList{error});

    // The failing automatic save keeps the window open, every time.
    p->m_konfig_autosave_alles->trigger();
    QVERIFY(!p->close());
    QVERIFY(p->isVisible());
    QVERIFY(!p->close());
    QCOMPARE(app.platform.errors, (QStringList{error, error, error}));
    p->m_konfig_autosave_nie->trigger();
    QVERIFY(p->close());
    QCOMPARE(app.platform.errors.size(), 3);
    QVERIFY(QFileInfo(startConfiguration()).isDir());
}

void ConfigurationTest::immerThenCloseThenNextStart()
{
    {
        AppFixture app;
        Tprog* p = app.prog();
        p->show();
        QVERIFY(!QFileInfo::exists(startConfiguration()));
        p->m_konfig_autosave_alles->trigger();
        QVERIFY(p->m_konfig_autosave_alles->isChecked());
        QVERIFY(!p->m_konfig_autosave_nie->isChecked());
        p->suchenalt->setText(QStringLiteral("beim Schlie\u00dfen"));
        QVERIFY(p->close());
        const qv::ProfileFile file(startConfiguration());
        QCOMPARE(file.readString(QStringLiteral("AS"), QStringLiteral("A"), {}),
                 QStringLiteral("1"));
        QCOMPARE(file.readString(QStringLiteral("AS"), QStringLiteral("N"), {}),
                 QStringLiteral("0"));
    }
    AppFixture next;
    Tprog* p = next.prog();
    // Nothing is loaded before the first showing.
    QVERIFY(!p->m_konfig_autosave_alles->isChecked());
    p->show();
    QVERIFY(p->m_konfig_autosave_alles->isChecked());
    QVERIFY(!p->m_konfig_autosave_nie->isChecked());
    QCOMPARE(p->suchenalt->text(), QStringLiteral("beim Schlie\u00dfen"));
    QVERIFY(p->pa1->isHidden());
}

void ConfigurationTest::nieBeforeCloseKeepsStartConfiguration()
{
    writeBytes(startConfiguration(), utf16File(QStringLiteral("[AS]\r\nN=0\r\nA=1\r\n")));
    const QByteArray saved = readBytes(startConfiguration());
    {
        AppFixture app;
        app.prog()->show();
        QVERIFY(app.prog()->m_konfig_autosave_alles->isChecked());
        app.prog()->m_konfig_autosave_nie->trigger();
        QVERIFY(app.prog()->close());
    }
    QCOMPARE(readBytes(startConfiguration()), saved);
    AppFixture next;
    next.prog()->show();
    QVERIFY(next.prog()->m_konfig_autosave_alles->isChecked());
}

void ConfigurationTest::beendenDoesNotSave()
{
    AppFixture app;
    app.start()->show();
    app.prog()->show();
    app.prog()->m_konfig_autosave_alles->trigger();
    app.prog()->m_close->trigger();
    QVERIFY(!app.start()->isVisible());
    QVERIFY(!QFileInfo::exists(startConfiguration()));
}

QTEST_MAIN(ConfigurationTest)
#include "tst_configuration.moc"
