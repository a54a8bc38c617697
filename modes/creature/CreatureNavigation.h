// The creature mode's navigation graph: nodes spread evenly over the planet,
// each joined to its neighbours both ways, and the creature layer that prices
// each edge by its climb and forbids water and cliffs. The graph is read from
// the path cache when it is sound, else built and the cache written anew.
#pragma once

#include <string>

#include "world/planet/AStarGraph.h"

constexpr int kCreatureNavigationLayer = 1;
constexpr const char* kCreaturePathCacheFile = ".\\Data\\Terrain\\Paths.bin";

// The creature layer's cost: distance, dearer uphill; the impassable cost for an
// edge touching water or steeper than a creature climbs, and for (node, node)
// when the node lies under water. Reads the one planet.
float CreatureTravelCost(const cAStarNode* from, const cAStarNode* to);

// Adds the planet's nodes and both directions of every edge (only layer 0 must exist yet).
void AddCreatureNavigationNodesAndEdges(cAStarGraph& graph);

// Reads the cache into the graph and sets the creature layer's functions; when
// the cache is missing, damaged, or was built over other terrain or another
// creature cost, builds the graph with the creature layer and writes the cache.
// Returns true when the graph came from the cache.
bool InitCreatureAStar(cAStarGraph& graph, const std::string& cacheFile = kCreaturePathCacheFile);
