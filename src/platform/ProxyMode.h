#pragma once

// How an exchange reaches its server.
enum class ProxyMode {
    Direct, // no proxy, whatever the environment says
    System, // the proxy the user's system configures, if any
};
