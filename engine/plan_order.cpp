// The order of a plan's parts: strongly connected components, producers before consumers.
#include <algorithm>

#include "plan_parts.h"

namespace plan {

// Tarjan's algorithm without recursion, so that a chain of 10,000 modules needs no deep stack.
std::vector<std::vector<int>> components(const std::vector<std::vector<int>>& next) {
    const int n = static_cast<int>(next.size());
    std::vector<int> index(n, -1), low(n, 0), stack;
    std::vector<char> on(n, 0);
    std::vector<std::vector<int>> out;
    int counter = 0;
    std::vector<std::pair<int, size_t>> calls;
    for (int root = 0; root < n; ++root) {
        if (index[root] >= 0) continue;
        calls.push_back({root, 0});
        while (!calls.empty()) {
            auto& [v, k] = calls.back();
            if (k == 0) {
                index[v] = low[v] = counter++;
                stack.push_back(v);
                on[v] = 1;
            }
            if (k < next[v].size()) {
                const int w = next[v][k++];
                if (index[w] < 0)
                    calls.push_back({w, 0});
                else if (on[w])
                    low[v] = std::min(low[v], index[w]);
                continue;
            }
            if (low[v] == index[v]) {
                std::vector<int> c;
                int w;
                do {
                    w = stack.back();
                    stack.pop_back();
                    on[w] = 0;
                    c.push_back(w);
                } while (w != v);
                out.push_back(c);
            }
            const int done = v;
            calls.pop_back();
            if (!calls.empty()) low[calls.back().first] = std::min(low[calls.back().first], low[done]);
        }
    }
    // Tarjan gives consumers first.
    std::reverse(out.begin(), out.end());
    return out;
}


} // namespace plan
