#pragma once
// Ordering the registered runtimes and choosing one.
#include "launcher/StringList.h"
#include "runtime/DiscoverySettings.h"
#include "runtime/RuntimeCandidate.h"

#include <cstddef>
#include <vector>

namespace kanne {

// `a` ranks above `b` by the first test that separates them: the favoured
// kind (when both kinds are scanned), then a server VM (under
// "favor_server"), then the newer version.
bool ranksAbove(const RuntimeCandidate& a, const RuntimeCandidate& b, bool bothKinds, JvmType jvmType);

// Positions of the candidates, best first; candidates no test separates
// keep their given (scan) order.
std::vector<std::size_t> rankingOrder(const std::vector<const RuntimeCandidate*>& candidates, bool bothKinds,
                                      JvmType jvmType);
void sortCandidates(std::vector<RuntimeCandidate>& candidates, bool bothKinds, JvmType jvmType);

struct CandidateChoice {
    int index = -1;          // in the ranked list; -1 when no candidate is usable
    int preferredIndex = -1; // the item of "Preferred versions" that decided, or -1
};

// Walks a list ranked best first: the first usable runtime matching the
// first preferred version that any usable runtime matches, else the first
// usable runtime. Items without a digit name no version and are passed over.
// `usable(i)` is asked only where the walk needs it, so the caller may read
// and probe a runtime on demand.
template <typename Usable>
CandidateChoice chooseInRankingOrder(const std::vector<const RuntimeCandidate*>& ranked,
                                     const StringList& preferredVersions, Usable usable)
{
    for (int p = 0; p < preferredVersions.count(); ++p) {
        // An absent setting is one empty item: it must not prefer the odd
        // subkey whose name holds no digit.
        VersionNumber preferred = VersionNumber::parsed(preferredVersions[p], VersionNumber::lowestFill);
        if (preferred.count == 0)
            continue;
        for (std::size_t c = 0; c < ranked.size(); ++c)
            if (VersionNumber::matchesPrefix(ranked[c]->version, preferred) && usable(c))
                return {static_cast<int>(c), p};
    }
    for (std::size_t c = 0; c < ranked.size(); ++c)
        if (usable(c))
            return {static_cast<int>(c), -1};
    return {};
}

// Sorts the candidates, all usable, and chooses among them.
CandidateChoice chooseCandidate(std::vector<RuntimeCandidate>& candidates, const DiscoverySettings& settings);

} // namespace kanne
