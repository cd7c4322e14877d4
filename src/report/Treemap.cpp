#include "report/Treemap.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ut::report {

namespace {

struct Box {
    double X, Y, W, H;
};

// The worst ratio of long to short side in a row of `sum` (area) laid along `side`, whose
// largest item is `most` and smallest `least`.
double Worst(double sum, double most, double least, double side) {
    if (sum <= 0 || least <= 0)
        return std::numeric_limits<double>::infinity();
    const double s2 = side * side, sum2 = sum * sum;
    return std::max(s2 * most / sum2, sum2 / (s2 * least));
}

// Bruls, Huizing and van Wijk's squarified layout of `areas` (largest first, adding up to
// the box's area) into `box`: rows along the shorter side, grown while the worst aspect
// ratio of the row gets no worse.
std::vector<Box> Squarify(const std::vector<double>& areas, Box box) {
    std::vector<Box> out;
    out.reserve(areas.size());
    size_t i = 0;
    while (i < areas.size()) {
        const double side = std::min(box.W, box.H);
        size_t end = i + 1;
        double sum = areas[i];
        while (end < areas.size() && Worst(sum + areas[end], areas[i], areas[end], side) <=
                                         Worst(sum, areas[i], areas[end - 1], side)) {
            sum += areas[end];
            ++end;
        }
        const bool wide = box.W >= box.H; // the row stands along the left side
        const double thick = side > 0 ? sum / side : 0;
        double at = 0;
        for (size_t k = i; k < end; ++k) {
            const double len = sum > 0 ? areas[k] / sum * side : 0;
            out.push_back(wide ? Box{box.X, box.Y + at, thick, len}
                               : Box{box.X + at, box.Y, len, thick});
            at += len;
        }
        if (wide) {
            box.X += thick;
            box.W = std::max(0.0, box.W - thick);
        } else {
            box.Y += thick;
            box.H = std::max(0.0, box.H - thick);
        }
        i = end;
    }
    return out;
}

} // namespace

std::vector<TreemapRect> ExclusiveSizeTreemap(const UnitGraph& graph, int root,
                                              const std::vector<int>& idom,
                                              const std::vector<std::int64_t>& exclusive,
                                              const TreemapOptions& options) {
    std::vector<TreemapRect> rects;
    if (root < 0 || root >= graph.Count())
        return rects;
    std::vector<std::vector<int>> children(static_cast<size_t>(graph.Count()));
    for (int v = 0; v < graph.Count(); ++v)
        if (v != root && idom[v] >= 0 && exclusive[v] > 0)
            children[idom[v]].push_back(v);
    for (auto& c : children)
        std::sort(c.begin(), c.end(), [&](int a, int b) {
            return exclusive[a] != exclusive[b] ? exclusive[a] > exclusive[b] : a < b;
        });
    struct Work {
        int Node;
        int Depth; ///< of its children
        Box Area;  ///< where its children go
    };
    std::vector<Work> stack{{root, 0, {0, 0, options.Width, options.Height}}};
    while (!stack.empty()) {
        const Work w = stack.back();
        stack.pop_back();
        const std::vector<int>& kids = children[w.Node];
        double total = 0;
        for (const int c : kids)
            total += static_cast<double>(exclusive[c]);
        // The parent's own bytes take their share too: the children fill only theirs.
        const double parentBytes = static_cast<double>(w.Node == root ? total : exclusive[w.Node]);
        if (kids.empty() || total <= 0 || parentBytes <= 0 || w.Area.W <= 0 || w.Area.H <= 0)
            continue;
        const double scale = w.Area.W * w.Area.H / parentBytes;
        std::vector<double> areas;
        for (const int c : kids)
            areas.push_back(static_cast<double>(exclusive[c]) * scale);
        const double rest = w.Area.W * w.Area.H - total * scale;
        if (rest > 1e-9)
            areas.push_back(rest);
        const std::vector<Box> boxes = Squarify(areas, w.Area);
        for (size_t k = 0; k < kids.size(); ++k) {
            const Box& b = boxes[k];
            if (b.W < options.MinSide || b.H < options.MinSide)
                continue;
            rects.push_back({kids[k], w.Depth, b.X, b.Y, b.W, b.H, exclusive[kids[k]]});
            const double pad = options.Padding;
            const Box inner{b.X + pad, b.Y + options.Header, b.W - 2 * pad,
                            b.H - options.Header - pad};
            if (w.Depth + 1 <= options.MaxDepth && inner.W > options.MinSide &&
                inner.H > options.MinSide)
                stack.push_back({kids[k], w.Depth + 1, inner});
        }
    }
    if (rects.size() > options.MaxRects) {
        // The largest stay; parents are larger than their children, so none loses its parent.
        std::stable_sort(rects.begin(), rects.end(),
                         [](const TreemapRect& a, const TreemapRect& b) {
                             return a.Width * a.Height > b.Width * b.Height;
                         });
        rects.resize(options.MaxRects);
    }
    return rects;
}

} // namespace ut::report
