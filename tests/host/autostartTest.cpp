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
// Reading needs no write access: a refused key still shows its values.
bool FakeHolds(RunKeyRoot root, const wchar_t* name, const wchar_t* data) {
    auto found = Keys[root].values.find(name);
    return found != Keys[root].values.end() && (!data || found->second == data);
}
const RunKeyCalls FAKE = {FakeOpen, FakeSet, FakeDelete, FakeClose, FakeHolds};

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

namespace {
// One start of the program: elevated, the machine key opens for writing; else it refuses.
bool Start(bool elevated, bool autostart) {
    Keys[RUN_KEY_MACHINE].refused = !elevated;
    bool left = false;
    if (autostart)
        WriteRunValue(FAKE, L"KD", L"\"C:\\kd.exe\"");
    else
        left = DeleteRunValue(FAKE, L"KD");
    Keys[RUN_KEY_MACHINE].refused = false;
    return left;
}
size_t RunValues() { return Keys[RUN_KEY_MACHINE].values.count(L"KD") + Keys[RUN_KEY_USER].values.count(L"KD"); }
}  // namespace

TEST_F(RunValue, EverySequenceOfStartsLeavesExactlyOneValue) {
    // Each sequence of up to four starts, elevated (bit set) or not.
    for (int length = 1; length <= 4; ++length) {
        for (int elevated = 0; elevated < (1 << length); ++elevated) {
            Fresh();
            for (int start = 0; start < length; ++start) Start(elevated >> start & 1, true);
            EXPECT_EQ(RunValues(), 1u) << "length " << length << ", elevated starts 0x" << std::hex << elevated;
        }
    }
    // Elevated, then normal: the normal start sees the machine's value and adds nothing.
    Fresh();
    Start(true, true);
    Start(false, true);
    EXPECT_EQ(machine.values.count(L"KD"), 1u);
    EXPECT_EQ(user.values.count(L"KD"), 0u);
    // A machine value of another path (a moved copy) is not this program's start.
    Fresh();
    machine.values[L"KD"] = L"\"D:\\old\\kd.exe\"";
    Start(false, true);
    EXPECT_EQ(user.values[L"KD"], L"\"C:\\kd.exe\"");
}

TEST_F(RunValue, OffSaysWhenOnlyAnElevatedRunCanRemoveTheMachineValue) {
    Start(true, true);
    EXPECT_TRUE(Start(false, false)) << "the machine's value outlives a normal start";
    EXPECT_EQ(machine.values.count(L"KD"), 1u);
    EXPECT_EQ(user.values.count(L"KD"), 0u);
    EXPECT_FALSE(Start(true, false));
    EXPECT_EQ(RunValues(), 0u);
    // A user's value alone goes without a word.
    Start(false, true);
    ASSERT_EQ(user.values.count(L"KD"), 1u);
    EXPECT_FALSE(Start(false, false));
    EXPECT_EQ(RunValues(), 0u);
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
