#pragma once

#include <QHashFunctions>
#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <vector>

namespace qv {

// The names of one folder, each with a small value, in one buffer of text and one table of
// slots: a folder of a million files costs two allocations rather than three per name. A name
// taken out leaves its text behind until the table grows, which keeps only the names in use.
template <typename Value> class NameTable
{
public:
    // Null when the name is not in the table.
    const Value* find(QStringView name) const
    {
        if (m_slots.empty())
            return nullptr;
        const quint32 hash = hashOf(name);
        for (size_t i = hash & m_mask;; i = (i + 1) & m_mask) {
            const Slot& slot = m_slots[i];
            if (slot.state == Empty)
                return nullptr;
            if (slot.state == Used && slot.hash == hash && textOf(slot) == name)
                return &slot.value;
        }
    }

    Value value(QStringView name) const
    {
        const Value* found = find(name);
        return found ? *found : Value{};
    }

    // Adds the name, or gives it the new value when it is there already.
    void insert(QStringView name, const Value& value)
    {
        const quint32 hash = hashOf(name);
        if (Slot* slot = slotOf(name, hash)) {
            slot->value = value;
            return;
        }
        if ((m_filled + 1) * 5 > qsizetype(m_slots.size()) * 4)
            grow(m_live + 1);
        Slot slot{hash, quint32(m_text.size()), quint32(name.size()), Used, value};
        m_text.append(name);
        place(m_slots, m_mask, slot);
        ++m_filled;
        ++m_live;
    }

    void remove(QStringView name)
    {
        if (Slot* slot = slotOf(name, hashOf(name))) {
            slot->state = Removed;
            --m_live;
        }
    }

private:
    enum State : quint8
    {
        Empty,
        Used,
        Removed
    };
    struct Slot
    {
        quint32 hash = 0;
        quint32 offset = 0;
        quint32 length = 0;
        State state = Empty;
        Value value{};
    };

    static quint32 hashOf(QStringView name) { return quint32(qHash(name)); }

    QStringView textOf(const Slot& slot) const
    {
        return QStringView(m_text).sliced(slot.offset, slot.length);
    }

    Slot* slotOf(QStringView name, quint32 hash)
    {
        if (m_slots.empty())
            return nullptr;
        for (size_t i = hash & m_mask;; i = (i + 1) & m_mask) {
            Slot& slot = m_slots[i];
            if (slot.state == Empty)
                return nullptr;
            if (slot.state == Used && slot.hash == hash && textOf(slot) == name)
                return &slot;
        }
    }

    static void place(std::vector<Slot>& table, size_t mask, const Slot& slot)
    {
        for (size_t i = slot.hash & mask;; i = (i + 1) & mask) {
            if (table[i].state == Empty) {
                table[i] = slot;
                return;
            }
        }
    }

    // Room for twice the names in use, so that names taken out and added again (a rename)
    // fill the table slowly; the names in use move into a new buffer when some were taken out.
    void grow(qsizetype names)
    {
        size_t capacity = 16;
        while (qsizetype(capacity) < names * 2)
            capacity *= 2;
        std::vector<Slot> table(capacity);
        const bool compact = m_live < m_filled;
        QString text;
        if (compact)
            text.reserve(m_text.size() / m_filled * m_live + 64);
        for (Slot slot : m_slots) {
            if (slot.state != Used)
                continue;
            if (compact) {
                const QStringView name = textOf(slot);
                slot.offset = quint32(text.size());
                text.append(name);
            }
            place(table, capacity - 1, slot);
        }
        m_slots.swap(table);
        if (compact)
            m_text.swap(text);
        m_mask = capacity - 1;
        m_filled = m_live;
    }

    QString m_text;
    std::vector<Slot> m_slots;
    size_t m_mask = 0;
    // Slots taken, by names in use and by names taken out again.
    qsizetype m_filled = 0;
    qsizetype m_live = 0;
};

} // namespace qv
