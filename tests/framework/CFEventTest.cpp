#include "framework/CFEvent.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class CFObject;

// A receiver that logs every call as "<name>:<argument>".
struct Receiver {
    explicit Receiver(std::string n) : name(std::move(n)) {}
    void OnValue(int value) { log->push_back(name + ":" + std::to_string(value)); }
    void OnOther(int value) { log->push_back(name + " other:" + std::to_string(value)); }
    void OnPair(CFObject*, int value) { log->push_back(name + ":" + std::to_string(value)); }
    void OnNothing() { log->push_back(name); }

    std::string name;
    std::vector<std::string>* log = nullptr;
};

struct OtherReceiver {
    void OnValue(int) {}
};

// Counts its own destruction so tests can see who deletes delegates.
class CountedDelegate : public IDelegate1<void, int> {
public:
    explicit CountedDelegate(int* deleted) : m_pDeleted(deleted) {}
    ~CountedDelegate() override { ++*m_pDeleted; }
    void Invoke(int) override {}
    bool Compare(const IDelegate1<void, int>&) const override { return false; }

private:
    int* m_pDeleted;
};

}  // namespace

TEST(CFEvent, NullDelegateIsIgnored)
{
    CFEvent1<int> event(nullptr);
    EXPECT_TRUE(event.IsEmpty());
    event += nullptr;
    event.Add(nullptr);
    EXPECT_TRUE(event.IsEmpty());
    event.Fire(1);  // nothing to call
}

TEST(CFEvent, SameHandlerAddedTwiceIsCalledTwiceInInsertionOrder)
{
    std::vector<std::string> log;
    Receiver a("a"), b("b");
    a.log = b.log = &log;
    CFEvent1<int> event;
    event += MakeDelegate(&a, &Receiver::OnValue);
    event += MakeDelegate(&b, &Receiver::OnValue);
    event += MakeDelegate(&a, &Receiver::OnValue);
    event.Fire(7);
    EXPECT_EQ(log, (std::vector<std::string>{"a:7", "b:7", "a:7"}));
}

TEST(CFEvent, EveryArityPassesItsArgumentsUnchanged)
{
    std::vector<std::string> log;
    Receiver r("r");
    r.log = &log;
    CFEvent0 none(MakeDelegate(&r, &Receiver::OnNothing));
    CFEvent2<CFObject*, int> two(MakeDelegate(&r, &Receiver::OnPair));
    none.Fire();
    two.Fire(nullptr, -1);
    EXPECT_EQ(log, (std::vector<std::string>{"r", "r:-1"}));
}

TEST(CFEvent, DestroyingEventDeletesItsDelegatesButNotReceivers)
{
    int deleted = 0;
    {
        CFEvent1<int> event;
        event += new CountedDelegate(&deleted);
        event += new CountedDelegate(&deleted);
        EXPECT_EQ(deleted, 0);
    }
    EXPECT_EQ(deleted, 2);
}

TEST(CFDelegate, EqualOnlyForSameClassObjectAndMethod)
{
    Receiver a("a"), b("b");
    OtherReceiver other;
    CMethodDelegate1<Receiver, void, int> base(&a, &Receiver::OnValue);
    struct Row {
        const char* what;
        std::unique_ptr<IDelegate1<void, int>> candidate;
        bool equal;
    };
    Row rows[] = {
        {"same object and method", std::make_unique<CMethodDelegate1<Receiver, void, int>>(&a, &Receiver::OnValue), true},
        {"other object", std::make_unique<CMethodDelegate1<Receiver, void, int>>(&b, &Receiver::OnValue), false},
        {"other method", std::make_unique<CMethodDelegate1<Receiver, void, int>>(&a, &Receiver::OnOther), false},
        {"other class", std::make_unique<CMethodDelegate1<OtherReceiver, void, int>>(&other, &OtherReceiver::OnValue), false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(base.Compare(*row.candidate), row.equal);
        EXPECT_EQ(row.candidate->Compare(base), row.equal);
    }
}

namespace {

// Handlers that change the very event that calls them.
struct SelfEditing {
    CFEvent1<int>* event = nullptr;
    std::vector<std::string> log;
    std::unique_ptr<CFEvent1<int>> owned;

    void RemoveSelf(int v)
    {
        log.push_back("self:" + std::to_string(v));
        EXPECT_TRUE(event->Remove(CMethodDelegate1<SelfEditing, void, int>(this, &SelfEditing::RemoveSelf)));
    }
    void RemoveLater(int v)
    {
        log.push_back("first:" + std::to_string(v));
        event->Remove(CMethodDelegate1<SelfEditing, void, int>(this, &SelfEditing::Later));
    }
    void Later(int v) { log.push_back("later:" + std::to_string(v)); }
    void AddMore(int v)
    {
        log.push_back("adder:" + std::to_string(v));
        *event += MakeDelegate(this, &SelfEditing::Later);
    }
    void DestroyEvent(int v)
    {
        log.push_back("destroy:" + std::to_string(v));
        owned.reset();
    }
};

}  // namespace

TEST(CFEvent, HandlerRemovingItselfDuringFireIsSafeAndNotCalledAgain)
{
    SelfEditing s;
    CFEvent1<int> event;
    s.event = &event;
    event += MakeDelegate(&s, &SelfEditing::RemoveSelf);
    event += MakeDelegate(&s, &SelfEditing::Later);
    event.Fire(1);
    event.Fire(2);
    EXPECT_EQ(s.log, (std::vector<std::string>{"self:1", "later:1", "later:2"}));
    EXPECT_EQ(event.GetCount(), 1);
}

TEST(CFEvent, DelegateRemovedDuringFireIsNotCalledInThatFire)
{
    SelfEditing s;
    CFEvent1<int> event;
    s.event = &event;
    event += MakeDelegate(&s, &SelfEditing::RemoveLater);
    event += MakeDelegate(&s, &SelfEditing::Later);
    event.Fire(1);
    EXPECT_EQ(s.log, (std::vector<std::string>{"first:1"}));
    EXPECT_FALSE(event.Remove(CMethodDelegate1<SelfEditing, void, int>(&s, &SelfEditing::Later)));
}

TEST(CFEvent, DelegateAddedDuringFireWaitsForTheNextFire)
{
    SelfEditing s;
    CFEvent1<int> event;
    s.event = &event;
    event += MakeDelegate(&s, &SelfEditing::AddMore);
    event.Fire(1);
    EXPECT_EQ(s.log, (std::vector<std::string>{"adder:1"}));
    EXPECT_EQ(event.GetCount(), 2);
}

TEST(CFEvent, HandlerDestroyingItsEventStopsTheFire)
{
    SelfEditing s;
    s.owned = std::make_unique<CFEvent1<int>>();
    *s.owned += MakeDelegate(&s, &SelfEditing::DestroyEvent);
    *s.owned += MakeDelegate(&s, &SelfEditing::Later);
    s.owned->Fire(3);  // under ASan: nothing of the freed event is touched
    EXPECT_EQ(s.owned, nullptr);
    EXPECT_EQ(s.log, (std::vector<std::string>{"destroy:3"}));
}
