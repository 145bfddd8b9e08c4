#include "package/PackageFile.h"

#include <cstdint>
#include <cstring>
#include <deque>
#include <unordered_map>

// An Aho-Corasick automaton over the names: one walk over each stored name
// finds every name it contains. Entries are walked in reader order, so the
// first entry to contain a name is the one FindEntryIn returns; a name's
// node is then settled, and so is every name that ends its suffix chain
// (each is contained wherever it is), which keeps the chain walks linear.
std::vector<int> CPackageFile::FindEntriesIn(const std::vector<PackageEntry>& entries,
                                             const std::vector<std::string>& names)
{
    struct Node {
        int fail = 0;
        int output = -1; // nearest node on the fail chain that ends a name
        bool terminal = false;
        int found = -1;  // first entry containing this node's name
    };
    std::vector<Node> nodes(1);
    std::unordered_map<std::uint64_t, int> next;
    const auto key = [](int node, unsigned char c) { return static_cast<std::uint64_t>(node) << 8 | c; };
    const auto child = [&](int node, unsigned char c) {
        const auto it = next.find(key(node, c));
        return it == next.end() ? -1 : it->second;
    };

    std::vector<int> nameNode(names.size(), 0);
    for (std::size_t i = 0; i < names.size(); ++i) {
        int node = 0;
        for (const char ch : names[i]) {
            const unsigned char c = static_cast<unsigned char>(ch);
            int to = child(node, c);
            if (to < 0) {
                to = static_cast<int>(nodes.size());
                nodes.emplace_back();
                next.emplace(key(node, c), to);
            }
            node = to;
        }
        nodes[static_cast<std::size_t>(node)].terminal = true;
        nameNode[i] = node;
    }

    // Fail links breadth first; the edges are kept per parent for the walk.
    std::vector<std::vector<std::pair<unsigned char, int>>> edges(nodes.size());
    for (const auto& [k, to] : next)
        edges[static_cast<std::size_t>(k >> 8)].emplace_back(static_cast<unsigned char>(k & 0xFF), to);
    std::deque<int> queue;
    for (const auto& [c, to] : edges[0])
        queue.push_back(to);
    while (!queue.empty()) {
        const int node = queue.front();
        queue.pop_front();
        for (const auto& [c, to] : edges[static_cast<std::size_t>(node)]) {
            int fail = nodes[static_cast<std::size_t>(node)].fail;
            while (fail != 0 && child(fail, c) < 0)
                fail = nodes[static_cast<std::size_t>(fail)].fail;
            const int target = child(fail, c);
            Node& n = nodes[static_cast<std::size_t>(to)];
            n.fail = target >= 0 && target != to ? target : 0;
            const Node& f = nodes[static_cast<std::size_t>(n.fail)];
            n.output = f.terminal ? n.fail : f.output;
            queue.push_back(to);
        }
    }

    // The empty name is part of every stored name.
    if (nodes[0].terminal && !entries.empty())
        nodes[0].found = 0;
    for (std::size_t e = 0; e < entries.size(); ++e) {
        const char* text = entries[e].strName.data();
        const std::size_t length = entries[e].strName.size();
        int node = 0;
        for (std::size_t i = 0; i < length; ++i) {
            const unsigned char c = static_cast<unsigned char>(text[i]);
            while (node != 0 && child(node, c) < 0)
                node = nodes[static_cast<std::size_t>(node)].fail;
            const int to = child(node, c);
            node = to < 0 ? 0 : to;
            int hit = nodes[static_cast<std::size_t>(node)].terminal ? node : nodes[static_cast<std::size_t>(node)].output;
            while (hit > 0 && nodes[static_cast<std::size_t>(hit)].found < 0) {
                nodes[static_cast<std::size_t>(hit)].found = static_cast<int>(e);
                hit = nodes[static_cast<std::size_t>(hit)].output;
            }
        }
    }

    std::vector<int> result(names.size());
    for (std::size_t i = 0; i < names.size(); ++i)
        result[i] = nodes[static_cast<std::size_t>(nameNode[i])].found;
    return result;
}
