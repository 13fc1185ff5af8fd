#include "runtime/CandidateRanking.h"

#include <algorithm>

namespace kanne {

bool ranksAbove(const RuntimeCandidate& a, const RuntimeCandidate& b, bool bothKinds, JvmType jvmType)
{
    if (bothKinds && a.favoredKind != b.favoredKind)
        return a.favoredKind;
    if (jvmType == JvmType::FavorServer && a.isServer != b.isServer)
        return a.isServer;
    return a.version.compare(b.version) > 0;
}

std::vector<std::size_t> rankingOrder(const std::vector<const RuntimeCandidate*>& candidates, bool bothKinds,
                                      JvmType jvmType)
{
    // The rule compares (favoured, server, version) in turn; ties are broken
    // by position, so the order is stable. Positions are sorted rather than
    // the records: std::stable_sort's spare buffer would pull the exception
    // runtime into the launcher.
    std::vector<std::size_t> order(candidates.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) {
        if (ranksAbove(*candidates[x], *candidates[y], bothKinds, jvmType))
            return true;
        if (ranksAbove(*candidates[y], *candidates[x], bothKinds, jvmType))
            return false;
        return x < y;
    });
    return order;
}

void sortCandidates(std::vector<RuntimeCandidate>& candidates, bool bothKinds, JvmType jvmType)
{
    std::vector<const RuntimeCandidate*> unsorted;
    unsorted.reserve(candidates.size());
    for (const RuntimeCandidate& c : candidates)
        unsorted.push_back(&c);
    std::vector<RuntimeCandidate> sorted;
    sorted.reserve(candidates.size());
    for (std::size_t i : rankingOrder(unsorted, bothKinds, jvmType))
        sorted.push_back(std::move(candidates[i]));
    candidates = std::move(sorted);
}

CandidateChoice chooseCandidate(std::vector<RuntimeCandidate>& candidates, const DiscoverySettings& settings)
{
    sortCandidates(candidates, settings.bothKinds, settings.jvmType);
    std::vector<const RuntimeCandidate*> ranked;
    ranked.reserve(candidates.size());
    for (const RuntimeCandidate& c : candidates)
        ranked.push_back(&c);
    return chooseInRankingOrder(ranked, settings.preferredVersions, [](std::size_t) { return true; });
}

} // namespace kanne
