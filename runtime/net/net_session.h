// The network state: the game session object that start-up creates and shutdown releases.
#pragma once

#include <cstdint>

struct NetworkState {
    int32_t active = 0;
};

extern NetworkState* g_network_state;

void CreateNetworkState();
// Shuts the network down and frees the state; nothing when there is none.
void ReleaseNetworkState();
