#pragma once

#include <QPointer>

#include <functional>

namespace qv {

// A component made when it is first asked for and kept from then on; its owner (the Qt parent
// the factory gives it) destroys it.
template <typename T> class OnDemand
{
public:
    void setFactory(std::function<T*()> make) { m_make = std::move(make); }

    // The component, made now if it does not exist yet.
    T* get()
    {
        if (!m_object)
            m_object = m_make();
        return m_object;
    }
    T* operator->() { return get(); }

    // The component when it has been made, else nullptr; never makes it.
    T* ifMade() const { return m_object; }

private:
    std::function<T*()> m_make;
    QPointer<T> m_object;
};

} // namespace qv
