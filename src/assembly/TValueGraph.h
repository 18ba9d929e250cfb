#pragma once

#include "assembly/TMergeValueEncoder.h"
#include "assembly/TPlaceholderScanner.h"

#include <cstddef>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

// The values of the information lines as a merge meets them: each pair's value as it is merged
// and the pairs whose placeholders that value holds (the merge replaces those in turn). Values
// may nest in as many layers as they like; a merge could only go on for ever where a value
// leads back to its own placeholder through other values, which OnCycle finds. Each value is
// prepared and read once, when the merge (or the check) first asks for it.
class TValueGraph
{
public:
    // The lines and the encoder must outlive the graph. Placeholders in values are read as
    // the encoder writes the values into the template's text, glued ones counting in overwrite
    // mode.
    TValueGraph(const std::vector<std::string> &lines, const TMergeValueEncoder &encoder,
                bool gluedCounts);

    // Whether the information lines hold the value of pair n (line 2n, counted from 1).
    bool HasPair(long n) const;
    std::size_t ValueLineIndex(long n) const { return static_cast<std::size_t>(n) * 2 - 1; }
    // The value of an existing pair as it is merged (UTF-8).
    const std::string &Merged(long n);
    // The same as the encoder writes it where "\ucN" is unicodeSkip; stays valid as long as the
    // graph.
    const std::string &Encoded(long n, int unicodeSkip);
    // The existing pairs whose placeholders the merged value of pair n holds.
    const std::vector<long> &Targets(long n);
    // How many placeholders the merged value of pair n holds, of existing pairs or not.
    std::size_t PlaceholderCount(long n) { return Node(n).PlaceholderCount; }
    // Whether pair n leads back to its own placeholder. Then Circle gives the way round,
    // starting and ending at n (n, 4, 7, n).
    bool OnCycle(long n);
    std::vector<long> Circle(long n);

private:
    struct TNode
    {
        std::string Merged;
        std::map<int, std::string> Encoded; // by "\ucN"
        std::vector<long> Targets;
        std::size_t PlaceholderCount = 0;
        int Index = -1; // order of discovery; -1 before
        int Low = 0;
        bool OnStack = false;
        int Component = -1;
        bool Cyclic = false;
    };

    TNode &Node(long n);
    void FindComponents(long root);
    void CloseComponent(long root);

    const std::vector<std::string> &FLines;
    const TMergeValueEncoder &FEncoder;
    bool FGluedCounts;
    std::unordered_map<long, TNode> FNodes;
    std::vector<long> FStack;
    int FNextIndex = 0;
    int FNextComponent = 0;
};
