#pragma once

#include "rename/journal.h"

#include <QByteArray>
#include <QString>
#include <QVector>

#include <vector>

namespace qv {

// The journal's file: a header line, then records, each written whole by one write.
extern const QByteArray journalHeader;

// A rename about to be made, with the file it moves.
void appendMoveRecord(QByteArray& out, QByteArrayView from, QByteArrayView to,
                      const FileIdentity& file);
QByteArray moveRecord(const QByteArray& from, const QByteArray& to, const FileIdentity& file);
// What the rename of step number `step` met on its way: a temporary name, a placeholder about
// to be made (at a time in nanoseconds), and the placeholder once made.
QByteArray passageRecord(quint32 step, const QByteArray& path);
QByteArray reservingRecord(quint32 step, const QByteArray& path, qint64 at);
QByteArray reservedRecord(quint32 step, const QByteArray& path, quint64 device, quint64 inode);
// Renames written ahead that will not be made.
QByteArray cancelRecord(const std::vector<quint32>& steps);

// The file's bytes; false when there is no journal, or (with `problem` set) when it is no
// regular file or larger than any run writes.
bool readJournalFile(const QString& fileName, QByteArray* content, JournalProblem* problem);
// The steps of a journal's bytes; false when a record holds what no run writes.
bool parseJournal(const QByteArray& content, QVector<JournalStep>* steps);

} // namespace qv
