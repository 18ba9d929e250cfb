#include "assembly/TValueGraph.h"

#include "assembly/MergedValue.h"

#include <algorithm>
#include <deque>

TValueGraph::TValueGraph(const std::vector<std::string> &lines, const TMergeValueEncoder &encoder,
                         bool gluedCounts)
    : FLines(lines), FEncoder(encoder), FGluedCounts(gluedCounts)
{
}

bool TValueGraph::HasPair(long n) const
{
    return n >= 1 && static_cast<unsigned long long>(n) * 2 <= FLines.size();
}

// References to the nodes stay valid while others are added: the map never moves its elements.
TValueGraph::TNode &TValueGraph::Node(long n)
{
    const auto found = FNodes.find(n);
    if (found != FNodes.end())
        return found->second;
    TNode &node = FNodes[n];
    if (!HasPair(n))
        return node;
    node.Merged = MergedValue(FLines[ValueLineIndex(n)]);
    const std::string &encoded =
        node.Encoded.emplace(1, FEncoder.Encode(node.Merged, 1)).first->second;
    TPlaceholderScanner scanner(encoded, FEncoder.Kind(), FGluedCounts);
    while (const auto match = scanner.Next()) {
        ++node.PlaceholderCount;
        if (HasPair(match->Number))
            node.Targets.push_back(match->Number);
    }
    return node;
}

const std::string &TValueGraph::Merged(long n)
{
    return Node(n).Merged;
}

const std::string &TValueGraph::Encoded(long n, int unicodeSkip)
{
    TNode &node = Node(n);
    const auto found = node.Encoded.find(unicodeSkip);
    if (found != node.Encoded.end())
        return found->second;
    return node.Encoded.emplace(unicodeSkip, FEncoder.Encode(node.Merged, unicodeSkip))
        .first->second;
}

const std::vector<long> &TValueGraph::Targets(long n)
{
    return Node(n).Targets;
}

bool TValueGraph::OnCycle(long n)
{
    if (Node(n).Index < 0)
        FindComponents(n);
    return Node(n).Cyclic;
}

// The strongly connected components of what n reaches (Tarjan's algorithm, with a stack of
// its own instead of recursion, since values may nest deeply).
void TValueGraph::FindComponents(long root)
{
    struct TFrame
    {
        long Pair;
        std::size_t NextTarget;
    };
    auto discover = [this](long n) {
        TNode &node = Node(n);
        node.Index = node.Low = FNextIndex++;
        node.OnStack = true;
        FStack.push_back(n);
    };
    std::vector<TFrame> frames{{root, 0}};
    discover(root);
    while (!frames.empty()) {
        const long pair = frames.back().Pair;
        TNode &node = Node(pair);
        if (frames.back().NextTarget < node.Targets.size()) {
            const long target = node.Targets[frames.back().NextTarget++];
            TNode &next = Node(target);
            if (next.Index < 0) {
                discover(target);
                frames.push_back({target, 0});
            } else if (next.OnStack) {
                node.Low = std::min(node.Low, next.Index);
            }
            continue;
        }
        if (node.Low == node.Index)
            CloseComponent(pair);
        frames.pop_back();
        if (!frames.empty()) {
            TNode &parent = Node(frames.back().Pair);
            parent.Low = std::min(parent.Low, node.Low);
        }
    }
}

void TValueGraph::CloseComponent(long root)
{
    const int component = FNextComponent++;
    // A cycle: more members than the root (it is not the last on the stack), or a value that
    // holds its own placeholder.
    const std::vector<long> &targets = Node(root).Targets;
    const bool cyclic =
        FStack.back() != root || std::find(targets.begin(), targets.end(), root) != targets.end();
    long member = 0;
    do {
        member = FStack.back();
        FStack.pop_back();
        TNode &node = Node(member);
        node.OnStack = false;
        node.Component = component;
        node.Cyclic = cyclic;
    } while (member != root);
}

std::vector<long> TValueGraph::Circle(long n)
{
    if (!OnCycle(n))
        return {};
    // The shortest way back to n within its component.
    const int component = Node(n).Component;
    std::unordered_map<long, long> cameFrom;
    std::deque<long> queue{n};
    while (!queue.empty()) {
        const long pair = queue.front();
        queue.pop_front();
        for (const long target : Node(pair).Targets) {
            if (Node(target).Component != component || cameFrom.count(target))
                continue;
            cameFrom[target] = pair;
            if (target == n) {
                std::vector<long> way{n};
                for (long at = cameFrom[n]; at != n; at = cameFrom[at])
                    way.push_back(at);
                way.push_back(n);
                std::reverse(way.begin(), way.end());
                return way;
            }
            queue.push_back(target);
        }
    }
    return {n, n};
}
