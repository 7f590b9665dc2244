// The dirty list's add operation written out literally, one table row per branch, as the
// reference that the library's indexed version is compared with.
#pragma once

#include <MoxImage2.h>

#include <cstdint>
#include <iterator>
#include <limits>
#include <list>

namespace moxtest {

class ReferenceZang {
public:
    std::list<CMoxRect> rects;

    void AddRect(const CMoxRect& r)
    {
        for (const CMoxRect& d : rects)
            if (d.MyContains(r))
                return;
        rects.push_back(r);
        ExtRect(std::prev(rects.end()));
    }

    void ExtRect(std::list<CMoxRect>::iterator it)
    {
        CMoxRect& n = *it;
        for (bool merged = true; merged;) {
            merged = false;
            for (auto p = rects.begin(); p != rects.end();) {
                if (p == it) {
                    ++p;
                    continue;
                }
                const Row row = Classify(n, *p);
                if (row == Row::Keep) {
                    ++p;
                    continue;
                }
                p = rects.erase(p);
                merged = merged || row == Row::Merge;
            }
        }
    }

private:
    enum class Row { Keep, Erase, Merge };

    static std::int64_t R(const CMoxRect& r) { return std::int64_t(r.X) + r.Width; }
    static std::int64_t B(const CMoxRect& r) { return std::int64_t(r.Y) + r.Height; }
    static bool Holds(const CMoxRect& r, std::int64_t x, std::int64_t y)
    {
        return r.X <= x && x <= R(r) && r.Y <= y && y <= B(r);
    }
    static int Clamp(std::int64_t v)
    {
        return v > std::numeric_limits<int>::max()   ? std::numeric_limits<int>::max()
               : v < std::numeric_limits<int>::min() ? std::numeric_limits<int>::min()
                                                     : int(v);
    }
    static void Set(CMoxRect& n, std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h)
    {
        n = CMoxRect(Clamp(x), Clamp(y), Clamp(w), Clamp(h));
    }

    static Row Classify(CMoxRect& n, const CMoxRect& p)
    {
        const bool nTL = Holds(n, p.X, p.Y), nTR = Holds(n, R(p), p.Y);
        const bool nBL = Holds(n, p.X, B(p)), nBR = Holds(n, R(p), B(p));
        const bool pTL = Holds(p, n.X, n.Y), pTR = Holds(p, R(n), n.Y);
        const bool pBL = Holds(p, n.X, B(n)), pBR = Holds(p, R(n), B(n));
        const CMoxRect o = n;
        if (n.MyContains(p))
            return Row::Erase; // 1
        if (p.MyContains(n)) {
            n = p; // 2
            return Row::Erase;
        }
        if (n.Superpose(p))
            Set(n, o.X, p.Y, o.Width, p.Height); // 3
        else if (p.Superpose(n))
            Set(n, p.X, o.Y, p.Width, o.Height); // 4
        else if (nTL && nTR)
            Set(n, o.X, o.Y, o.Width, B(p) - o.Y); // 5
        else if (nTL && nBL)
            Set(n, o.X, o.Y, R(p) - o.X, o.Height); // 6
        else if (nBL && nBR)
            Set(n, o.X, p.Y, o.Width, B(o) - p.Y); // 7
        else if (nTR && nBR)
            Set(n, p.X, o.Y, R(o) - p.X, o.Height); // 8
        else if (pTL && pTR)
            Set(n, p.X, p.Y, p.Width, B(o) - p.Y); // 9
        else if (pTL && pBL)
            Set(n, p.X, p.Y, R(o) - p.X, p.Height); // 10
        else if (pBL && pBR)
            Set(n, p.X, o.Y, p.Width, B(p) - o.Y); // 11
        else if (pTR && pBR)
            Set(n, o.X, p.Y, R(p) - o.X, p.Height); // 12
        else if (pTL)
            Set(n, p.X, p.Y, R(o) - p.X, B(o) - p.Y); // 13
        else if (pBR)
            Set(n, o.X, o.Y, R(p) - o.X, B(p) - o.Y); // 14
        else if (pBL)
            Set(n, p.X, o.Y, R(o) - p.X, B(p) - o.Y); // 15
        else if (pTR)
            Set(n, o.X, p.Y, R(p) - o.X, B(o) - p.Y); // 16
        else
            return Row::Keep; // 17
        return Row::Merge;
    }
};

} // namespace moxtest
