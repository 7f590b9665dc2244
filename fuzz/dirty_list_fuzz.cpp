// Sequences of AddRect (and copies, Init, ClearRect) on the dirty-rectangle list, checked after
// every call against a literal walk of the merge table written out below: the same rectangles in
// the same order, the same CheckRect answers, and the invariants (no two listed rectangles meet,
// every added rectangle lies inside a listed one) for non-negative sizes. Coordinates stay within
// 16 bits so that right and bottom edges never overflow; sizes may be negative, where the table
// still decides.
#include <MoxImage2.h>

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <list>
#include <vector>

namespace {

struct R {
    long long x, y, w, h;
    long long Right() const { return x + w; }
    long long Bottom() const { return y + h; }
    bool operator==(const R& o) const { return x == o.x && y == o.y && w == o.w && h == o.h; }
};

bool Holds(const R& t, long long px, long long py)
{
    return t.x <= px && px <= t.Right() && t.y <= py && py <= t.Bottom();
}
bool Contains(const R& t, const R& a)
{
    return t.x <= a.x && a.Right() <= t.Right() && t.y <= a.y && a.Bottom() <= t.Bottom();
}
bool Superpose(const R& t, const R& a)
{
    return a.x >= t.x && a.Right() <= t.Right() && a.y <= t.y && a.Bottom() >= t.Bottom();
}
bool HoldsTL(const R& t, const R& a)
{
    return Holds(t, a.x, a.y);
}
bool HoldsTR(const R& t, const R& a)
{
    return Holds(t, a.Right(), a.y);
}
bool HoldsBL(const R& t, const R& a)
{
    return Holds(t, a.x, a.Bottom());
}
bool HoldsBR(const R& t, const R& a)
{
    return Holds(t, a.Right(), a.Bottom());
}

// The merge table, row by row. Returns false when P stays (row 17).
bool Classify(R& n, const R& p, bool* merged)
{
    const R o = n;
    auto set = [&](long long x, long long y, long long w, long long h) {
        n = {x, y, w, h};
        *merged = true;
        return true;
    };
    if (Contains(o, p))
        return true;
    if (Contains(p, o)) {
        n = p;
        return true;
    }
    if (Superpose(o, p))
        return set(o.x, p.y, o.w, p.h);
    if (Superpose(p, o))
        return set(p.x, o.y, p.w, o.h);
    if (HoldsTL(o, p) && HoldsTR(o, p))
        return set(o.x, o.y, o.w, p.Bottom() - o.y);
    if (HoldsTL(o, p) && HoldsBL(o, p))
        return set(o.x, o.y, p.Right() - o.x, o.h);
    if (HoldsBL(o, p) && HoldsBR(o, p))
        return set(o.x, p.y, o.w, o.Bottom() - p.y);
    if (HoldsTR(o, p) && HoldsBR(o, p))
        return set(p.x, o.y, o.Right() - p.x, o.h);
    if (HoldsTL(p, o) && HoldsTR(p, o))
        return set(p.x, p.y, p.w, o.Bottom() - p.y);
    if (HoldsTL(p, o) && HoldsBL(p, o))
        return set(p.x, p.y, o.Right() - p.x, p.h);
    if (HoldsBL(p, o) && HoldsBR(p, o))
        return set(p.x, o.y, p.w, p.Bottom() - o.y);
    if (HoldsTR(p, o) && HoldsBR(p, o))
        return set(o.x, p.y, p.Right() - o.x, p.h);
    if (HoldsTL(p, o))
        return set(p.x, p.y, o.Right() - p.x, o.Bottom() - p.y);
    if (HoldsBR(p, o))
        return set(o.x, o.y, p.Right() - o.x, p.Bottom() - o.y);
    if (HoldsBL(p, o))
        return set(p.x, o.y, o.Right() - p.x, p.Bottom() - o.y);
    if (HoldsTR(p, o))
        return set(o.x, p.y, p.Right() - o.x, o.Bottom() - p.y);
    return false;
}

void ExtRect(std::list<R>& list, std::list<R>::iterator it)
{
    for (;;) {
        bool merged = false;
        for (auto p = list.begin(); p != list.end();) {
            if (p == it) {
                ++p;
                continue;
            }
            p = Classify(*it, *p, &merged) ? list.erase(p) : std::next(p);
        }
        if (!merged)
            return;
    }
}

bool CheckRect(const std::list<R>& list, const R& r)
{
    for (const R& l : list)
        if (Contains(l, r))
            return true;
    return false;
}

void AddRect(std::list<R>& list, const R& r)
{
    if (CheckRect(list, r))
        return;
    list.push_back(r);
    ExtRect(list, std::prev(list.end()));
}

bool Meet(const R& a, const R& b)
{
    return std::max(a.x, b.x) <= std::min(a.Right(), b.Right()) &&
           std::max(a.y, b.y) <= std::min(a.Bottom(), b.Bottom());
}

R FromMox(const CMoxRect& r)
{
    return {r.X, r.Y, r.Width, r.Height};
}

void ExpectSame(const CMoxZang& zang, const std::list<R>& model)
{
    if (zang.m_RectList.size() != model.size())
        __builtin_trap();
    auto m = model.begin();
    for (const CMoxRect& r : zang.m_RectList)
        if (!(FromMox(r) == *m++))
            __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    // One list for every input, emptied first: building a list costs more than a short run.
    static CMoxZang zang, copy;
    zang.Init();
    std::list<R> model;
    std::vector<R> added; // since the list was last emptied
    bool allNonNegative = true;
    // Mostly a small field, where rectangles meet often; now and then one far larger than any
    // canvas (slower: the list's index grows with the area its rectangles cover).
    const bool small = in.ConsumeIntegralInRange(0, 7) != 0;
    while (in.remaining_bytes() > 0) {
        const int op = in.ConsumeIntegralInRange(0, 15);
        if (op == 0) {
            zang.Init();
            model.clear();
            added.clear();
            allNonNegative = true;
        } else if (op == 1) {
            zang.ClearRect();
            model.clear();
            added.clear();
            allNonNegative = true;
        } else if (op == 2) {
            copy = zang; // a copy lists the same rectangles; assigning back changes nothing
            ExpectSame(copy, model);
            zang = copy;
        } else {
            const int span = small ? 40 : 30000;
            const int x = in.ConsumeIntegralInRange(-span, span), y = in.ConsumeIntegralInRange(-span, span);
            const int w = in.ConsumeIntegralInRange(small ? -3 : -100, small ? 20 : 30000);
            const int h = in.ConsumeIntegralInRange(small ? -3 : -100, small ? 20 : 30000);
            CMoxRect r(x, y, w, h);
            const R mr{x, y, w, h};
            if (zang.CheckRect(r) != (CheckRect(model, mr) ? 1 : 0))
                __builtin_trap();
            zang.AddRect(r);
            AddRect(model, mr);
            added.push_back(mr);
            allNonNegative = allNonNegative && w >= 0 && h >= 0;
        }
        ExpectSame(zang, model);
        if (allNonNegative) {
            for (auto a = model.begin(); a != model.end(); ++a)
                for (auto b = std::next(a); b != model.end(); ++b)
                    if (Meet(*a, *b) || *a == *b)
                        __builtin_trap();
            for (const R& r : added)
                if (!CheckRect(model, r))
                    __builtin_trap();
        }
    }
    return 0;
}
