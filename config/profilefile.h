#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>
#include <stdexcept>

namespace qv {

// A failure to create or write a settings file; message() is the text shown to the user.
class ProfileError : public std::runtime_error
{
public:
    explicit ProfileError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {
    }
    QString message() const { return m_message; }

private:
    QString m_message;
};

// Larger files are no settings files of ours. Reading one whole could freeze the window or exhaust
// memory, so loads treat them as unreadable and saves leave them alone.
inline constexpr qint64 MaxProfileSize = 1 << 20;

// A sectioned key=value settings file in the classic profile format: CRLF lines, sections and
// keys compared without regard to case, UTF-16LE when the file starts with a byte order mark and
// UTF-8 otherwise. Every call opens the file, does its work and closes it again, whatever the
// file's size; writing updates the file in place and keeps every line it does not touch.
// Loading or saving many keys at once goes through ProfileSnapshot and ProfileUpdate instead.
class ProfileFile
{
public:
    explicit ProfileFile(const QString& fileName);

    // Creates the file holding only the UTF-16LE byte order mark when it does not exist yet
    // (not for ".bmp", ".gif", ".jpg", ".jpeg"). Throws "Cannot create file \"%s\". %s".
    void createIfMissing() const;

    QString readString(const QString& section, const QString& key, const QString& def) const;
    int readInteger(const QString& section, const QString& key, int def) const;
    bool readBool(const QString& section, const QString& key, bool def) const;

    // Throw "Unable to write to %s" when the file cannot be written.
    void writeString(const QString& section, const QString& key, const QString& value) const;
    void writeInteger(const QString& section, const QString& key, int value) const;
    void writeBool(const QString& section, const QString& key, bool value) const;

    // Adds one more pair of outer quotes to a text that begins and ends with the same quote.
    static QString protectQuotes(const QString& text);

    // The file format on bytes already in memory; the members above are these plus the disk.
    // The value of the key as readString returns it, or nothing when section or key is missing.
    static std::optional<QString> valueIn(const QByteArray& content, const QString& section,
                                          const QString& key);
    // The content with the key set to value; every byte outside the changed line stays as it was.
    static QByteArray withValue(const QByteArray& content, const QString& section,
                                const QString& key, const QString& value);
    // A stored value as readInteger reads it: decimal with optional sign, or hexadecimal after
    // "0x", "0X" or "$"; anything else gives def.
    static int toInteger(const QString& value, int def);

private:
    QString m_fileName;
};

// The content of a settings file read once; reads answer from memory as ProfileFile's do.
class ProfileSnapshot
{
public:
    // A missing or unreadable file, or one of more than maxSize bytes, reads as empty.
    explicit ProfileSnapshot(const QString& fileName, qint64 maxSize = MaxProfileSize);

    QString readString(const QString& section, const QString& key, const QString& def) const;
    int readInteger(const QString& section, const QString& key, int def) const;
    bool readBool(const QString& section, const QString& key, bool def) const;

private:
    std::optional<QString> value(const QString& section, const QString& key) const;

    QByteArray m_content;
    // The text of a UTF-16 file, decoded once instead of on every read.
    QString m_utf16Text;
    bool m_utf16 = false;
};

// Key writes collected in memory and put into the file by commit() with one read and one write.
// The file ends exactly as after the same ProfileFile writes one by one, also when one fails.
class ProfileUpdate
{
public:
    explicit ProfileUpdate(const QString& fileName, qint64 maxSize = MaxProfileSize);

    void writeString(const QString& section, const QString& key, const QString& value);
    void writeInteger(const QString& section, const QString& key, int value);
    void writeBool(const QString& section, const QString& key, bool value);
    // Writes the value only where the file holds the key already: a setting that is stored only
    // when it differs from its default leaves files without it as they are.
    void writeBoolIfPresent(const QString& section, const QString& key, bool value);
    void writeStringIfPresent(const QString& section, const QString& key, const QString& value);

    // Throws "Unable to write to %s" when the file cannot be written, is larger than maxSize or
    // would grow beyond it. The writes before the one that failed are then in the file and the
    // others are not, as when the writes are made one by one.
    void commit();

private:
    struct Write
    {
        QString section;
        QString key;
        QString value;
        bool onlyIfPresent = false;
    };
    static QByteArray applied(const QByteArray& content, const Write& write);

    QString m_fileName;
    qint64 m_maxSize;
    QList<Write> m_writes;
};

} // namespace qv
