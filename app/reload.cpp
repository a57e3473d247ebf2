#include "app/reload.h"

#include <cstdlib>
#include <new>

#include "app/configLookup.h"
#include "app/messages.h"
#include "lib/textCopy.h"

namespace {

struct StartKey {
    const wchar_t* section;
    const wchar_t* key;
    const wchar_t* fallback;
    size_t room;  // what the program keeps of the value, terminator included
};

// 自动重新加载 and the 语言 texts take effect at a reload; these only at start.
const StartKey START_KEYS[] = {
    {KD_SECTION_SETTINGS, KD_KEY_NAME, KD_DEFAULT_CAPTION, APP_CAPTION_SIZE},
    {KD_SECTION_SETTINGS, KD_KEY_SINGLE_INSTANCE, KD_NO, 0},
    {KD_SECTION_SETTINGS, KD_KEY_AUTOSTART, KD_NO, 0},
    {KD_SECTION_TIP, KD_KEY_TIP_SHOW, KD_NO, 0},
    {KD_SECTION_TIP, KD_KEY_TIP_TEXT, KD_DEFAULT_TIP_TEXT, TIP_TEXT_SIZE},
    {KD_SECTION_TIP, KD_KEY_TIP_TITLE, KD_DEFAULT_TIP_TITLE, TIP_TITLE_SIZE},
};

constexpr size_t KEPT_MAX = 256;
static_assert(APP_CAPTION_SIZE <= KEPT_MAX && TIP_TEXT_SIZE <= KEPT_MAX && TIP_TITLE_SIZE <= KEPT_MAX);

bool SameValue(const StartKey& key, const XmlElement& a, const XmlElement& b) {
    const wchar_t* x = ConfigTextOf(a, key.section, key.key, key.fallback);
    const wchar_t* y = ConfigTextOf(b, key.section, key.key, key.fallback);
    // A switch is either 是 or not; any other spelling means the same.
    if (key.room == 0) return TextEquals(x, KD_YES) == TextEquals(y, KD_YES);
    wchar_t keptX[KEPT_MAX], keptY[KEPT_MAX];
    CopyTextCut(keptX, key.room, x);
    CopyTextCut(keptY, key.room, y);
    return TextEquals(keptX, keptY);
}

struct Retired {
    uint32_t generation;
    int32_t holds;
    ConfigSet set;
    void (*destroyMenu)(void*);
    Retired* next;
};

uint32_t Generation = 1;
int32_t CurrentHolds = 0;
Retired* RetiredList = nullptr;

void Free(Retired* retired) {
    retired->set.root.release();
    retired->set.items.releaseMemory();
    if (retired->set.menu && retired->destroyMenu) retired->destroyMenu(retired->set.menu);
    retired->~Retired();
    free(retired);
}

}  // namespace

bool StartSettingsChanged(const XmlElement& running, const XmlElement& loaded) {
    for (const StartKey& key : START_KEYS)
        if (!SameValue(key, running, loaded)) return true;
    return false;
}

bool SameStamp(const FileStamp& a, const FileStamp& b) {
    if (a.exists != b.exists) return false;
    return !a.exists || (a.size == b.size && a.writeTime == b.writeTime);
}

void StartWatch(ConfigWatch* watch, const FileStamp& current) {
    watch->taken = current;
    watch->seen = current;
    watch->seenAt = 0;
    watch->pending = false;
}

void NoteFolderChange(ConfigWatch* watch, const FileStamp& current, uint32_t tick) {
    if (!watch->pending && SameStamp(current, watch->taken)) return;  // another file of the folder
    if (!watch->pending || !SameStamp(current, watch->seen)) {
        watch->seen = current;
        watch->seenAt = tick;
    }
    watch->pending = true;
}

uint32_t WatchWaitMs(const ConfigWatch& watch, uint32_t tick) {
    if (!watch.pending) return WAIT_FOREVER;
    uint32_t quiet = tick - watch.seenAt;  // wraps with the tick count
    return quiet >= SETTLE_MS ? 0 : SETTLE_MS - quiet;
}

bool WatchSettled(ConfigWatch* watch, const FileStamp& current, uint32_t tick) {
    if (!watch->pending) return false;
    if (!SameStamp(current, watch->seen)) {
        // Still being written, though no notice came: wait a quiet time from now.
        watch->seen = current;
        watch->seenAt = tick;
        return false;
    }
    if (tick - watch->seenAt < SETTLE_MS) return false;
    watch->pending = false;
    if (SameStamp(current, watch->taken)) return false;  // written back as it was
    watch->taken = current;
    return true;
}

uint32_t CurrentConfigGeneration() { return Generation; }

uint32_t HoldConfig() {
    ++CurrentHolds;
    return Generation;
}

void ReleaseConfig(uint32_t generation) {
    if (generation == Generation) {
        if (CurrentHolds > 0) --CurrentHolds;
        return;
    }
    for (Retired** link = &RetiredList; *link; link = &(*link)->next) {
        Retired* retired = *link;
        if (retired->generation != generation) continue;
        if (--retired->holds > 0) return;
        *link = retired->next;
        Free(retired);
        return;
    }
}

bool RetireConfig(ConfigSet& old, void (*destroyMenu)(void* menu)) {
    void* memory = malloc(sizeof(Retired));
    if (!memory) return false;
    Retired* retired = new (memory) Retired{Generation, CurrentHolds, old, destroyMenu, RetiredList};
    old.root.release();
    old.items = {};
    old.menu = nullptr;
    ++Generation;
    CurrentHolds = 0;
    if (retired->holds == 0) {
        Free(retired);
    } else {
        RetiredList = retired;
    }
    return true;
}

int32_t RetiredConfigCount() {
    int32_t count = 0;
    for (Retired* r = RetiredList; r; r = r->next) ++count;
    return count;
}
