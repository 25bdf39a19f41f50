// Network state lifetime.
#include "net/net_session.h"

NetworkState* g_network_state = nullptr;

void CreateNetworkState() {
    if (g_network_state == nullptr) g_network_state = new NetworkState();
}

void ReleaseNetworkState() {
    delete g_network_state;
    g_network_state = nullptr;
}
