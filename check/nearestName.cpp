#include "check/nearestName.h"

#include "lib/textCopy.h"

namespace {
constexpr size_t MAX_COMPARED = 63;
constexpr size_t FAR_AWAY = 1000;

}  // namespace

size_t EditDistance(const wchar_t* a, const wchar_t* b) {
    size_t n = TextLength(a), m = TextLength(b);
    if (n > MAX_COMPARED || m > MAX_COMPARED) return FAR_AWAY;
    // One row of the usual table at a time.
    size_t row[MAX_COMPARED + 1];
    for (size_t j = 0; j <= m; ++j) row[j] = j;
    for (size_t i = 1; i <= n; ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= m; ++j) {
            size_t above = row[j];
            size_t best = diagonal + (FoldAscii(a[i - 1]) == FoldAscii(b[j - 1]) ? 0 : 1);
            if (above + 1 < best) best = above + 1;
            if (row[j - 1] + 1 < best) best = row[j - 1] + 1;
            row[j] = best;
            diagonal = above;
        }
    }
    return row[m];
}

const wchar_t* NearestName(const wchar_t* text, const wchar_t* const* names, size_t count, size_t maxDistance) {
    const wchar_t* best = nullptr;
    size_t bestDistance = maxDistance + 1;
    for (size_t i = 0; i < count; ++i) {
        size_t distance = EditDistance(text, names[i]);
        if (distance < bestDistance) {
            best = names[i];
            bestDistance = distance;
        }
    }
    return best;
}
