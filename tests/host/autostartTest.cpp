#include <gtest/gtest.h>

#include <map>
#include <string>

#include "app/autostart.h"

namespace {
// One Run key as the decisions see it: refused outright, absent until created, or open.
struct FakeKey {
    bool refused = false;
    bool exists = true;
    int open = 0;  // handles not yet closed
    std::map<std::wstring, std::wstring> values;
};
FakeKey Keys[2];

void* FakeOpen(RunKeyRoot root, bool create) {
    FakeKey& key = Keys[root];
    if (key.refused || (!key.exists && !create)) return nullptr;
    key.exists = true;
    ++key.open;
    return &key;
}
void FakeSet(void* key, const wchar_t* name, const wchar_t* data) { static_cast<FakeKey*>(key)->values[name] = data; }
void FakeDelete(void* key, const wchar_t* name) { static_cast<FakeKey*>(key)->values.erase(name); }
void FakeClose(void* key) { --static_cast<FakeKey*>(key)->open; }
const RunKeyCalls FAKE = {FakeOpen, FakeSet, FakeDelete, FakeClose};

class RunValue : public testing::Test {
protected:
    void SetUp() override { Keys[RUN_KEY_MACHINE] = Keys[RUN_KEY_USER] = FakeKey(); }
    void TearDown() override {
        EXPECT_EQ(machine.open, 0) << "machine key left open";
        EXPECT_EQ(user.open, 0) << "user key left open";
    }
    // The next case of a test, once every key of the last one was closed.
    void Fresh() {
        TearDown();
        SetUp();
    }
    FakeKey& machine = Keys[RUN_KEY_MACHINE];
    FakeKey& user = Keys[RUN_KEY_USER];
};
}  // namespace

TEST_F(RunValue, WritesToTheMachineKeyWhenItOpensElseToTheUsers) {
    user.values = {{L"KD", L"left by a run without elevation"}, {L"Other", L"o"}};
    WriteRunValue(FAKE, L"KD", L"\"C:\\a b\\kd.exe\"");
    EXPECT_EQ(machine.values[L"KD"], L"\"C:\\a b\\kd.exe\"");
    // One value only, or the program starts twice at log-on.
    EXPECT_EQ(user.values.count(L"KD"), 0u);
    EXPECT_EQ(user.values.size(), 1u);

    // A process without elevation: the machine key refuses write access.
    Fresh();
    machine.refused = true;
    user.exists = false;  // a fresh profile may lack the key: it is made
    WriteRunValue(FAKE, L"KD", L"\"C:\\kd.exe\"");
    EXPECT_EQ(user.values[L"KD"], L"\"C:\\kd.exe\"");

    // Both refused: nothing to write to, and nothing breaks.
    Fresh();
    machine.refused = user.refused = true;
    WriteRunValue(FAKE, L"KD", L"x");
    EXPECT_TRUE(machine.values.empty());
    EXPECT_TRUE(user.values.empty());
}

TEST_F(RunValue, DeletingClearsBothKeysAndCreatesNone) {
    machine.values = {{L"KD", L"old"}, {L"Other", L"o"}};
    user.values = {{L"KD", L"old"}};
    DeleteRunValue(FAKE, L"KD");
    EXPECT_EQ(machine.values.count(L"KD"), 0u);
    EXPECT_EQ(machine.values.count(L"Other"), 1u);
    EXPECT_EQ(user.values.count(L"KD"), 0u);

    // Refused machine key: the user's value still goes; an absent key stays absent.
    Fresh();
    machine.refused = true;
    user.values = {{L"KD", L"old"}};
    DeleteRunValue(FAKE, L"KD");
    EXPECT_TRUE(user.values.empty());
    Fresh();
    user.exists = false;
    machine.values = {{L"KD", L"old"}};
    DeleteRunValue(FAKE, L"KD");
    EXPECT_TRUE(machine.values.empty());
    EXPECT_FALSE(user.exists);
}

TEST(QuoteRunPath, QuotesWholeOrNotAtAll) {
    wchar_t out[32];
    ASSERT_TRUE(QuoteRunPath(L"C:\\Program Files\\kd.exe", out, 32));
    EXPECT_STREQ(out, L"\"C:\\Program Files\\kd.exe\"");
    // Exact fit: the path, two quotes and the terminator.
    ASSERT_TRUE(QuoteRunPath(L"C:\\kd.exe", out, 12));
    EXPECT_STREQ(out, L"\"C:\\kd.exe\"");
    // One short: never a value with its closing quote cut off.
    EXPECT_FALSE(QuoteRunPath(L"C:\\kd.exe", out, 11));
    EXPECT_STREQ(out, L"");
}
