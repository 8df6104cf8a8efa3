// CFDelegate.h: callbacks bound to one object and one of its member functions.
//
// Every callback of the framework is one of these. The subscriber creates a delegate with new
// (MakeDelegate below) and hands it to an event list, which owns it from then on. The receiver
// object is never owned: whoever subscribes must outlive the event or unsubscribe first.
#pragma once

#include <typeinfo>

template <typename R>
class IDelegate0 {
public:
    virtual ~IDelegate0() = default;
    virtual R Invoke() = 0;
    virtual bool Compare(const IDelegate0& other) const = 0;
};

template <typename R, typename A>
class IDelegate1 {
public:
    virtual ~IDelegate1() = default;
    virtual R Invoke(A a) = 0;
    virtual bool Compare(const IDelegate1& other) const = 0;
};

template <typename R, typename A, typename B>
class IDelegate2 {
public:
    virtual ~IDelegate2() = default;
    virtual R Invoke(A a, B b) = 0;
    virtual bool Compare(const IDelegate2& other) const = 0;
};

// Equal only to a delegate of the very same class over the same object and method.
template <typename X, typename R>
class CMethodDelegate0 : public IDelegate0<R> {
public:
    using Method = R (X::*)();

    CMethodDelegate0(X* object, Method method) : m_pObject(object), m_method(method) {}
    R Invoke() override { return (m_pObject->*m_method)(); }
    bool Compare(const IDelegate0<R>& other) const override
    {
        if (typeid(other) != typeid(*this))
            return false;
        const auto& same = static_cast<const CMethodDelegate0&>(other);
        return same.m_pObject == m_pObject && same.m_method == m_method;
    }

private:
    X* m_pObject;
    Method m_method;
};

template <typename X, typename R, typename A>
class CMethodDelegate1 : public IDelegate1<R, A> {
public:
    using Method = R (X::*)(A);

    CMethodDelegate1(X* object, Method method) : m_pObject(object), m_method(method) {}
    R Invoke(A a) override { return (m_pObject->*m_method)(a); }
    bool Compare(const IDelegate1<R, A>& other) const override
    {
        if (typeid(other) != typeid(*this))
            return false;
        const auto& same = static_cast<const CMethodDelegate1&>(other);
        return same.m_pObject == m_pObject && same.m_method == m_method;
    }

private:
    X* m_pObject;
    Method m_method;
};

template <typename X, typename R, typename A, typename B>
class CMethodDelegate2 : public IDelegate2<R, A, B> {
public:
    using Method = R (X::*)(A, B);

    CMethodDelegate2(X* object, Method method) : m_pObject(object), m_method(method) {}
    R Invoke(A a, B b) override { return (m_pObject->*m_method)(a, b); }
    bool Compare(const IDelegate2<R, A, B>& other) const override
    {
        if (typeid(other) != typeid(*this))
            return false;
        const auto& same = static_cast<const CMethodDelegate2&>(other);
        return same.m_pObject == m_pObject && same.m_method == m_method;
    }

private:
    X* m_pObject;
    Method m_method;
};

// The subscriber's factory: `event += MakeDelegate(this, &CMyScreen::OnPlay);`
// The result is new and belongs to whichever event list it is given to.
template <typename X, typename R>
CMethodDelegate0<X, R>* MakeDelegate(X* object, R (X::*method)())
{
    return new CMethodDelegate0<X, R>(object, method);
}

template <typename X, typename R, typename A>
CMethodDelegate1<X, R, A>* MakeDelegate(X* object, R (X::*method)(A))
{
    return new CMethodDelegate1<X, R, A>(object, method);
}

template <typename X, typename R, typename A, typename B>
CMethodDelegate2<X, R, A, B>* MakeDelegate(X* object, R (X::*method)(A, B))
{
    return new CMethodDelegate2<X, R, A, B>(object, method);
}
