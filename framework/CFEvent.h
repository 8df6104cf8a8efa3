// CFEvent.h: event lists. Each holds owned delegates and calls them all, in insertion order,
// when the event is fired.
//
// Handlers often change the list they are called from (a button's handler closes the screen
// that owns the button, or unsubscribes itself), so firing is safe against that:
// - a delegate removed while the list fires is not called any more and is freed after the fire;
// - a delegate added while the list fires is first called by the next fire;
// - a list destroyed by one of its own handlers stops firing at once.
#pragma once

#include "framework/CFDelegate.h"

#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

template <typename D>
class CFEventList {
public:
    explicit CFEventList(D* first = nullptr) : m_pAlive(std::make_shared<bool>(true)) { Add(first); }
    ~CFEventList() { *m_pAlive = false; }
    CFEventList(const CFEventList&) = delete;
    CFEventList& operator=(const CFEventList&) = delete;

    // Takes ownership; a null delegate is ignored. No duplicate test: the same handler added
    // twice is called twice.
    void Add(D* delegate)
    {
        if (delegate == nullptr)
            return;
        m_delegates.emplace_back(delegate);
        ++m_nCount;
    }

    // Removes and frees the first delegate equal to `delegate` (same class, object and method).
    bool Remove(const D& delegate)
    {
        for (std::unique_ptr<D>& entry : m_delegates) {
            if (entry == nullptr || !entry->Compare(delegate))
                continue;
            --m_nCount;
            if (m_nFiring == 0) {
                entry.reset();
                Compact();
            } else {
                // Its Invoke may be running right now: keep it alive until the fire ends.
                m_removed.push_back(std::move(entry));
            }
            return true;
        }
        return false;
    }

    bool IsEmpty() const { return m_nCount == 0; }
    int GetCount() const { return m_nCount; }

protected:
    template <typename Call>
    void FireWith(const Call& call)
    {
        const std::shared_ptr<bool> alive = m_pAlive;
        const std::size_t count = m_delegates.size();  // later additions wait for the next fire
        ++m_nFiring;
        for (std::size_t i = 0; i < count; ++i) {
            D* delegate = m_delegates[i].get();
            if (delegate == nullptr)
                continue;
            call(*delegate);
            if (!*alive)
                return;  // a handler destroyed this list: touch nothing of it
        }
        if (--m_nFiring == 0 && !m_removed.empty()) {
            m_removed.clear();
            Compact();
        }
    }

private:
    void Compact()
    {
        std::vector<std::unique_ptr<D>> kept;
        kept.reserve(m_delegates.size());
        for (std::unique_ptr<D>& entry : m_delegates)
            if (entry != nullptr)
                kept.push_back(std::move(entry));
        m_delegates.swap(kept);
    }

    std::vector<std::unique_ptr<D>> m_delegates;  // null where removed during a fire
    std::vector<std::unique_ptr<D>> m_removed;    // freed when the outermost fire ends
    std::shared_ptr<bool> m_pAlive;               // false once destroyed, seen by running fires
    int m_nCount = 0;
    int m_nFiring = 0;
};

class CFEvent0 : public CFEventList<IDelegate0<void>> {
public:
    using Delegate = IDelegate0<void>;
    explicit CFEvent0(Delegate* first = nullptr) : CFEventList(first) {}

    CFEvent0& operator+=(Delegate* delegate)
    {
        Add(delegate);
        return *this;
    }
    void Fire() { FireWith([](Delegate& d) { d.Invoke(); }); }
};

template <typename A>
class CFEvent1 : public CFEventList<IDelegate1<void, A>> {
public:
    using Delegate = IDelegate1<void, A>;
    explicit CFEvent1(Delegate* first = nullptr) : CFEventList<Delegate>(first) {}

    CFEvent1& operator+=(Delegate* delegate)
    {
        this->Add(delegate);
        return *this;
    }
    void Fire(A a)
    {
        this->FireWith([&a](Delegate& d) { d.Invoke(a); });
    }
};

template <typename A, typename B>
class CFEvent2 : public CFEventList<IDelegate2<void, A, B>> {
public:
    using Delegate = IDelegate2<void, A, B>;
    explicit CFEvent2(Delegate* first = nullptr) : CFEventList<Delegate>(first) {}

    CFEvent2& operator+=(Delegate* delegate)
    {
        this->Add(delegate);
        return *this;
    }
    void Fire(A a, B b)
    {
        this->FireWith([&a, &b](Delegate& d) { d.Invoke(a, b); });
    }
};
